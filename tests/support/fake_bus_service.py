# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
"""What the fake services share: their common options, the call log, the private bus, and the
"ready" line once the service owns its name. GLib answers calls that the interfaces given here
do not offer (unknown object, interface or method, arguments of other types) as a real
service's bus library would."""

import argparse
import os
import sys
import time

from gi.repository import Gio, GLib


def options_parser(description):
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--log", required=True, metavar="FILE", help="append each call here")
    parser.add_argument("--stamp", action="store_true",
                        help="end each line with a tab and its arrival time, in ms since 1970")
    parser.add_argument("--refuse", metavar="ERROR", help="answer power calls with this D-Bus error")
    parser.add_argument("--call-off-after-ms", type=int, default=-1, metavar="MS",
                        help="this long after a power call, say that the end of the session was "
                             "called off, where the service has a way to say it")
    return parser


class CallLog:
    """One line per call, flushed at once so a reader sees it before the reply arrives."""

    def __init__(self, path, stamp):
        self._file = open(path, "a", encoding="utf-8")
        self._stamp = stamp

    def write(self, line):
        if self._stamp:
            line += "\t%d" % (time.time_ns() // 1_000_000)
        self._file.write(line + "\n")
        self._file.flush()


def later(milliseconds, action):
    """A timer, not a sleep: other calls keep being answered meanwhile."""
    def once():
        action()
        return GLib.SOURCE_REMOVE

    GLib.timeout_add(milliseconds, once)


def interface(name, methods, signals=""):
    """`methods` maps each method name to the D-Bus signature of its arguments, or to a pair of
    signatures, its arguments' and its answer's."""
    text = ""
    for method, signature in methods.items():
        given, answer = signature if isinstance(signature, tuple) else (signature, "")
        text += f'<method name="{method}">'
        text += "".join(f'<arg direction="in" type="{t}"/>' for t in split(given))
        text += "".join(f'<arg direction="out" type="{t}"/>' for t in split(answer))
        text += "</method>"
    xml = f'<node><interface name="{name}">{text}{signals}</interface></node>'
    return Gio.DBusNodeInfo.new_for_xml(xml).interfaces[0]


def split(signature):
    return GLib.Variant.split_signature(f"({signature})") if signature else []


def connect(variable):
    """The bus in `variable`, or the one that started this fake on demand, which must be a test's
    own: acting as logind or a session manager on the machine's or the user's bus would mislead
    every program on it, or end the session."""
    address = os.environ.get("DBUS_STARTER_ADDRESS") or os.environ.get(variable, "")
    if not address.startswith("unix:path=") or "/run/" in address:
        sys.exit(f"{sys.argv[0]}: {variable} must name a private test bus")
    flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT |
             Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
    return Gio.DBusConnection.new_for_address_sync(address, flags, None, None)


main_loop = GLib.MainLoop()


def serve(bus, name, take_name=True):
    """Prints "ready" once `name` is ours (a fake just stopped may still hold it: wait in line),
    or at once when the name is not to be taken, so that calls find nobody; then answers until
    main_loop is quit, and leaves the bus."""
    ready = lambda *_: print("ready", flush=True)
    if take_name:
        Gio.bus_own_name_on_connection(bus, name, Gio.BusNameOwnerFlags.NONE, ready, None)
    else:
        ready()
    main_loop.run()
