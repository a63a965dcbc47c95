#include "file_helpers.h"
#include "textfile/file_io.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

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

// Outside files: a FIFO must not hang the reader, devices and huge files must not be read at all.
TEST(TextFile, ReadersRefuseWhatIsNotARegularFileOrTooLargeBeforeReading)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.csv");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    auto reading = std::async(std::launch::async, [&] {
        QString text, error;
        const bool ok = ReadTextFile(fifo, &text, &error);
        return std::make_pair(ok, error);
    });
    if (reading.wait_for(std::chrono::seconds(3)) != std::future_status::ready) {
        // Unblock the hung reader so that the test can end.
        const int w = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        ::close(w);
        ADD_FAILURE() << "reading a FIFO hung";
    }
    const auto [fifoOk, fifoError] = reading.get();
    EXPECT_FALSE(fifoOk);
    EXPECT_TRUE(fifoError.contains(fifo)) << fifoError.toStdString();

    QByteArray data = "kept";
    bool missing = true;
    QString error;
    EXPECT_FALSE(ReadFileBytes("/dev/zero", &data, &missing, &error));
    EXPECT_TRUE(error.contains("/dev/zero")) << error.toStdString();
    EXPECT_TRUE(data.isEmpty());
    EXPECT_FALSE(missing);
    EXPECT_FALSE(ReadFileBytes(dir.path(), &data, &missing, &error));

    // A sparse file just above the limit costs no disk space.
    const QString huge = dir.filePath("huge.csv");
    const int fd = ::open(QFile::encodeName(huge).constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, kMaxReadFileBytes + 1), 0);
    ::close(fd);
    error.clear();
    EXPECT_FALSE(ReadFileBytes(huge, &data, &missing, &error));
    EXPECT_TRUE(error.contains(huge)) << error.toStdString();
    EXPECT_TRUE(data.isEmpty());
}

}  // namespace
}  // namespace orvane
