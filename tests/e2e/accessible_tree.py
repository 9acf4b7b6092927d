#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
"""What a screen reader sees of the running program, through AT-SPI.

accessible_tree.py tree APP NAME...    lists APP's accessible tree (role and name, one a line)
                                       and fails unless every NAME is the start of some name.
accessible_tree.py events APP SECONDS  prints APP's window, focus and name events for SECONDS.
accessible_tree.py text APP NAME       prints the text of APP's object named NAME.
accessible_tree.py press APP NAME      does the first action of APP's object named NAME.
"""
import sys

import pyatspi
from gi.repository import GLib


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == name:
            return app
    return None


def walk(accessible, depth=0):
    yield depth, accessible
    for child in accessible:
        if child is not None:
            yield from walk(child, depth + 1)


def tree(app_name, wanted):
    app = application(app_name)
    if app is None:
        sys.exit(f"no application named {app_name!r} on the accessibility bus")
    names = []
    for depth, accessible in walk(app):
        print(f"{'  ' * depth}{accessible.getRoleName()}: {accessible.name!r}")
        names.append(accessible.name)
    missing = [w for w in wanted if not any(n.startswith(w) for n in names)]
    if missing:
        sys.exit(f"not in the tree: {missing}")


def named(app_name, name):
    app = application(app_name)
    for _, accessible in walk(app) if app is not None else ():
        if accessible.name == name:
            return accessible
    sys.exit(f"no object named {name!r} in {app_name!r}")


def events(app_name, seconds):
    def heard(event):
        source = event.source
        try:
            if source.getApplication().name != app_name:
                return
            print(f"{event.type}\t{source.getRoleName()}\t{source.name}", flush=True)
        except Exception:  # the source may be gone already
            pass

    pyatspi.Registry.registerEventListener(
        heard, "window:activate", "window:create", "focus:", "object:state-changed:focused",
        "object:state-changed:showing",
        "object:property-change:accessible-name")
    GLib.timeout_add_seconds(seconds, pyatspi.Registry.stop)
    print("listening", flush=True)
    pyatspi.Registry.start()


if __name__ == "__main__":
    mode, app_name = sys.argv[1], sys.argv[2]
    if mode == "tree":
        tree(app_name, sys.argv[3:])
    elif mode == "text":
        print(named(app_name, sys.argv[3]).queryText().getText(0, -1))
    elif mode == "press":
        named(app_name, sys.argv[3]).queryAction().doAction(0)
    else:
        events(app_name, int(sys.argv[3]))
