#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
"""A stand-in for the session manager of one desktop (--kind) on the private bus in
DBUS_SESSION_BUS_ADDRESS, or on the bus that started it on demand: it owns that desktop's name
and offers only the methods, with their argument types, that its interface lists; it writes each
call down as "<service> <method> <arguments>" and ends nothing. Prints "ready" once it owns the
name."""

import getpass
import sys
from collections import namedtuple

from gi.repository import Gio, GLib

import fake_bus_service
from fake_bus_service import CallLog, connect, interface, later, options_parser, serve

# One desktop's session manager: its name, object and interface, its methods with their argument
# types, how it says that an end of the session was called off (a signal's name, LEAVES_BUS, or
# None where it cannot), and the methods it answers only once its own dialog is settled.
Desktop = namedtuple("Desktop", "service path interface methods called_off held",
                     defaults=(None, ()))
# plasma-shutdown quits when the logout is called off (Shutdown::logoutCancelled).
LEAVES_BUS = "leaves the bus"

GNOME = "org.gnome.SessionManager"
# mate-session, cinnamon-session and gnome-session go back to their running phase when the end of
# the session is called off, and say so.
SESSION_RUNNING = "SessionRunning"
CINNAMON = {"Shutdown": "", "Reboot": "", "Logout": "u", "RequestShutdown": "",
            "RequestReboot": ""}


# The GNOME interface as its variants implement it: each has its own set of power methods.
def gnome_like(power_methods, called_off=SESSION_RUNNING, held=()):
    methods = {"CanShutdown": "", "IsSessionRunning": "", **power_methods}
    return Desktop(GNOME, "/org/gnome/SessionManager", GNOME, methods, called_off, held)


KINDS = {
    # Plasma 5.25 and later: started by the bus on demand, beside a running ksmserver.
    "kde": Desktop("org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown",
                   {"logout": "", "logoutAndShutdown": "", "logoutAndReboot": "",
                    "saveSession": ""}, LEAVES_BUS),
    # Plasma's ksmserver; before 5.25 the one to ask.
    "kde-ksmserver": Desktop("org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface",
                             {"logout": "iii", "isShuttingDown": ""}),
    # gnome-session answers Shutdown and Reboot once GNOME Shell's end-session dialog is settled.
    "gnome": gnome_like({"Shutdown": "", "Reboot": "", "Logout": "u"},
                        held=("Shutdown", "Reboot")),
    "mate": gnome_like({"Shutdown": "", "Logout": "u", "RequestShutdown": "",
                        "RequestReboot": ""}),
    "cinnamon": gnome_like(CINNAMON),
    "cinnamon-old": Desktop("org.cinnamon.SessionManager", "/org/cinnamon/SessionManager",
                            "org.cinnamon.SessionManager", CINNAMON, SESSION_RUNNING),
    "ukui": gnome_like({"powerOff": "", "reboot": "", "logout": "", "canPowerOff": ""}, None),
    "xfce": Desktop("org.xfce.SessionManager", "/org/xfce/SessionManager",
                    "org.xfce.Session.Manager",
                    {"Shutdown": "b", "Restart": "b", "Logout": "bb", "CanShutdown": ""},
                    "ShutdownCancelled"),
    "lxqt": Desktop("org.lxqt.session", "/LXQtSession", "org.lxqt.session",
                    {"powerOff": "", "reboot": "", "logout": "", "canPowerOff": ""}),
    "deepin": Desktop("com.deepin.SessionManager", "/com/deepin/SessionManager",
                      "com.deepin.SessionManager",
                      {"Shutdown": "", "RequestShutdown": "", "Reboot": "", "RequestReboot": "",
                       "Logout": "", "RequestLogout": ""}),
}

parser = options_parser("Answers one desktop's session manager calls; does nothing.")
parser.add_argument("--kind", required=True, choices=KINDS, help="which desktop")
parser.add_argument("--hold-ms", type=int, default=0, metavar="MS",
                    help="settle the desktop's dialog (GNOME's, for Shutdown and Reboot, whose "
                         "answer is held until logind prepares the shutdown) this much later, "
                         "unless the end of the session is called off first")
options = parser.parse_args()
desktop = KINDS[options.kind]
log = CallLog(options.log, options.stamp)
bus = connect("DBUS_SESSION_BUS_ADDRESS")


def call_off():
    if desktop.called_off == LEAVES_BUS:
        fake_bus_service.main_loop.quit()
    else:
        bus.emit_signal(None, desktop.path, desktop.interface, desktop.called_off, None)


# As gnome-session when its dialog is cancelled: the held call fails with G_IO_ERROR_CANCELLED,
# which GDBus sends under a name of its own, and the session is running again.
def cancel_held(invocation):
    invocation.return_gerror(GLib.Error.new_literal(
        Gio.io_error_quark(), "Operation was cancelled", int(Gio.IOErrorEnum.CANCELLED)))
    call_off()


LOGIND = ("org.freedesktop.login1", "/org/freedesktop/login1", "org.freedesktop.login1.Manager")
# The connection to logind, kept as gnome-session keeps its proxy (its signal would be lost with
# it), and the inhibitors logind handed out.
held_from_logind = []


# As gnome-session once its dialog is settled and the programs have answered
# (gsm_systemd_prepare_shutdown): a delay inhibitor from logind, then logind asked to power off
# or reboot; the held call is answered when logind says it prepares for the shutdown
# (complete_end_session_tasks), and cancelled as in the dialog when logind cannot be asked.
def prepare_shutdown(method, invocation):
    def failed(error):
        print(f"no shutdown from logind: {error.message}", file=sys.stderr, flush=True)
        cancel_held(invocation)

    def prepared(system, _sender, _path, _interface, _signal, parameters):
        if parameters.unpack()[0]:
            system.signal_unsubscribe(subscription)
            invocation.return_value(None)

    def asked(system, result):
        try:
            system.call_finish(result)
        except GLib.Error as error:
            failed(error)

    try:
        system = connect("DBUS_SYSTEM_BUS_ADDRESS")
        _, handed = system.call_with_unix_fd_list_sync(
            *LOGIND, "Inhibit",
            GLib.Variant("(ssss)", ("shutdown", getpass.getuser(), "Preparing to end the session",
                                    "delay")),
            GLib.VariantType("(h)"), Gio.DBusCallFlags.NONE, -1, None, None)
    except GLib.Error as error:
        failed(error)
        return
    held_from_logind.append((system, handed))
    subscription = system.signal_subscribe(LOGIND[0], LOGIND[2], "PrepareForShutdown",
                                           LOGIND[1], None, Gio.DBusSignalFlags.NONE, prepared)
    system.call(*LOGIND, "Reboot" if method == "Reboot" else "PowerOff",
                GLib.Variant("(b)", (True,)), None, Gio.DBusCallFlags.NONE, -1, None, asked)


def on_call(_bus, _sender, _path, _interface, method, arguments, invocation):
    log.write(" ".join([desktop.service, method] +
                       [str(a).lower() if isinstance(a, bool) else str(a)
                        for a in arguments.unpack()]))
    calls_off = options.call_off_after_ms >= 0 and desktop.called_off
    if options.refuse:
        invocation.return_dbus_error(options.refuse, "refused")
    elif method in desktop.held and calls_off:
        later(options.call_off_after_ms, lambda: cancel_held(invocation))
    elif method in desktop.held:
        later(options.hold_ms, lambda: prepare_shutdown(method, invocation))
    else:
        invocation.return_value(None)
        if calls_off:
            later(options.call_off_after_ms, call_off)


signal = (f'<signal name="{desktop.called_off}"/>'
          if desktop.called_off and desktop.called_off != LEAVES_BUS else "")
bus.register_object(desktop.path, interface(desktop.interface, desktop.methods, signal), on_call,
                    None, None)
serve(bus, desktop.service)
