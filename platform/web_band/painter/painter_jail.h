// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The walls the Linux page painter raises around itself.
#pragma once

#include <QString>
#include <QStringList>

// The walls of the Linux page painter, raised by confinePainter. Each returns what the kernel
// lacked for it, in words for the program's log; empty when it was all there.
namespace zeravan::platform {

// User, network, IPC and PID namespaces of the painter's own: no network but an empty one of its
// own, no other process in sight. A PID namespace takes the caller's children, not the caller,
// so this forks once: the child, pid 1 inside, goes on and is ended with this process; this
// process waits for it, ends as it ended and never returns. It must be alone in its process: no
// thread may have started.
QString enterNamespacesOfItsOwn();

// From now on nothing but the folders (and files) given may be read, and nothing anywhere may be
// written, made or removed (Landlock); nor may the process signal anything outside itself.
// Sets no_new_privs first.
QString readOnly(const QStringList& paths);

// From now on the process ends at once (SIGSYS) if it opens a file for writing, changes the file
// system, makes a socket, a process or shared memory, signals or traces another process, or
// raises its limits; it may still start threads. Sets no_new_privs first.
QString forbidAllButPainting();

}  // namespace zeravan::platform
