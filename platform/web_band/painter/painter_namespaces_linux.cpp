// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "painter_jail.h"

namespace zeravan::platform {

namespace {

bool writeFile(const char* path, const char* text) {
    const int file = open(path, O_WRONLY | O_CLOEXEC);
    if (file < 0) return false;
    const auto length = ssize_t(std::strlen(text));
    const bool written = write(file, text, size_t(length)) == length;
    close(file);
    return written;
}

// Inside, the painter keeps its own user and group: its files and fonts stay its own.
bool mapOwnIds(uid_t user, gid_t group) {
    char line[64];
    std::snprintf(line, sizeof line, "%u %u 1", unsigned(user), unsigned(user));
    if (!writeFile("/proc/self/uid_map", line)) return false;
    if (!writeFile("/proc/self/setgroups", "deny")) return false;
    std::snprintf(line, sizeof line, "%u %u 1", unsigned(group), unsigned(group));
    return writeFile("/proc/self/gid_map", line);
}

// The outer process: it holds nothing the painter needs, waits and ends as the painter ended.
[[noreturn]] void waitAndEndAs(pid_t painter) {
    close_range(0, ~0U, 0);
    int status = 0;
    while (waitpid(painter, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) {
        std::signal(WTERMSIG(status), SIG_DFL);
        raise(WTERMSIG(status));
    }
    _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
}

}  // namespace

QString enterNamespacesOfItsOwn() {
    const uid_t user = getuid();
    const gid_t group = getgid();
    constexpr int others = CLONE_NEWNET | CLONE_NEWIPC | CLONE_NEWPID;
    QString lacking;
    // Without a user namespace of its own, only a privileged painter may have the others.
    if (unshare(CLONE_NEWUSER | others) == 0) {
        if (!mapOwnIds(user, group))
            lacking = QStringLiteral("its user and group could not be mapped: ") +
                      QString::fromLocal8Bit(std::strerror(errno));
    } else {
        const QString refused = QString::fromLocal8Bit(std::strerror(errno));
        if (unshare(others) != 0) {
            return QStringLiteral(
                       "no namespaces of its own (%1): it sees the network and the "
                       "other processes")
                .arg(refused);
        }
        lacking = QStringLiteral("no user namespace of its own (%1)").arg(refused);
    }
    const pid_t painter = fork();
    if (painter < 0) {
        return QStringLiteral(
                   "no process of its own in its PID namespace (%1): it sees the "
                   "other processes")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (painter > 0) waitAndEndAs(painter);
    // Should the outer process go before this line, the window has closed the input already,
    // and the painter ends at its end as ever.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    return lacking;
}

}  // namespace zeravan::platform
