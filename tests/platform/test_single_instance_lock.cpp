// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/single_instance_lock.h"

using zeravan::platform::findSingleInstancePlace;
using zeravan::platform::SingleInstanceLock;
using zeravan::platform::SingleInstancePlace;
using Claim = SingleInstanceLock::Claim;

class SingleInstanceLockTest : public QObject {
    Q_OBJECT
private slots:
    void firstClaimHolds();
    void laterClaimIsTurnedAwayAndTheHolderHears();
    void everyLaterClaimIsHeard();
    void nameIsFreeOnceTheHolderEnds();
    void otherNamesAreNotAffected();
    void placeIsWhereNoOtherUserCanWrite_data();
    void placeIsWhereNoOtherUserCanWrite();
    void anotherUsersHolderIsNotObeyed();
    void cleanup();

private:
    // Unique to this run, so that tests running side by side do not meet.
    static SingleInstancePlace place(const char* which) {
        return {QStringLiteral("zeravan-test-%1-%2")
                    .arg(QCoreApplication::applicationPid())
                    .arg(QLatin1String(which)),
                {}};
    }
};

void SingleInstanceLockTest::firstClaimHolds() {
    SingleInstanceLock lock(place("first"));
    QCOMPARE(lock.claim(), Claim::held);
}

void SingleInstanceLockTest::laterClaimIsTurnedAwayAndTheHolderHears() {
    SingleInstanceLock holder(place("later"));
    QCOMPARE(holder.claim(), Claim::held);
    QSignalSpy asked(&holder, &SingleInstanceLock::askedFor);
    SingleInstanceLock later(place("later"));
    QCOMPARE(later.claim(), Claim::heldElsewhere);
    QVERIFY(asked.wait(3000));
    QCOMPARE(asked.count(), 1);
}

void SingleInstanceLockTest::everyLaterClaimIsHeard() {
    SingleInstanceLock holder(place("every"));
    QCOMPARE(holder.claim(), Claim::held);
    QSignalSpy asked(&holder, &SingleInstanceLock::askedFor);
    for (int start = 0; start < 3; ++start) {
        SingleInstanceLock later(place("every"));
        QCOMPARE(later.claim(), Claim::heldElsewhere);
    }
    QTRY_COMPARE(asked.count(), 3);
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

    SingleInstanceLock lock({name, {}});
    QCOMPARE(lock.claim(), Claim::unavailable);
    QVERIFY(lock.whyUnavailable().english.find("another user holds") != std::string::npos);
    holder.terminate();
    holder.waitForFinished();
}

QTEST_GUILESS_MAIN(SingleInstanceLockTest)
#include "test_single_instance_lock.moc"
