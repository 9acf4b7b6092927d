// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The bytes of data: addresses, for the pictures a page carries in itself.
#pragma once

#include <QByteArray>
#include <QString>

namespace zeravan::platform {

// The bytes a data: address carries, when they are at most maxBytes; empty otherwise.
QByteArray dataAddressBytes(const QString& address, qsizetype maxBytes);

}  // namespace zeravan::platform
