// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "painter_jail.h"

namespace zeravan::platform {

namespace {

// What each version of Landlock can keep from a process; older headers lack the later ones.
constexpr __u64 fileSystemRightsOfVersion1 = (1ULL << 13) - 1;
constexpr __u64 referRight = 1ULL << 13;        // version 2
constexpr __u64 truncateRight = 1ULL << 14;     // version 3
constexpr __u64 deviceIoctlRight = 1ULL << 15;  // version 5
constexpr __u64 tcpRights = 3;                  // bind and connect, version 4
constexpr __u64 scopeRights = 3;  // abstract UNIX sockets and signals outside, version 6

// The ruleset's attributes as the latest kernels read them; an older one reads the front, and
// accepts the rest as long as it is zero.
struct RulesetAttributes {
    __u64 fileSystem = 0;
    __u64 network = 0;
    __u64 scoped = 0;
};

RulesetAttributes everythingOfVersion(int version) {
    RulesetAttributes handled;
    handled.fileSystem = fileSystemRightsOfVersion1;
    if (version >= 2) handled.fileSystem |= referRight;
    if (version >= 3) handled.fileSystem |= truncateRight;
    if (version >= 5) handled.fileSystem |= deviceIoctlRight;
    if (version >= 4) handled.network = tcpRights;
    if (version >= 6) handled.scoped = scopeRights;
    return handled;
}

QString lastError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace

QString readOnly(const QStringList& paths) {
    const long version =
        syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (version < 1) {
        return QStringLiteral("no Landlock (%1): it may read every file its user may")
            .arg(lastError());
    }
    const RulesetAttributes handled = everythingOfVersion(int(version));
    const long ruleset = syscall(SYS_landlock_create_ruleset, &handled, sizeof handled, 0);
    if (ruleset < 0) return QStringLiteral("no Landlock ruleset: ") + lastError();
    for (const QString& path : paths) {
        const int beneath = open(QFile::encodeName(path).constData(), O_PATH | O_CLOEXEC);
        struct stat kind {};
        if (beneath < 0) continue;  // a folder that is not there holds nothing to read
        fstat(beneath, &kind);
        landlock_path_beneath_attr rule{};
        rule.allowed_access = LANDLOCK_ACCESS_FS_READ_FILE;
        if (S_ISDIR(kind.st_mode)) rule.allowed_access |= LANDLOCK_ACCESS_FS_READ_DIR;
        rule.parent_fd = beneath;
        syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0);
        close(beneath);
    }
    QString lacking;
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        syscall(SYS_landlock_restrict_self, ruleset, 0) != 0) {
        lacking = QStringLiteral("Landlock refused its rules: ") + lastError();
    }
    close(int(ruleset));
    return lacking;
}

}  // namespace zeravan::platform
