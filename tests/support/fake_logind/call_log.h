// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
#include <QString>

namespace zeravan::test {

// One line per call, flushed at once so a reader sees it before the reply arrives.
class CallLog {
public:
    // With `stamp`, each line ends in a tab and its arrival time (ms since 1970, real clock).
    CallLog(const QString& path, bool stamp);

    bool isOpen() const { return file_.isOpen(); }
    void write(const QString& line);

private:
    QFile file_;
    bool stamp_;
};

}  // namespace zeravan::test
