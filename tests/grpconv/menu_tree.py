"""Prints the applications menu as a freedesktop menu reader builds it.

One line per launcher, "/<menu title>/<submenu title>: <name> <desktop file id>",
read with pyxdg (Debian's python3-xdg) from the XDG folders of the environment.
"""
import sys

import xdg.Menu


def walk(menu, path):
    for entry in menu.getEntries():
        if isinstance(entry, xdg.Menu.Menu):
            walk(entry, path + "/" + entry.getName())
        elif isinstance(entry, xdg.Menu.MenuEntry):
            print("%s: %s %s" % (path, entry.DesktopEntry.getName(), entry.DesktopFileID))


def main():
    walk(xdg.Menu.parse(), "")
    return 0


if __name__ == "__main__":
    sys.exit(main())
