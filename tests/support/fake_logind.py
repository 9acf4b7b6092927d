#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
"""A stand-in for systemd-logind on the private bus in DBUS_SYSTEM_BUS_ADDRESS that only writes
down what it is asked ("PowerOff true", "Reboot true", "Terminate auto", "CanPowerOff",
"Inhibit shutdown delay") and answers as its options say; prints "ready" once it owns
org.freedesktop.login1."""

import os

from gi.repository import Gio, GLib

from fake_bus_service import CallLog, connect, interface, later, options_parser, serve

MANAGER_PATH = "/org/freedesktop/login1"
MANAGER = "org.freedesktop.login1.Manager"
IN_PROGRESS = "org.freedesktop.login1.OperationInProgress"

parser = options_parser("Answers logind's power calls; does nothing.")
parser.add_argument("--delay-ms", type=int, default=0, metavar="MS",
                    help="answer power calls this much later")
parser.add_argument("--can-power-off", default="yes", metavar="ANSWER",
                    help="CanPowerOff's answer: yes|challenge|no|na")
parser.add_argument("--permission-delay-ms", type=int, default=0, metavar="MS",
                    help="answer CanPowerOff this much later")
parser.add_argument("--silent", action="store_true", help="never answer any call")
parser.add_argument("--unreachable", action="store_true",
                    help="do not take the name, so that calls find nobody")
parser.add_argument("--operation-in-progress", action="store_true",
                    help="after accepting one power call of a kind, answer the next ones of that "
                         "kind with OperationInProgress, as logind does while the first is under way")
options = parser.parse_args()
log = CallLog(options.log, options.stamp)
bus = connect("DBUS_SYSTEM_BUS_ADDRESS")
accepted = set()
unanswered = []  # a silent fake holds its calls until the caller gives up
inhibitors = []  # logind's ends of the inhibitors handed out


def prepare_for_shutdown(starting):
    bus.emit_signal(None, MANAGER_PATH, MANAGER, "PrepareForShutdown",
                    GLib.Variant("(b)", (starting,)))


def answer_later(milliseconds, answer):
    if options.silent:
        unanswered.append(answer)
    else:
        later(milliseconds, answer)


def power_call(line, invocation, announces):
    log.write(line)
    if options.refuse:
        answer = lambda: invocation.return_dbus_error(options.refuse, "refused by fake_logind")
    elif options.operation_in_progress and line in accepted:
        answer = lambda: invocation.return_dbus_error(
            IN_PROGRESS, "There's already a shutdown or sleep operation in progress")
    else:
        accepted.add(line)

        def answer():
            invocation.return_value(None)
            if announces:
                announce_shutdown()
    answer_later(options.delay_ms, answer)


# As logind around an accepted shutdown, right behind the answer, and around one that is then
# called off.
def announce_shutdown():
    prepare_for_shutdown(True)
    if options.call_off_after_ms >= 0:
        later(options.call_off_after_ms, lambda: prepare_for_shutdown(False))


# As logind, an inhibitor is one end of a pipe, held until its taker closes it.
def inhibit(arguments, invocation):
    what, _who, _why, mode = arguments
    log.write(f"Inhibit {what} {mode}")
    kept, given = os.pipe()
    handed = Gio.UnixFDList.new()
    index = handed.append(given)
    os.close(given)
    inhibitors.append(kept)
    answer_later(0, lambda: invocation.return_value_with_unix_fd_list(
        GLib.Variant("(h)", (index,)), handed))


def on_manager(_bus, _sender, _path, _interface, method, arguments, invocation):
    if method == "Inhibit":
        inhibit(arguments.unpack(), invocation)
    elif method == "CanPowerOff":
        log.write("CanPowerOff")
        answer_later(options.permission_delay_ms, lambda: invocation.return_value(
            GLib.Variant("(s)", (options.can_power_off,))))
    else:
        power_call(f"{method} {str(arguments[0]).lower()}", invocation, announces=True)


bus.register_object(MANAGER_PATH, interface(MANAGER, {
    "PowerOff": "b", "Reboot": "b", "CanPowerOff": ("", "s"), "Inhibit": ("ssss", "h")
}, '<signal name="PrepareForShutdown"><arg type="b"/></signal>'), on_manager, None, None)
bus.register_object(
    "/org/freedesktop/login1/session/auto",
    interface("org.freedesktop.login1.Session", {"Terminate": ""}),
    lambda *call: power_call("Terminate auto", call[-1], announces=False), None, None)
serve(bus, "org.freedesktop.login1", take_name=not options.unreachable)
