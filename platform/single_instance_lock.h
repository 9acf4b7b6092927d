// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace zeravan::platform {

// One running copy of the program per name: the first copy to claim the name keeps it while it
// runs; a later copy that tries is turned away, and the first hears that it was asked for.
class SingleInstanceLock : public QObject {
    Q_OBJECT
public:
    explicit SingleInstanceLock(QString name);

    // True when this copy now holds the name. False when another copy holds it: that copy has
    // been told someone asked for it.
    bool claim();

signals:
    // Another start asked for the copy holding the name.
    void askedFor();

private:
    bool askHolder();
    void answerAsks();

    QString name_;
    QLocalServer server_;
};

}  // namespace zeravan::platform
