// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "child_process.h"

#include <sys/prctl.h>

#include <csignal>

namespace zeravan::test {

void stopWithParent(QProcess& process) {
    process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

}  // namespace zeravan::test
