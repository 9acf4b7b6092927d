// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include "painter_launch.h"

namespace zeravan::platform {

namespace {

// What painting needs: the user's fonts and their configuration, the language they are chosen
// for, where the libraries are, and how a sanitizer build reports. No bus, display, session or
// runtime address goes to the painter.
const char* const neededForPainting[] = {"HOME",
                                         "LANG",
                                         "LANGUAGE",
                                         "LC_ALL",
                                         "LC_CTYPE",
                                         "XDG_CONFIG_HOME",
                                         "XDG_CONFIG_DIRS",
                                         "XDG_DATA_HOME",
                                         "XDG_DATA_DIRS",
                                         "XDG_CACHE_HOME",
                                         "FONTCONFIG_FILE",
                                         "FONTCONFIG_PATH",
                                         "LD_LIBRARY_PATH",
                                         "ASAN_OPTIONS",
                                         "LSAN_OPTIONS",
                                         "UBSAN_OPTIONS"};

// Every descriptor but 0, 1 and 2 closes when the painter starts: QProcess's own report of
// the start, open until then, goes too. Kernels before 5.11 are gone through one by one.
void closeAllButStandardOnStart() {
    if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0) return;
    rlimit descriptors{};
    getrlimit(RLIMIT_NOFILE, &descriptors);
    for (rlim_t descriptor = 3; descriptor < descriptors.rlim_cur; ++descriptor)
        fcntl(int(descriptor), F_SETFD, FD_CLOEXEC);
}

}  // namespace

QProcessEnvironment painterEnvironment() {
    const QProcessEnvironment program = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment environment;
    for (const char* name : neededForPainting) {
        const QString key = QLatin1String(name);
        if (program.contains(key)) environment.insert(key, program.value(key));
    }
    return environment;
}

// In the child, before the painter starts: only async-signal-safe calls. The painter is killed
// when the window's thread that started it ends, which is the window's main thread.
void confinePainterStart(QProcess& painter) {
    const pid_t window = getpid();
    painter.setChildProcessModifier([window] {
        closeAllButStandardOnStart();
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != window) _exit(127);  // the window went before it could be told
    });
}

}  // namespace zeravan::platform
