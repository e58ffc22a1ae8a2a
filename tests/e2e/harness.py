"""Runs the real Setup binary from a medium folder under Xvfb and drives it with
real key presses through xdotool. Every run gets its own X server, home, XDG
folders and prefix inside a temporary folder."""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

BINARY_DIR = os.environ.get("SETUP_BINARY_DIR", os.getcwd())
SOURCE_DIR = os.environ.get("SETUP_SOURCE_DIR", os.path.dirname(os.path.dirname(os.getcwd())))
SETUP = os.path.join(BINARY_DIR, "Setup")
GRPCONV = os.path.join(BINARY_DIR, "grpconv")
PACKAGE = "タヴォリン体験版"
SCREEN = (1024, 768)

# Client sizes of the installer's dialogs, which tell them apart on the screen.
DESTINATION = (433, 201)
STATUS = (401, 65)
SMALL_DIALOG = (401, 97)  # the completion dialog and the volume prompt


def cp932(text):
    return text.encode("cp932")


class Xvfb:
    def __init__(self):
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        # The server names its display before it takes clients on a busy machine.
        deadline = time.time() + 20
        while subprocess.run(["xdpyinfo", "-display", self.display], stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL).returncode != 0:
            if time.time() > deadline:
                raise RuntimeError(f"Xvfb on {self.display} takes no clients")
            time.sleep(0.1)

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class Driver:
    """Finds the installer's windows on an X display and presses keys in them."""

    def __init__(self, env, process):
        self.env = env
        self.process = process


    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True)
        if check and result.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(args)}: {result.stderr}")
        return result.stdout

    def visible_windows(self):
        out = self.xdotool("search", "--onlyvisible", "--pid", str(self.process.pid), "", check=False)
        return [w for w in out.split() if w]

    def size_of(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window, check=False)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values.get("WIDTH", 0)), int(values.get("HEIGHT", 0))

    def wait_window(self, size, timeout=30):
        """Waits until a visible window of the installer has the given client size."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.process.poll() is not None:
                err = self.process.stderr.read().decode(errors="replace") if self.process.stderr else ""
                raise AssertionError(f"Setup ended early ({self.process.returncode}): {err[-3000:]}")
            for window in self.visible_windows():
                if self.size_of(window) == size:
                    time.sleep(0.3)  # let it paint
                    return window
            time.sleep(0.1)
        raise AssertionError(f"no window of size {size} appeared")

    def wait_window_gone(self, window, timeout=60):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if window not in self.visible_windows():
                return
            if self.process.poll() is not None:
                return
            time.sleep(0.1)
        raise AssertionError(f"window {window} stayed")

    def press(self, window, *keys):
        self.xdotool("windowfocus", "--sync", window, check=False)
        for key in keys:
            self.xdotool("key", "--clearmodifiers", key)
            time.sleep(0.1)

    def type_text(self, window, text):
        self.xdotool("windowfocus", "--sync", window, check=False)
        self.xdotool("type", "--delay", "20", text)

    def screenshot(self, name, folder):
        if not folder:
            return
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")],
                       env=self.env, check=False)


class Installation:
    """One medium, one home, one prefix, one X server."""

    def __init__(self, test, volumes=3):
        self.test = test
        self.root = tempfile.mkdtemp(prefix="setup-e2e-")
        self.home = os.path.join(self.root, "home")
        self.prefix = os.path.join(self.root, "prefix")
        self.medium = os.path.join(self.root, "medium")
        self.shots = os.environ.get("SETUP_SCREENSHOTS")
        for sub in ("", ".local/share", ".config", ".cache"):
            os.makedirs(os.path.join(self.home, sub), exist_ok=True)
        self.tree = os.path.join(self.root, "package-tree")
        subprocess.run([os.path.join(SOURCE_DIR, "tools/make-demo-medium"), self.medium, SETUP, GRPCONV,
                        self.tree], check=True)
        self.xvfb = Xvfb()
        self.env = dict(os.environ)
        self.env.update({
            "HOME": self.home,
            "XDG_DATA_HOME": os.path.join(self.home, ".local/share"),
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
            "XDG_DATA_DIRS": os.path.join(self.root, "share"),
            "XDG_CONFIG_DIRS": os.path.join(self.root, "etc/xdg"),
            "TMPDIR": self.root,
            "SETUP_PREFIX": self.prefix,
            "DISPLAY": self.xvfb.display,
            "QT_QPA_PLATFORM": "xcb",
            "LANG": "C.UTF-8",
        })
        self.process = None
        self.driver = None
        test.addCleanup(self.close)

    # --- the program -------------------------------------------------------

    def start(self, cwd=None):
        for attempt in range(3):
            self.process = subprocess.Popen([os.path.join(self.medium, "Setup")], cwd=cwd or self.medium,
                                            env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            self.driver = Driver(self.env, self.process)
            # A fresh Xvfb on a loaded machine now and then refuses the first
            # connections after it took xdpyinfo's; that is the test's X server, not
            # the installer, so the start is tried again.
            try:
                self.process.wait(timeout=3)
            except subprocess.TimeoutExpired:
                return
            err = self.process.stderr.read().decode(errors="replace")
            if "cannot show the installer" not in err:
                raise AssertionError(f"Setup ended at once ({self.process.returncode}): {err[-3000:]}")
            print(f"X server not ready (attempt {attempt + 1}): {err.strip()}")
            time.sleep(1)

    def wait_exit(self, timeout=60):
        out, err = self.process.communicate(timeout=timeout)
        self.stdout, self.stderr = out.decode(errors="replace"), err.decode(errors="replace")
        return self.process.returncode

    def close(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.xvfb.stop()
        if not os.environ.get("SETUP_KEEP_TEST_TEMP"):
            shutil.rmtree(self.root, ignore_errors=True)

    def __getattr__(self, name):
        # The screen operations (wait_window, press, ...) are the driver's.
        if name == "driver" or self.__dict__.get("driver") is None:
            raise AttributeError(name)
        return getattr(self.driver, name)

    def screenshot(self, name):
        self.driver.screenshot(name, self.shots)

    def make_prefix(self):
        """Makes the prefix now, so that a test can change it before Setup runs."""
        out = subprocess.run([os.path.join(BINARY_DIR, "tools", "setup-prefix")], env=self.env,
                             check=True, capture_output=True, text=True)
        return out.stdout.strip()

    def write_hive(self, name, text):
        self.make_prefix()
        with open(os.path.join(self.prefix, "registry", name + ".reg"), "w", encoding="utf-8") as f:
            f.write(text)

    def install_with_keys(self, timeout=120):
        """Starts Setup, confirms the proposed destination, and closes the completion."""
        self.start()
        self.press(self.wait_window(DESTINATION), "Return")
        self.press(self.wait_window(SMALL_DIALOG, timeout=timeout), "Return")
        return self.wait_exit()

    # --- what is on disk ----------------------------------------------------

    def host(self, windows_relative):
        """The host path of a path below the prefix's drive C:."""
        return os.path.join(self.prefix, "drive_c", windows_relative)

    def default_target(self):
        return os.path.join(self.prefix, "drive_c", "Program Files", "Korvane", "Tavolin", PACKAGE)

    def temp_archive(self):
        return os.path.join(self.prefix, "drive_c", "windows", "temp", "TAVOTEMP.LZH")

    def hive(self, name):
        path = os.path.join(self.prefix, "registry", name + ".reg")
        with open(path, encoding="utf-8") as f:
            return f.read()
