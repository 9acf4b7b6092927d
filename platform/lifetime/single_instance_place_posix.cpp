// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>

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

// The user's runtime folder, and a folder of the user's own in the temporary folder, made when it
// is not there yet: where the session sets no runtime folder, or the lock file cannot be made in
// it (read-only, full).
std::vector<std::string> foldersForName() {
    std::vector<std::string> folders;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') folders.emplace_back(runtime);
    std::string own = QDir::tempPath().toStdString() + "/zeravan-" + std::to_string(::getuid());
    // One that is there already, made by whoever, is checked like any other.
    ::mkdir(own.c_str(), 0700);
    folders.push_back(std::move(own));
    return folders;
}

SingleInstancePlace placeIn(const std::string& folder, const std::string& session) {
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

// The executable that process `pid` ("self": this one) runs; one replaced on disk since it
// started (by an update) counts as the same.
std::string executableOf(const std::string& pid) {
    std::error_code error;
    std::string path = std::filesystem::read_symlink("/proc/" + pid + "/exe", error).string();
    constexpr std::string_view replaced = " (deleted)";
    if (path.ends_with(replaced)) path.resize(path.size() - replaced.size());
    return path;
}

// When the machine started, in seconds since 1970.
std::optional<long long> bootTime() {
    std::ifstream stat("/proc/stat");
    std::string key;
    long long seconds = 0;
    while (stat >> key) {
        if (key == "btime" && stat >> seconds) return seconds;
        stat.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return std::nullopt;
}

// When process `pid` started, in seconds since 1970: field 22 of its stat, in clock ticks since
// the machine started. Nothing when no such process runs.
std::optional<double> startOf(const std::string& pid) {
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string line;
    std::getline(stat, line);
    // The second field, the program's name in parentheses, may itself hold blanks and ')'.
    const std::size_t nameEnd = line.rfind(')');
    const std::optional<long long> boot = bootTime();
    if (nameEnd == std::string::npos || !boot) return std::nullopt;
    std::istringstream fields(line.substr(nameEnd + 1));
    std::string field;
    for (int number = 3; number <= 22; ++number) {
        if (!(fields >> field)) return std::nullopt;
    }
    return static_cast<double>(*boot) +
           std::stod(field) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// Whether the lock file's record names a process that cannot be the copy of this program that
// wrote it. The record is QLockFile's: the process id, its program's name and the machine's; the
// file's time says when it was written.
bool recordNamesNoCopy(const QString& lockFile) {
    struct stat info {};
    if (::lstat(QFile::encodeName(lockFile).constData(), &info) != 0) return false;
    // This user's copies make their lock files as this user.
    if (info.st_uid != ::getuid()) return true;
    qint64 pid = 0;
    QString machine;
    QString program;
    if (!QLockFile(lockFile).getLockInfo(&pid, &machine, &program)) return false;
    const std::string process = std::to_string(pid);
    const std::optional<double> started = startOf(process);
    if (!started || executableOf(process) != executableOf("self")) return true;
    // The copy that wrote the record had started before; a second is left for the rounding of
    // the times compared.
    return *started > static_cast<double>(info.st_mtime) + 1;
}

}  // namespace

std::vector<SingleInstancePlace> findSingleInstancePlaces(const std::string& session) {
    std::vector<SingleInstancePlace> places;
    for (const std::string& folder : foldersForName()) places.push_back(placeIn(folder, session));
    return places;
}

bool removeLockOfNoCopy(QLockFile& lock) {
    const QString lockFile = lock.fileName();
    if (!recordNamesNoCopy(lockFile)) return false;
    // One start at a time, and the record checked again meanwhile: a lock file that another start
    // has just made in place of the one it removed must not be taken for the old one.
    QLockFile removing(lockFile + QStringLiteral(".rmlock"));
    if (!removing.tryLock(0) && removing.error() == QLockFile::LockFailedError) return false;
    if (!recordNamesNoCopy(lockFile)) return false;
    if (lock.removeStaleLockFile()) return true;
    // Another user's lock file may not be opened to see whether a process keeps it locked; no
    // copy of this user's does.
    struct stat info {};
    return ::lstat(QFile::encodeName(lockFile).constData(), &info) == 0 &&
           info.st_uid != ::getuid() && QFile::remove(lockFile);
}

bool peerIsSameUser(qintptr socketDescriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer,
                        &size) == 0 &&
           peer.uid == ::getuid();
}

}  // namespace zeravan::platform
