// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "session_kinds.h"

namespace zeravan::test {

namespace {

const QString kGnomeName = QStringLiteral("org.gnome.SessionManager");
const QString kGnomePath = QStringLiteral("/org/gnome/SessionManager");

// mate-session and cinnamon-session go back to their running phase when the end of the session
// is called off, and say so.
const QString kSessionRunning = QStringLiteral("SessionRunning");

// The GNOME interface as its variants implement it: each has its own set of power methods.
SessionKind gnomeLike(const QMap<QString, QString>& powerMethods,
                      const QString& calledOffSignal = {}) {
    QMap<QString, QString> methods{{QStringLiteral("CanShutdown"), {}},
                                   {QStringLiteral("IsSessionRunning"), {}}};
    methods.insert(powerMethods);
    return {kGnomeName, kGnomePath, kGnomeName, methods, calledOffSignal};
}

}  // namespace

std::optional<SessionKind> sessionKind(const QString& name) {
    const QString u = QStringLiteral("u");
    if (name == QLatin1String("kde")) {
        return SessionKind{QStringLiteral("org.kde.Shutdown"),
                           QStringLiteral("/Shutdown"),
                           QStringLiteral("org.kde.Shutdown"),
                           {{QStringLiteral("logout"), {}},
                            {QStringLiteral("logoutAndShutdown"), {}},
                            {QStringLiteral("logoutAndReboot"), {}},
                            {QStringLiteral("saveSession"), {}}},
                           {}};
    }
    if (name == QLatin1String("kde-ksmserver")) {
        return SessionKind{QStringLiteral("org.kde.ksmserver"),
                           QStringLiteral("/KSMServer"),
                           QStringLiteral("org.kde.KSMServerInterface"),
                           {{QStringLiteral("logout"), QStringLiteral("iii")},
                            {QStringLiteral("isShuttingDown"), {}}},
                           {}};
    }
    if (name == QLatin1String("gnome")) {
        return gnomeLike({{QStringLiteral("Shutdown"), {}},
                          {QStringLiteral("Reboot"), {}},
                          {QStringLiteral("Logout"), u}});
    }
    if (name == QLatin1String("mate")) {
        return gnomeLike({{QStringLiteral("Shutdown"), {}},
                          {QStringLiteral("Logout"), u},
                          {QStringLiteral("RequestShutdown"), {}},
                          {QStringLiteral("RequestReboot"), {}}},
                         kSessionRunning);
    }
    const QMap<QString, QString> cinnamonMethods{{QStringLiteral("Shutdown"), {}},
                                                 {QStringLiteral("Reboot"), {}},
                                                 {QStringLiteral("Logout"), u},
                                                 {QStringLiteral("RequestShutdown"), {}},
                                                 {QStringLiteral("RequestReboot"), {}}};
    if (name == QLatin1String("cinnamon")) return gnomeLike(cinnamonMethods, kSessionRunning);
    if (name == QLatin1String("cinnamon-old")) {
        const QString cinnamonName = QStringLiteral("org.cinnamon.SessionManager");
        return SessionKind{cinnamonName, QStringLiteral("/org/cinnamon/SessionManager"),
                           cinnamonName, cinnamonMethods, kSessionRunning};
    }
    if (name == QLatin1String("ukui")) {
        return gnomeLike({{QStringLiteral("powerOff"), {}},
                          {QStringLiteral("reboot"), {}},
                          {QStringLiteral("logout"), {}},
                          {QStringLiteral("canPowerOff"), {}}});
    }
    if (name == QLatin1String("xfce")) {
        return SessionKind{QStringLiteral("org.xfce.SessionManager"),
                           QStringLiteral("/org/xfce/SessionManager"),
                           QStringLiteral("org.xfce.Session.Manager"),
                           {{QStringLiteral("Shutdown"), QStringLiteral("b")},
                            {QStringLiteral("Restart"), QStringLiteral("b")},
                            {QStringLiteral("Logout"), QStringLiteral("bb")},
                            {QStringLiteral("CanShutdown"), {}}},
                           QStringLiteral("ShutdownCancelled")};
    }
    if (name == QLatin1String("lxqt")) {
        return SessionKind{QStringLiteral("org.lxqt.session"),
                           QStringLiteral("/LXQtSession"),
                           QStringLiteral("org.lxqt.session"),
                           {{QStringLiteral("powerOff"), {}},
                            {QStringLiteral("reboot"), {}},
                            {QStringLiteral("logout"), {}},
                            {QStringLiteral("canPowerOff"), {}}},
                           {}};
    }
    if (name == QLatin1String("deepin")) {
        const QString deepinName = QStringLiteral("com.deepin.SessionManager");
        return SessionKind{deepinName,
                           QStringLiteral("/com/deepin/SessionManager"),
                           deepinName,
                           {{QStringLiteral("Shutdown"), {}},
                            {QStringLiteral("RequestShutdown"), {}},
                            {QStringLiteral("Reboot"), {}},
                            {QStringLiteral("RequestReboot"), {}},
                            {QStringLiteral("Logout"), {}},
                            {QStringLiteral("RequestLogout"), {}}},
                           {}};
    }
    return std::nullopt;
}

}  // namespace zeravan::test
