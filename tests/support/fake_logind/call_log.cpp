// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "call_log.h"

#include <QDateTime>

namespace zeravan::test {

CallLog::CallLog(const QString& path, bool stamp) : file_(path), stamp_(stamp) {
    file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

void CallLog::write(const QString& line) {
    QByteArray text = line.toUtf8();
    if (stamp_) text += '\t' + QByteArray::number(QDateTime::currentMSecsSinceEpoch());
    file_.write(text + '\n');
    file_.flush();
}

}  // namespace zeravan::test
