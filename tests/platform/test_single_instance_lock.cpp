// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <latch>
#include <memory>
#include <semaphore>
#include <vector>

#include "platform/single_instance_lock.h"

using zeravan::platform::findSingleInstancePlaces;
using zeravan::platform::SingleInstanceLock;
using zeravan::platform::SingleInstancePlace;
using Claim = SingleInstanceLock::Claim;

// What is mounted on a runtime folder: a tmpfs, read-only or full.
enum Mounted { nothing = 0, readOnly, full };

class SingleInstanceLockTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void startsClaimingOneName_data();
    void startsClaimingOneName();
    void startsWaitForAHolderThatIsNotListeningYet_data();
    void startsWaitForAHolderThatIsNotListeningYet();
    void nameIsFreeOnceTheHolderEnds();
    void otherNamesAreNotAffected();
    void placeIsWhereNoOtherUserCanWrite_data();
    void placeIsWhereNoOtherUserCanWrite();
    void anotherUsersHolderIsNotObeyed();
    void cleanup();

private:
    // Folders mounted here are seen by this test alone.
    bool inOwnMounts_ = false;
    // Unique to this run, so that tests running side by side do not meet.
    static SingleInstancePlace place(const char* which) {
        const QString name = QStringLiteral("%1/zeravan-test-%2-%3")
                                 .arg(QDir::tempPath())
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QLatin1String(which));
        return {name, name + QStringLiteral(".lock"), {}};
    }
};

// As root, the test mounts folders in a mount namespace of its own, before it starts threads.
void SingleInstanceLockTest::initTestCase() {
    inOwnMounts_ = geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
                   mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Each start claims from a thread of its own, as each start of the program is a process of its
// own: one after another, or all released at the same moment, round after round. Exactly one
// holds the name each time, and it hears every other one ask.
void SingleInstanceLockTest::startsClaimingOneName_data() {
    QTest::addColumn<int>("starts");
    QTest::addColumn<bool>("together");
    QTest::addColumn<int>("rounds");
    QTest::newRow("one start") << 1 << false << 1;
    QTest::newRow("four starts one after another") << 4 << false << 1;
    QTest::newRow("twelve starts at the same moment, 100 times") << 12 << true << 100;
}

void SingleInstanceLockTest::startsClaimingOneName() {
    QFETCH(int, starts);
    QFETCH(bool, together);
    QFETCH(int, rounds);
    const SingleInstancePlace name = place("starts");
    for (int round = 1; round <= rounds; ++round) {
        std::atomic<int> held = 0, heldElsewhere = 0, asksHeard = 0;
        std::latch gate(starts);
        std::counting_semaphore<> claimed(0);
        std::vector<std::unique_ptr<QThread>> threads;
        for (int start = 0; start < starts; ++start) {
            threads.emplace_back(QThread::create([&] {
                SingleInstanceLock lock({name});
                if (together) gate.arrive_and_wait();
                const Claim claim = lock.claim();
                if (claim == Claim::held) ++held;
                if (claim == Claim::heldElsewhere) ++heldElsewhere;
                claimed.release();
                if (claim != Claim::held || starts == 1) return;
                // The holder answers until every other start has asked.
                QEventLoop answering;
                int heard = 0;
                QObject::connect(&lock, &SingleInstanceLock::askedFor, &answering, [&] {
                    if (++heard == starts - 1) answering.quit();
                });
                QTimer::singleShot(20000, &answering, &QEventLoop::quit);
                answering.exec();
                asksHeard += heard;
            }));
            threads.back()->start();
            if (!together) claimed.acquire();
        }
        for (const std::unique_ptr<QThread>& thread : threads) QVERIFY(thread->wait(30000));
        QVERIFY2(
            held == 1 && heldElsewhere == starts - 1 && asksHeard == starts - 1,
            qPrintable(QString::asprintf("round %d: %d held, %d turned away, %d asks heard", round,
                                         held.load(), heldElsewhere.load(), asksHeard.load())));
    }
}

// The start that took the lock listens a moment later (longer when held up): a start that finds
// the lock taken meanwhile keeps asking for a while, and then does not run, saying why. A lock
// file naming a copy that may have written it (this test) is taken over after that while, since
// no process holds it; one whose process cannot have written it is taken over at once.
void SingleInstanceLockTest::startsWaitForAHolderThatIsNotListeningYet_data() {
    QTest::addColumn<QString>("holder");
    QTest::addColumn<int>("claim");
    QTest::addColumn<int>("withinMs");
    QTest::newRow("listens 1.5 s late") << "late" << int(Claim::heldElsewhere) << 10000;
    QTest::newRow("never listens") << "silent" << int(Claim::unavailable) << 10000;
    QTest::newRow("a copy's that holds it no more") << "ended" << int(Claim::held) << 10000;
    QTest::newRow("ended, its process id now another program's of the same name")
        << "other program" << int(Claim::held) << 1000;
    QTest::newRow("ended, its process id now a later copy's")
        << "later copy" << int(Claim::held) << 1000;
    QTest::newRow("another user's, naming a live process")
        << "other user's" << int(Claim::held) << 1000;
}

void SingleInstanceLockTest::startsWaitForAHolderThatIsNotListeningYet() {
    QFETCH(QString, holder);
    QFETCH(int, claim);
    QFETCH(int, withinMs);
    if (holder == "other user's" && geteuid() != 0)
        QSKIP("giving a file to another user takes root");
    const SingleInstancePlace name = place("late");
    QLockFile holdersLock(name.lockFile);
    if (holder == "late" || holder == "silent") QVERIFY(holdersLock.tryLock(0));
    // A live process that is not the holder: another program named as the record says, or this
    // program forked.
    QTemporaryDir scratch;
    QProcess otherProgram;
    pid_t recorded = static_cast<pid_t>(QCoreApplication::applicationPid());
    QString recordedName = QCoreApplication::applicationName();
    if (holder == "other program" || holder == "other user's") {
        recordedName = QStringLiteral("zeravan");
        const QString copy = scratch.filePath(recordedName);
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), copy));
        otherProgram.start(copy, {QStringLiteral("30")});
        QVERIFY(otherProgram.waitForStarted());
        recorded = static_cast<pid_t>(otherProgram.processId());
    } else if (holder == "later copy") {
        recorded = fork();
        if (recorded == 0) {
            ::sleep(30);
            _exit(0);
        }
    }
    QVERIFY(recorded > 0);
    const auto endProcesses = qScopeGuard([&] {
        otherProgram.kill();
        otherProgram.waitForFinished();
        if (holder != "later copy") return;
        kill(recorded, SIGKILL);
        waitpid(recorded, nullptr, 0);
    });
    if (!holdersLock.isLocked()) {  // a lock file that nobody holds, written a minute ago
        QFile record(name.lockFile);
        QVERIFY(record.open(QIODevice::WriteOnly));
        record.write(QByteArray::number(recorded) + '\n' + recordedName.toUtf8() + '\n');
        QVERIFY(record.flush());
        // Or, naming this program, just now.
        if (holder != "ended") {
            QVERIFY(record.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                       QFileDevice::FileModificationTime));
        }
        record.close();
        if (holder == "other user's")
            QVERIFY(chown(QFile::encodeName(name.lockFile), 65534, 65534) == 0);
    }
    std::atomic<int> claimed = -1;
    std::string why;
    QElapsedTimer claiming;
    claiming.start();
    const std::unique_ptr<QThread> start(QThread::create([&] {
        SingleInstanceLock lock({name}, std::chrono::seconds(3));
        claimed = int(lock.claim());
        why = lock.whyUnavailable().english;
    }));
    start->start();
    QLocalServer listener;
    if (holder == "late") {
        QTest::qWait(1500);
        QVERIFY(listener.listen(name.name));
    }
    QTRY_VERIFY_WITH_TIMEOUT(start->isFinished(), 10000);
    QCOMPARE(claimed, claim);
    QVERIFY2(claiming.elapsed() < withinMs, qPrintable(QString::number(claiming.elapsed())));
    if (holder == "late") QVERIFY(listener.nextPendingConnection() != nullptr);
    if (holder == "silent") {
        QVERIFY2(
            why.find("held by another copy that did not answer within 3 s") != std::string::npos,
            why.c_str());
    }
}

void SingleInstanceLockTest::nameIsFreeOnceTheHolderEnds() {
    auto holder = std::make_unique<SingleInstanceLock>(std::vector{place("ends")});
    QCOMPARE(holder->claim(), Claim::held);
    holder.reset();
    SingleInstanceLock next({place("ends")});
    QCOMPARE(next.claim(), Claim::held);
}

void SingleInstanceLockTest::otherNamesAreNotAffected() {
    SingleInstanceLock one({place("one")});
    SingleInstanceLock other({place("other")});
    QCOMPARE(one.claim(), Claim::held);
    QCOMPARE(other.claim(), Claim::held);
}

void SingleInstanceLockTest::cleanup() {
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("TMPDIR");
}

// The name goes into the runtime folder, or into a folder of the user's own in the temporary
// folder where there is none or the lock file cannot be made in it (read-only, full). A folder
// that another user owns or may write to is not used, since that user could put a name there
// first and turn every start away; with no folder left, the start does not run.
void SingleInstanceLockTest::placeIsWhereNoOtherUserCanWrite_data() {
    // XDG_RUNTIME_DIR in the scratch folder ("link" leads to "run"); empty: unset.
    QTest::addColumn<QString>("runtimeFolder");
    QTest::addColumn<bool>("othersFolder");
    QTest::addColumn<int>("mode");     // of the folder made beforehand; 0: none made
    QTest::addColumn<int>("mounted");  // on "run": a Mounted
    // "run", "own" (the temporary folder's zeravan-<uid>), or why neither
    QTest::addColumn<QString>("heldIn");
    QTest::newRow("runtime folder") << "run" << false << 0700 << 0 << "run";
    QTest::newRow("runtime folder, others may read") << "run" << false << 0755 << 0 << "run";
    QTest::newRow("runtime folder of another user") << "run" << true << 0700 << 0 << "own";
    QTest::newRow("runtime folder the group may write") << "run" << false << 0770 << 0 << "own";
    QTest::newRow("runtime folder through a link") << "link" << false << 0700 << 0 << "own";
    QTest::newRow("runtime folder read-only") << "run" << false << 0700 << int(readOnly) << "own";
    QTest::newRow("runtime folder full") << "run" << false << 0700 << int(full) << "own";
    QTest::newRow("no runtime folder: own one made") << "" << false << 0 << 0 << "own";
    QTest::newRow("no runtime folder: own one there") << "" << false << 0700 << 0 << "own";
    QTest::newRow("no runtime folder: another user took its name")
        << "" << true << 0700 << 0 << "belongs to another user";
    QTest::newRow("no runtime folder: its name open to all")
        << "" << false << 01777 << 0 << "other users can write";
}

void SingleInstanceLockTest::placeIsWhereNoOtherUserCanWrite() {
    QFETCH(QString, runtimeFolder);
    QFETCH(bool, othersFolder);
    QFETCH(int, mode);
    QFETCH(int, mounted);
    QFETCH(QString, heldIn);
    if ((othersFolder || mounted != nothing) && !inOwnMounts_) {
        QSKIP("another user's folder, or a folder mounted, takes root");
    }
    QTemporaryDir scratch;
    const QString root = scratch.path();
    const QString run = root + QStringLiteral("/run");
    const QString own = root + QStringLiteral("/zeravan-%1").arg(getuid());
    const QString made = runtimeFolder.isEmpty() ? own : run;
    if (mode != 0) {
        const QByteArray path = QFile::encodeName(made);
        QVERIFY(mkdir(path, 0700) == 0 && chmod(path, mode) == 0);
        // To nobody, played by root.
        if (othersFolder) QVERIFY(chown(path, 65534, 65534) == 0);
    }
    const QByteArray runPath = QFile::encodeName(run);
    const auto unmount = qScopeGuard([&] { umount2(runPath, MNT_DETACH); });
    if (mounted == readOnly) {
        QVERIFY(mount("none", runPath, "tmpfs", MS_RDONLY, "mode=0700") == 0);
    } else if (mounted == full) {
        QVERIFY(mount("none", runPath, "tmpfs", 0, "size=64k,mode=0700") == 0);
        QFile filler(run + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'x')) > 0 && filler.flush()) {
        }
    }
    QVERIFY(QFile::link(run, root + "/link"));
    qputenv("TMPDIR", QFile::encodeName(root));
    if (!runtimeFolder.isEmpty())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + '/' + runtimeFolder));

    SingleInstanceLock lock(findSingleInstancePlaces(":0|"));
    const Claim claim = lock.claim();
    const QString why = QString::fromStdString(lock.whyUnavailable().english);
    if (heldIn != "run" && heldIn != "own") {
        QCOMPARE(claim, Claim::unavailable);
        QVERIFY2(why.contains(heldIn), qPrintable(why));
        QVERIFY(!lock.whyUnavailable().chinese.empty());
        return;
    }
    QCOMPARE(claim, Claim::held);
    // The lock file and the name, both in the folder that holds them.
    const QString folder = heldIn == "run" ? run : own;
    QCOMPARE(QDir(folder)
                 .entryList({QStringLiteral("io.github.orrimel.Zeravan-*")},
                            QDir::AllEntries | QDir::System)
                 .size(),
             2);
    struct stat info {};
    QVERIFY(lstat(QFile::encodeName(folder), &info) == 0);
    QCOMPARE(info.st_uid, getuid());
    QCOMPARE(info.st_mode & 022, 0u);
    // With the runtime folder writable again, a start that takes the lock file there still finds
    // the copy holding the name in the other folder.
    if (mounted != readOnly) return;
    QVERIFY(umount2(runPath, MNT_DETACH) == 0);
    std::atomic<int> second = -1;
    const std::unique_ptr<QThread> start(QThread::create(
        [&] { second = int(SingleInstanceLock(findSingleInstancePlaces(":0|")).claim()); }));
    start->start();
    QTRY_VERIFY(start->isFinished());
    QCOMPARE(second, int(Claim::heldElsewhere));
}

// A name somewhere another user can reach, held by that user: the start is neither turned away
// nor does it take the name; it runs without the lock.
void SingleInstanceLockTest::anotherUsersHolderIsNotObeyed() {
    if (geteuid() != 0) QSKIP("playing another user takes root");
    QTemporaryDir scratch;
    const QString open = scratch.path() + "/open";
    QVERIFY(QDir().mkdir(open) && chmod(QFile::encodeName(scratch.path()), 0711) == 0 &&
            chmod(QFile::encodeName(open), 0777) == 0);
    const QString name = open + "/holder";
    QProcess holder;
    const char* listen =
        "import socket, sys, time; s = socket.socket(socket.AF_UNIX); "
        "s.bind(sys.argv[1]); s.listen(); print('ready', flush=True); time.sleep(30)";
    holder.start("runuser", {"-u", "nobody", "--", "/usr/bin/python3", "-c", listen, name});
    while (!holder.canReadLine()) QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readLine(), QByteArray("ready\n"));

    SingleInstanceLock lock({{name, name + QStringLiteral(".lock"), {}}});
    QCOMPARE(lock.claim(), Claim::unavailable);
    QVERIFY(lock.whyUnavailable().english.find("another user holds") != std::string::npos);
    holder.terminate();
    holder.waitForFinished();
}

QTEST_GUILESS_MAIN(SingleInstanceLockTest)
#include "test_single_instance_lock.moc"
