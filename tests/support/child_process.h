// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QProcess>

namespace zeravan::test {

// Has the system stop the child if the test dies first, so no daemon outlives a crashed test.
void stopWithParent(QProcess& process);

}  // namespace zeravan::test
