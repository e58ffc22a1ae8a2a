"""Where the installer proposes to install, by what the registry holds."""

import os
import time
import unittest

from harness import DESTINATION, PACKAGE, SCREEN, SMALL_DIALOG, Installation

USER_KEY = "[Software\\Korvane\\Tavolin]\n"
MACHINE_KEY = "[Software\\Microsoft\\Windows\\CurrentVersion]\n"


class ProposedDestinationTest(unittest.TestCase):
    def installed_below(self, run, *host_parts):
        target = os.path.join(*host_parts, PACKAGE)
        self.assertTrue(os.path.isfile(os.path.join(target, "TAVOEXEC.EXE")), target)

    def test_my_path_is_proposed_exactly_as_stored(self):
        run = Installation(self)
        run.write_hive("HKEY_CURRENT_USER", "REGEDIT4\n\n" + USER_KEY + '"MyPath"="C:\\\\Games"\n')
        self.assertEqual(run.install_with_keys(), 0)
        self.installed_below(run, run.prefix, "drive_c", "Games")

    def test_expandable_my_path_is_taken_unexpanded(self):
        run = Installation(self)
        run.write_hive("HKEY_CURRENT_USER",
                       "REGEDIT4\n\n" + USER_KEY + '"MyPath"=str(2):"%ProgramFiles%\\\\X"\n')
        self.assertEqual(run.install_with_keys(), 0)
        # Unexpanded, the text is a relative path: below the current folder.
        self.installed_below(run, run.medium, "%ProgramFiles%", "X")

    def test_program_files_fallback_with_and_without_separator(self):
        for stored in ("C:\\\\Apps", "C:\\\\Apps\\\\"):
            with self.subTest(stored=stored):
                run = Installation(self)
                run.write_hive("HKEY_LOCAL_MACHINE",
                               "REGEDIT4\n\n" + MACHINE_KEY + '"ProgramFilesDir"="' + stored + '"\n')
                self.assertEqual(run.install_with_keys(), 0)
                self.installed_below(run, run.prefix, "drive_c", "Apps", "Korvane", "Tavolin")

    def test_no_value_at_all_proposes_a_relative_folder(self):
        run = Installation(self)
        run.write_hive("HKEY_LOCAL_MACHINE", "REGEDIT4\n\n")
        self.assertEqual(run.install_with_keys(), 0)
        self.installed_below(run, run.medium, "Korvane", "Tavolin")

    def test_my_path_of_another_type_shows_the_error_and_ends(self):
        run = Installation(self)
        run.write_hive("HKEY_CURRENT_USER", "REGEDIT4\n\n" + USER_KEY + '"MyPath"=dword:00000001\n')
        run.start()
        deadline = time.time() + 30
        box = None
        while box is None and time.time() < deadline:
            for window in run.visible_windows():
                if run.size_of(window) not in (SCREEN, DESTINATION, SMALL_DIALOG):
                    box = window
            time.sleep(0.2)
        self.assertIsNotNone(box, "no error box")
        run.screenshot("registry-error")
        run.press(box, "Return")
        self.assertEqual(run.wait_exit(), 0)
        self.assertFalse(os.path.exists(os.path.join(run.prefix, "drive_c", "Program Files", "Korvane")))


if __name__ == "__main__":
    unittest.main()
