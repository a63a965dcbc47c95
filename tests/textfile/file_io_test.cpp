#include "file_helpers.h"
#include "textfile/file_io.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace orvane {
namespace {

TEST(AtomicWrite, ReplacesTheFileKeepsItsModeAndLeavesNoTemporaryFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.csv");
    QString error;
    ASSERT_TRUE(WriteFileAtomically(path, "first\r\n", &error)) << error.toStdString();
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "second\r\n", &error)) << error.toStdString();

    EXPECT_EQ(ReadAll(path), "second\r\n");
    EXPECT_EQ(QFile::permissions(path).toInt() & 0x7077, int(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.csv"});
}

TEST(AtomicWrite, FullDiskFailsWithReasonAndLeavesOldFileIntact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.csv");
    ASSERT_TRUE(WriteFileAtomically(path, "old", nullptr));
    QString error;
    {
        FileSizeLimit limit(16);
        EXPECT_FALSE(WriteFileAtomically(path, QByteArray(1000, 'x'), &error));
    }
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.csv"});
}

TEST(AtomicWrite, FolderThatCannotExistFails)
{
    QTemporaryDir dir;
    ASSERT_TRUE(WriteFileAtomically(dir.filePath("plain"), "x", nullptr));
    QString error;
    EXPECT_FALSE(WriteFileAtomically(dir.filePath("plain/a.csv"), "y", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(TextFile, RoundTripsUnderTheCodePageRuleAndMissingFileIsAnError)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("m.csv");
    ASSERT_TRUE(WriteTextFile(path, QStringLiteral("歩行,1\r\n"), nullptr));
    EXPECT_EQ(ReadAll(path), QByteArray("\x95\xE0\x8D\x73,1\r\n"));
    QString text, error;
    ASSERT_TRUE(ReadTextFile(path, &text, &error));
    EXPECT_EQ(text, QStringLiteral("歩行,1\r\n"));
    EXPECT_FALSE(ReadTextFile(dir.filePath("none.csv"), &text, &error));
}

}  // namespace
}  // namespace orvane
