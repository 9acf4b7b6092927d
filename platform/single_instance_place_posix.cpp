// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/single_instance_place.h"

namespace zeravan::platform {

namespace {

std::string octal(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// The name goes only into a real folder (not a link to one) of this user's that nobody else can
// write to: anyone who could would be able to put a name of their own there first.
SingleInstanceProblem folderProblem(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        const std::string error = std::strerror(errno);
        return {"无法使用文件夹 " + path + "：" + error,
                "the folder " + path + " cannot be used: " + error};
    }
    if (!S_ISDIR(info.st_mode)) {
        return {path + " 不是真正的文件夹（也许是一个链接）",
                path + " is not a real folder (a link, perhaps)"};
    }
    if (info.st_uid != ::getuid()) {
        const std::string owner = std::to_string(info.st_uid);
        return {"文件夹 " + path + " 属于另一个用户（uid " + owner + "）",
                "the folder " + path + " belongs to another user (uid " + owner + ")"};
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        const std::string mode = octal(info.st_mode);
        return {"其他用户可以写入文件夹 " + path + "（权限 " + mode + "）",
                "other users can write to the folder " + path + " (mode " + mode + ")"};
    }
    return {};
}

// The user's runtime folder, or where the session has none, a folder of the user's own in the
// temporary folder, made when it is not there yet.
std::string folderForName() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') return runtime;
    std::string own = QDir::tempPath().toStdString() + "/zeravan-" + std::to_string(::getuid());
    // One that is there already, made by whoever, is checked like any other.
    ::mkdir(own.c_str(), 0700);
    return own;
}

}  // namespace

SingleInstancePlace findSingleInstancePlace(const std::string& session) {
    const std::string folder = folderForName();
    SingleInstanceProblem problem = folderProblem(folder);
    if (!problem.english.empty()) return {{}, {}, std::move(problem)};
    const QByteArray sessionHash =
        QCryptographicHash::hash(QByteArray::fromStdString(session), QCryptographicHash::Sha1);
    const QString name = QString::fromStdString(folder) +
                         QStringLiteral("/io.github.orrimel.Zeravan-") +
                         QString::fromLatin1(sessionHash.toHex().left(16));
    // Beside the name, in the same checked folder: nobody else can take it first either.
    return {name, name + QStringLiteral(".lock"), {}};
}

bool peerIsSameUser(qintptr socketDescriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer,
                        &size) == 0 &&
           peer.uid == ::getuid();
}

}  // namespace zeravan::platform
