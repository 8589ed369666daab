#include "logos/store_lock.h"
#include "support/temp_dir.h"

#include <QFile>
#include <QCoreApplication>
#include <QSysInfo>
#include <QProcess>

#include <gtest/gtest.h>

TEST(StoreLock, OneHolderAtATimeAndTheSecondLearnsWho)
{
    CTestDir dir;
    const QString path = dir.Path("config/registry.lock");  // the folder is made on demand
    CStoreLock first(path);
    CStoreLock second(path);
    ASSERT_EQ(first.TryLock(), CStoreLock::Result::Locked) << first.Error().toStdString();
    EXPECT_EQ(first.TryLock(), CStoreLock::Result::Locked);  // asking again keeps it
    ASSERT_EQ(second.TryLock(), CStoreLock::Result::HeldByOther);
    EXPECT_TRUE(second.Holder().startsWith(QStringLiteral("process %1 on ").arg(QCoreApplication::applicationPid())))
        << second.Holder().toStdString();
    first.Unlock();
    EXPECT_EQ(second.TryLock(), CStoreLock::Result::Locked);
    EXPECT_EQ(first.TryLock(), CStoreLock::Result::HeldByOther);
}

TEST(StoreLock, ALockLeftByAProgramThatDiedIsTakenOver)
{
    // A program that has ended leaves its process id behind, as kill -9 would.
    QProcess ended;
    ended.start(QStringLiteral("true"), QStringList{});
    ASSERT_TRUE(ended.waitForFinished(30000));
    const qint64 deadPid = ended.processId() > 0 ? ended.processId() : 999999;
    CTestDir dir;
    const QString path = dir.Path("registry.lock");
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QStringLiteral("%1\nmarkograph\n%2\n").arg(deadPid).arg(QSysInfo::machineHostName()).toUtf8());
    stale.close();
    CStoreLock lock(path);
    EXPECT_EQ(lock.TryLock(), CStoreLock::Result::Locked);
}

TEST(StoreLock, AFolderThatCannotBeMadeIsReportedNotWaitedFor)
{
    CTestDir dir;
    QFile blocker(dir.Path("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CStoreLock lock(dir.Path("file/below/registry.lock"));
    EXPECT_EQ(lock.TryLock(), CStoreLock::Result::Unavailable);
    EXPECT_FALSE(lock.Error().isEmpty());
}
