// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <latch>
#include <memory>
#include <semaphore>
#include <vector>

#include "platform/single_instance_lock.h"

using zeravan::platform::findSingleInstancePlace;
using zeravan::platform::SingleInstanceLock;
using zeravan::platform::SingleInstancePlace;
using Claim = SingleInstanceLock::Claim;

class SingleInstanceLockTest : public QObject {
    Q_OBJECT
private slots:
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
    // Unique to this run, so that tests running side by side do not meet.
    static SingleInstancePlace place(const char* which) {
        const QString name = QStringLiteral("%1/zeravan-test-%2-%3")
                                 .arg(QDir::tempPath())
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QLatin1String(which));
        return {name, name + QStringLiteral(".lock"), {}};
    }
};

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
                SingleInstanceLock lock(name);
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
// the lock taken meanwhile keeps asking for a while, and then runs without the lock, saying why.
// A lock file whose process id has come round to another copy of the program (here this test
// itself) is taken over once nobody has answered for that while, since no process holds it.
void SingleInstanceLockTest::startsWaitForAHolderThatIsNotListeningYet_data() {
    QTest::addColumn<QString>("holder");
    QTest::addColumn<int>("claim");
    QTest::newRow("listens 1.5 s late") << "late" << int(Claim::heldElsewhere);
    QTest::newRow("never listens") << "silent" << int(Claim::unavailable);
    QTest::newRow("ended, its process id now another copy's") << "ended" << int(Claim::held);
}

void SingleInstanceLockTest::startsWaitForAHolderThatIsNotListeningYet() {
    QFETCH(QString, holder);
    QFETCH(int, claim);
    const SingleInstancePlace name = place("late");
    QLockFile holdersLock(name.lockFile);
    if (holder != "ended") QVERIFY(holdersLock.tryLock(0));
    if (holder == "ended") {  // a lock file naming this running program, that nobody holds
        QFile ended(name.lockFile);
        QVERIFY(ended.open(QIODevice::WriteOnly));
        ended.write(QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                    QCoreApplication::applicationName().toUtf8() + '\n');
    }
    std::atomic<int> claimed = -1;
    std::string why;
    const std::unique_ptr<QThread> start(QThread::create([&] {
        SingleInstanceLock lock(name, std::chrono::seconds(3));
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
    if (holder == "late") QVERIFY(listener.nextPendingConnection() != nullptr);
    if (holder == "silent") {
        QVERIFY2(
            why.find("held by another copy that did not answer within 3 s") != std::string::npos,
            why.c_str());
    }
}

void SingleInstanceLockTest::nameIsFreeOnceTheHolderEnds() {
    auto holder = std::make_unique<SingleInstanceLock>(place("ends"));
    QCOMPARE(holder->claim(), Claim::held);
    holder.reset();
    SingleInstanceLock next(place("ends"));
    QCOMPARE(next.claim(), Claim::held);
}

void SingleInstanceLockTest::otherNamesAreNotAffected() {
    SingleInstanceLock one(place("one"));
    SingleInstanceLock other(place("other"));
    QCOMPARE(one.claim(), Claim::held);
    QCOMPARE(other.claim(), Claim::held);
}

void SingleInstanceLockTest::cleanup() {
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("TMPDIR");
}

// The name goes into the runtime folder, or without one into a folder of the user's own in the
// temporary folder; a folder that another user owns or may write to is refused, since that user
// could put a name there first and turn every start away.
void SingleInstanceLockTest::placeIsWhereNoOtherUserCanWrite_data() {
    // XDG_RUNTIME_DIR in the scratch folder ("link" leads to "run"); empty: unset, and the
    // folder is the temporary folder's zeravan-<uid>.
    QTest::addColumn<QString>("runtimeFolder");
    QTest::addColumn<bool>("othersFolder");
    QTest::addColumn<int>("mode");         // of the folder made beforehand; 0: none made
    QTest::addColumn<QString>("problem");  // empty: the name is to be in the folder
    QTest::newRow("runtime folder") << "run" << false << 0700 << "";
    QTest::newRow("runtime folder, others may read") << "run" << false << 0755 << "";
    QTest::newRow("runtime folder of another user")
        << "run" << true << 0700 << "belongs to another user";
    QTest::newRow("runtime folder the group may write")
        << "run" << false << 0770 << "other users can write";
    QTest::newRow("runtime folder through a link")
        << "link" << false << 0700 << "is not a real folder";
    QTest::newRow("no runtime folder: own one made") << "" << false << 0 << "";
    QTest::newRow("no runtime folder: own one there") << "" << false << 0700 << "";
    QTest::newRow("no runtime folder: another user took its name")
        << "" << true << 0700 << "belongs to another user";
    QTest::newRow("no runtime folder: its name open to all")
        << "" << false << 01777 << "other users can write";
}

void SingleInstanceLockTest::placeIsWhereNoOtherUserCanWrite() {
    QFETCH(QString, runtimeFolder);
    QFETCH(bool, othersFolder);
    QFETCH(int, mode);
    QFETCH(QString, problem);
    if (othersFolder && geteuid() != 0) QSKIP("giving a folder to another user takes root");
    QTemporaryDir scratch;
    const QString root = scratch.path();
    const QString folder =
        root + '/' + (runtimeFolder.isEmpty() ? QStringLiteral("zeravan-%1").arg(getuid()) : "run");
    if (mode != 0) {
        const QByteArray path = QFile::encodeName(folder);
        QVERIFY(mkdir(path, 0700) == 0 && chmod(path, mode) == 0);
        // To nobody, played by root.
        if (othersFolder) QVERIFY(chown(path, 65534, 65534) == 0);
    }
    QVERIFY(QFile::link(root + "/run", root + "/link"));
    qputenv("TMPDIR", QFile::encodeName(root));
    if (!runtimeFolder.isEmpty())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + '/' + runtimeFolder));

    const SingleInstancePlace place = findSingleInstancePlace(":0|");
    const QString why = QString::fromStdString(place.problem.english);
    SingleInstanceLock lock(place);
    if (!problem.isEmpty()) {
        QVERIFY2(why.contains(problem), qPrintable(why));
        QVERIFY(!place.problem.chinese.empty());
        QCOMPARE(lock.claim(), Claim::unavailable);
        return;
    }
    QVERIFY2(why.isEmpty(), qPrintable(why));
    QCOMPARE(QFileInfo(place.name).path(), folder);
    QCOMPARE(place.lockFile, place.name + QStringLiteral(".lock"));
    struct stat made {};
    QVERIFY(lstat(QFile::encodeName(folder), &made) == 0);
    QCOMPARE(made.st_uid, getuid());
    QCOMPARE(made.st_mode & 022, 0u);
    QCOMPARE(lock.claim(), Claim::held);
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

    SingleInstanceLock lock({name, name + QStringLiteral(".lock"), {}});
    QCOMPARE(lock.claim(), Claim::unavailable);
    QVERIFY(lock.whyUnavailable().english.find("another user holds") != std::string::npos);
    holder.terminate();
    holder.waitForFinished();
}

QTEST_GUILESS_MAIN(SingleInstanceLockTest)
#include "test_single_instance_lock.moc"
