// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QMap>
#include <QString>
#include <optional>

namespace zeravan::test {

// What one desktop's session manager offers on the session bus, as its documentation gives it:
// the name, object and interface, each method with the D-Bus signature of its arguments, and
// the signal by which it says that an end of the session was called off (empty where none).
struct SessionKind {
    QString service;
    QString path;
    QString interface;
    QMap<QString, QString> methods;  // name -> input signature
    QString calledOffSignal;
};

// "kde", "kde-ksmserver" (Plasma before 5.25), "gnome", "mate", "cinnamon", "cinnamon-old",
// "ukui", "xfce", "lxqt" or "deepin".
std::optional<SessionKind> sessionKind(const QString& name);

}  // namespace zeravan::test
