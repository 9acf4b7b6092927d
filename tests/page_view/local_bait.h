// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

namespace zeravan::test {

// A folder (zeravan-bait-XXXXXX) of local files that a page may name and nobody may open: a
// green picture (bait.png), a style sheet that colours text green (bait.css) and a named pipe
// (bait.pipe). The kernel reports every open of anything in it. A reader blocked on the pipe is
// let go (it reads nothing) and counted, so a program that opens it still finishes.
class LocalBait {
public:
    LocalBait();
    ~LocalBait();
    LocalBait(const LocalBait&) = delete;
    LocalBait& operator=(const LocalBait&) = delete;

    QString path() const { return dir_.path(); }
    // The names opened since the folder was made.
    QStringList opened();

private:
    QTemporaryDir dir_{QDir::tempPath() + QStringLiteral("/zeravan-bait-XXXXXX")};
    int watch_ = -1;
    std::atomic<bool> pipeRead_ = false;
    std::atomic<bool> stop_ = false;
    std::thread pipeProbe_;
};

}  // namespace zeravan::test
