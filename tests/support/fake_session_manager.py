#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Zeravan developers
# SPDX-License-Identifier: MIT
"""A stand-in for the session manager of one desktop (--kind) on the private bus in
DBUS_SESSION_BUS_ADDRESS: it owns that desktop's name and offers only the methods, with their
argument types, that its interface lists; it writes each call down as
"<service> <method> <arguments>" and ends nothing. Prints "ready" once it owns the name."""

from fake_bus_service import CallLog, connect, interface, later, options_parser, serve

GNOME = "org.gnome.SessionManager"
# mate-session and cinnamon-session go back to their running phase when the end of the session
# is called off, and say so.
SESSION_RUNNING = "SessionRunning"
CINNAMON = {"Shutdown": "", "Reboot": "", "Logout": "u", "RequestShutdown": "",
            "RequestReboot": ""}


# The GNOME interface as its variants implement it: each has its own set of power methods.
def gnome_like(power_methods, called_off=None):
    methods = {"CanShutdown": "", "IsSessionRunning": "", **power_methods}
    return GNOME, "/org/gnome/SessionManager", GNOME, methods, called_off


# Each desktop: its name, object and interface, its methods with their argument types, and the
# signal by which it says that an end of the session was called off.
KINDS = {
    "kde": ("org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown",
            {"logout": "", "logoutAndShutdown": "", "logoutAndReboot": "", "saveSession": ""},
            None),
    # Plasma before 5.25
    "kde-ksmserver": ("org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface",
                      {"logout": "iii", "isShuttingDown": ""}, None),
    "gnome": gnome_like({"Shutdown": "", "Reboot": "", "Logout": "u"}),
    "mate": gnome_like({"Shutdown": "", "Logout": "u", "RequestShutdown": "",
                        "RequestReboot": ""}, SESSION_RUNNING),
    "cinnamon": gnome_like(CINNAMON, SESSION_RUNNING),
    "cinnamon-old": ("org.cinnamon.SessionManager", "/org/cinnamon/SessionManager",
                     "org.cinnamon.SessionManager", CINNAMON, SESSION_RUNNING),
    "ukui": gnome_like({"powerOff": "", "reboot": "", "logout": "", "canPowerOff": ""}),
    "xfce": ("org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager",
             {"Shutdown": "b", "Restart": "b", "Logout": "bb", "CanShutdown": ""},
             "ShutdownCancelled"),
    "lxqt": ("org.lxqt.session", "/LXQtSession", "org.lxqt.session",
             {"powerOff": "", "reboot": "", "logout": "", "canPowerOff": ""}, None),
    "deepin": ("com.deepin.SessionManager", "/com/deepin/SessionManager",
               "com.deepin.SessionManager",
               {"Shutdown": "", "RequestShutdown": "", "Reboot": "", "RequestReboot": "",
                "Logout": "", "RequestLogout": ""}, None),
}

parser = options_parser("Answers one desktop's session manager calls; does nothing.")
parser.add_argument("--kind", required=True, choices=KINDS, help="which desktop")
options = parser.parse_args()
service, path, name, methods, called_off = KINDS[options.kind]
log = CallLog(options.log, options.stamp)
bus = connect("DBUS_SESSION_BUS_ADDRESS")


def on_call(_bus, _sender, _path, _interface, method, arguments, invocation):
    log.write(" ".join([service, method] + [str(a).lower() if isinstance(a, bool) else str(a)
                                           for a in arguments.unpack()]))
    if options.refuse:
        invocation.return_dbus_error(options.refuse, "refused")
        return
    invocation.return_value(None)
    if options.call_off_after_ms >= 0 and called_off:
        later(options.call_off_after_ms,
              lambda: bus.emit_signal(None, path, name, called_off, None))


signal = f'<signal name="{called_off}"/>' if called_off else ""
bus.register_object(path, interface(name, methods, signal), on_call, None, None)
serve(bus, service)
