"""End-to-end runs of the installer: the real binary, a real X server, real keys."""

import filecmp
import glob
import os
import shutil
import subprocess
import time
import unittest

import harness
from harness import DESTINATION, PACKAGE, SCREEN, SMALL_DIALOG, Installation, cp932


def files_below(root):
    found = {}
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            found[os.path.relpath(path, root)] = path
    return found


class InstallTest(unittest.TestCase):
    def assert_installed(self, run, target):
        expected = files_below(run.tree)
        actual = files_below(target)
        self.assertEqual(sorted(actual), sorted(expected))
        for name, path in expected.items():
            self.assertTrue(filecmp.cmp(path, actual[name], shallow=False), name)

    def test_default_destination_installs_the_split_package(self):
        run = Installation(self)
        run.start()
        dialog = run.wait_window(DESTINATION)
        run.screenshot("destination")
        run.press(dialog, "Return")
        done = run.wait_window(SMALL_DIALOG, timeout=120)
        run.screenshot("completion")
        run.press(done, "Return")
        self.assertEqual(run.wait_exit(), 0)

        self.assert_installed(run, run.default_target())
        self.assertFalse(os.path.exists(run.temp_archive()))
        self.assertFalse(os.path.exists(os.path.join(run.default_target(), "..", "KWIX.INI")))
        self.assertIn("[Software\\Korvane\\Tavolin]", run.hive("HKEY_CURRENT_USER"))
        self.assertFalse(os.path.exists(run.host("windows/SETUP.INI")))

    def test_cancel_installs_nothing_but_leaves_the_key(self):
        run = Installation(self)
        run.start()
        dialog = run.wait_window(DESTINATION)
        run.press(dialog, "Escape")
        self.assertEqual(run.wait_exit(), 0)
        self.assertFalse(os.path.exists(os.path.dirname(run.default_target())))
        self.assertIn("[Software\\Korvane\\Tavolin]", run.hive("HKEY_CURRENT_USER"))
        self.assertFalse(os.path.exists(run.temp_archive()))

    def test_start_menu_entry_is_registered_when_ticked(self):
        run = Installation(self)
        run.start()
        dialog = run.wait_window(DESTINATION)
        # The focus starts on the start button; the check box stands before it.
        run.press(dialog, "shift+Tab", "space", "Tab")
        run.screenshot("destination-ticked")
        run.press(dialog, "Return")
        done = run.wait_window(SMALL_DIALOG, timeout=120)
        run.press(done, "Return")
        self.assertEqual(run.wait_exit(), 0)

        target_windows = "C:\\Program Files\\Korvane\\Tavolin\\" + PACKAGE
        with open(run.host("windows/SETUP.INI"), "rb") as f:
            text = f.read()
        group = cp932("ﾀｳﾞｫﾘﾝ\\ｹﾞｰﾑ")
        short = cp932("C:\\PROGRA~1\\Korvane\\Tavolin\\")
        self.assertTrue(text.startswith(b"[progman.groups]\r\ngroupX=" + group + b"\r\n[groupX]\r\n\"" +
                                        cp932(PACKAGE) + b"\",\"" + short), text)
        self.assertTrue(text.endswith(b"TAVOEXEC.EXE\",,,,\"" + cp932(target_windows) + b"\"\r\n"), text)

        apps = os.path.join(run.home, ".local/share/applications")
        deadline = time.time() + 20
        while time.time() < deadline and not glob.glob(os.path.join(apps, "*.desktop")):
            time.sleep(0.2)
        launchers = glob.glob(os.path.join(apps, "*.desktop"))
        self.assertEqual(len(launchers), 1)
        subprocess.run(["desktop-file-validate", launchers[0]], check=True)
        with open(launchers[0], encoding="utf-8") as f:
            entry = f.read()
        self.assertIn("Name=" + PACKAGE, entry)
        self.assertIn(os.path.join(run.default_target(), "TAVOEXEC.EXE"), entry)

    def test_missing_second_disk_is_asked_for_and_supplied(self):
        run = Installation(self)
        volume2 = os.path.join(run.medium, PACKAGE + ".002")
        aside = os.path.join(run.root, "disk2")
        os.makedirs(aside)
        shutil.move(volume2, aside)
        run.start()
        dialog = run.wait_window(DESTINATION)
        run.press(dialog, "Return")
        prompt = run.wait_window(SMALL_DIALOG)
        run.screenshot("prompt")
        # "OK" without the disk only asks again.
        run.press(prompt, "Return")
        run.wait_window_gone(prompt)
        prompt = run.wait_window(SMALL_DIALOG)
        shutil.move(os.path.join(aside, PACKAGE + ".002"), volume2)
        run.press(prompt, "Return")
        run.wait_window_gone(prompt)
        done = run.wait_window(SMALL_DIALOG, timeout=120)
        run.press(done, "Return")
        self.assertEqual(run.wait_exit(), 0)
        self.assert_installed(run, run.default_target())

    def test_cancelled_disk_prompt_leaves_no_temporary_archive(self):
        run = Installation(self)
        os.remove(os.path.join(run.medium, PACKAGE + ".003"))
        run.start()
        run.press(run.wait_window(DESTINATION), "Return")
        run.press(run.wait_window(SMALL_DIALOG), "Escape")
        self.assertEqual(run.wait_exit(), 0)
        self.assertFalse(os.path.exists(run.temp_archive()))
        self.assertFalse(os.path.exists(run.default_target()))

    def test_damaged_volume_fails_cleanly(self):
        run = Installation(self)
        volume = os.path.join(run.medium, PACKAGE + ".002")
        with open(volume, "r+b") as f:
            f.seek(os.path.getsize(volume) // 2)
            byte = f.read(1)
            f.seek(-1, os.SEEK_CUR)
            f.write(bytes([byte[0] ^ 0xFF]))
        run.start()
        run.press(run.wait_window(DESTINATION), "Return")
        # The archiver reports the damage in its own box; after it the program ends.
        deadline = time.time() + 120
        while run.process.poll() is None and time.time() < deadline:
            for window in run.visible_windows():
                if run.size_of(window) not in (SCREEN, DESTINATION, SMALL_DIALOG):
                    run.screenshot("extraction-error")
                    run.press(window, "Return")
            time.sleep(0.3)
        self.assertEqual(run.wait_exit(), 0)
        self.assertFalse(os.path.exists(run.temp_archive()))
        for path in files_below(os.path.dirname(run.default_target())).values():
            self.assertNotIn(".tmp", os.path.basename(path))


if __name__ == "__main__":
    unittest.main()
