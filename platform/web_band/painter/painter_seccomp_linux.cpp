// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <sched.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <initializer_list>

#include "painter_jail.h"

namespace zeravan::platform {

namespace {

constexpr uint32_t end = SCMP_ACT_KILL_PROCESS;

// What a painter that paints never calls: it ends if it does.
const std::initializer_list<int> neverCalled = {
    // sockets, processes and programs
    SCMP_SYS(socket), SCMP_SYS(socketpair), SCMP_SYS(fork), SCMP_SYS(vfork), SCMP_SYS(execve),
    SCMP_SYS(execveat),
    // shared memory, which no memory limit counts
    SCMP_SYS(memfd_create), SCMP_SYS(memfd_secret), SCMP_SYS(shmget), SCMP_SYS(shmat),
    // other processes, and signals but to itself
    SCMP_SYS(ptrace), SCMP_SYS(process_vm_readv), SCMP_SYS(process_vm_writev),
    SCMP_SYS(process_madvise), SCMP_SYS(kcmp), SCMP_SYS(pidfd_open), SCMP_SYS(pidfd_getfd),
    SCMP_SYS(pidfd_send_signal), SCMP_SYS(tkill), SCMP_SYS(setrlimit),
    // the file system changed without opening a file for writing
    SCMP_SYS(creat), SCMP_SYS(truncate), SCMP_SYS(rename), SCMP_SYS(renameat), SCMP_SYS(renameat2),
    SCMP_SYS(unlink), SCMP_SYS(unlinkat), SCMP_SYS(mkdir), SCMP_SYS(mkdirat), SCMP_SYS(rmdir),
    SCMP_SYS(link), SCMP_SYS(linkat), SCMP_SYS(symlink), SCMP_SYS(symlinkat), SCMP_SYS(mknod),
    SCMP_SYS(mknodat), SCMP_SYS(chmod), SCMP_SYS(fchmod), SCMP_SYS(fchmodat), SCMP_SYS(chown),
    SCMP_SYS(fchown), SCMP_SYS(lchown), SCMP_SYS(fchownat), SCMP_SYS(utime), SCMP_SYS(utimes),
    SCMP_SYS(utimensat), SCMP_SYS(futimesat), SCMP_SYS(setxattr), SCMP_SYS(lsetxattr),
    SCMP_SYS(fsetxattr), SCMP_SYS(removexattr), SCMP_SYS(lremovexattr), SCMP_SYS(fremovexattr),
    SCMP_SYS(open_by_handle_at),
    // a way round these rules, or the system's own
    SCMP_SYS(io_uring_setup), SCMP_SYS(io_uring_enter), SCMP_SYS(io_uring_register),
    SCMP_SYS(unshare), SCMP_SYS(setns), SCMP_SYS(mount), SCMP_SYS(umount2), SCMP_SYS(pivot_root),
    SCMP_SYS(chroot), SCMP_SYS(open_tree), SCMP_SYS(move_mount), SCMP_SYS(fsopen),
    SCMP_SYS(fsconfig), SCMP_SYS(fsmount), SCMP_SYS(fspick), SCMP_SYS(mount_setattr), SCMP_SYS(bpf),
    SCMP_SYS(perf_event_open), SCMP_SYS(userfaultfd), SCMP_SYS(keyctl), SCMP_SYS(add_key),
    SCMP_SYS(request_key), SCMP_SYS(reboot), SCMP_SYS(kexec_load), SCMP_SYS(kexec_file_load),
    SCMP_SYS(init_module), SCMP_SYS(finit_module), SCMP_SYS(delete_module), SCMP_SYS(swapon),
    SCMP_SYS(swapoff), SCMP_SYS(acct)};

// Opened for writing, created or truncated: any one of these flags.
constexpr std::initializer_list<scmp_datum_t> writingFlags = {O_WRONLY, O_RDWR, O_CREAT, O_TRUNC};

bool addRules(scmp_filter_ctx filter) {
    bool all = true;
    const auto add = [&](uint32_t action, int call, std::initializer_list<scmp_arg_cmp> when) {
        all = seccomp_rule_add_array(filter, action, call, unsigned(when.size()), when.begin()) ==
                  0 &&
              all;
    };
    for (const int call : neverCalled) add(end, call, {});
    for (const scmp_datum_t flag : writingFlags) {
        add(end, SCMP_SYS(open), {SCMP_A1(SCMP_CMP_MASKED_EQ, flag, flag)});
        add(end, SCMP_SYS(openat), {SCMP_A2(SCMP_CMP_MASKED_EQ, flag, flag)});
    }
    // Its flags are out of the filter's sight; the C library falls back to openat.
    add(SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(openat2), {});
    // Threads, and nothing else: clone3's flags are out of sight too, and the C library then
    // falls back to clone.
    add(end, SCMP_SYS(clone), {SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0)});
    add(SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), {});
    add(end, SCMP_SYS(mmap),
        {SCMP_A3(SCMP_CMP_MASKED_EQ, MAP_SHARED | MAP_ANONYMOUS, MAP_SHARED | MAP_ANONYMOUS)});
    // Limits may be read, not set.
    add(end, SCMP_SYS(prlimit64), {SCMP_A2(SCMP_CMP_NE, 0)});
    // Signals, to itself only (pid 1 in a PID namespace of its own).
    const auto self = scmp_datum_t(getpid());
    for (const int call : {SCMP_SYS(kill), SCMP_SYS(tgkill), SCMP_SYS(rt_sigqueueinfo),
                           SCMP_SYS(rt_tgsigqueueinfo)}) {
        add(end, call, {SCMP_A0(SCMP_CMP_NE, self)});
    }
    return all;
}

}  // namespace

QString forbidAllButPainting() {
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return QStringLiteral("no no_new_privs: ") + QString::fromLocal8Bit(std::strerror(errno));
    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ALLOW);
    if (filter == nullptr) return QStringLiteral("no seccomp filter could be made");
    seccomp_attr_set(filter, SCMP_FLTATR_ACT_BADARCH, end);
    seccomp_attr_set(filter, SCMP_FLTATR_CTL_TSYNC, 1);  // any thread Qt has started too
    QString lacking;
    if (!addRules(filter)) lacking = QStringLiteral("some seccomp rules were not taken; ");
    if (const int refused = seccomp_load(filter); refused != 0) {
        lacking += QStringLiteral(
                       "no seccomp (%1): it may make sockets, processes and shared "
                       "memory, and write files")
                       .arg(QString::fromLocal8Bit(std::strerror(-refused)));
    }
    seccomp_release(filter);
    return lacking;
}

}  // namespace zeravan::platform
