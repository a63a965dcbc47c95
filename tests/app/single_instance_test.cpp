// The single-instance lock and the program refusing a second start.

#include "built_program.h"
#include "main_form_fixture.h"
#include "modal_wait.h"

#include "app/single_instance.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

bool WaitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QTest::qWait(20);
    }
    return true;
}

}  // namespace

TEST(SingleInstance, TheLockIsHeldForTheLifeOfItsOwnerOnly)
{
    QTemporaryDir dir;
    auto first = std::make_unique<SingleInstance>(QStringLiteral("Orvane_E"), dir.path());
    EXPECT_TRUE(first->Acquire());
    EXPECT_EQ(first->LockPath(), QDir(dir.path()).filePath(QStringLiteral("Orvane_E")));

    SingleInstance second(QStringLiteral("Orvane_E"), dir.path());
    EXPECT_FALSE(second.Acquire());
    first.reset();
    EXPECT_TRUE(second.Acquire());
    EXPECT_TRUE(QFile::exists(QDir(dir.path()).filePath(QStringLiteral("Orvane_E"))));
}

TEST(SingleInstance, ASecondProgramIsRefusedAndTouchesNothing)
{
    QTemporaryDir dir;
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("a")) && root.mkpath(QStringLiteral("b"))
                && root.mkpath(QStringLiteral("run")));
    const QString a = root.filePath(QStringLiteral("a/orvane"));
    const QString b = root.filePath(QStringLiteral("b/orvane"));
    QFile::setPermissions(root.filePath(QStringLiteral("run")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(QFile::copy(QString::fromStdString(BuiltProgram(ORVANE_BINARY)), a));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(BuiltProgram(ORVANE_BINARY)), b));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), root.filePath(QStringLiteral("run")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess first, second;
    first.setProcessEnvironment(env);
    second.setProcessEnvironment(env);

    first.start(a, {});
    ASSERT_TRUE(first.waitForStarted());
    // The running program has written its ORV.ini once it is up.
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(root.filePath(QStringLiteral("a/ORV.ini"))); }, 10000));

    second.start(b, {});
    ASSERT_TRUE(second.waitForStarted());
    const QByteArray warning = QStringLiteral("orvane: すでにプログラムは起動しています。\n").toLocal8Bit();
    QByteArray said;
    WaitFor(
        [&] {
            said += second.readAllStandardError();
            return said.contains(warning);
        },
        10000);
    EXPECT_TRUE(said.contains(warning)) << said.toStdString();
    QTest::qWait(200);
    EXPECT_FALSE(QFile::exists(root.filePath(QStringLiteral("b/ORV.ini"))));
    EXPECT_EQ(first.state(), QProcess::Running);

    second.kill();
    second.waitForFinished();
    first.kill();
    first.waitForFinished();
}
