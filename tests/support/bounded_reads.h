#pragma once
// Readers' memory under files of many shapes, for the file format suites.

#include "peak_memory.h"

#include <gtest/gtest.h>

// A sanitizer's shadow memory and quarantine make the figures meaningless.
#define SKIP_WITHOUT_MEMORY_FIGURES()                                                                                  \
    if (!ORVANE_MEMORY_IS_MEASURED)                                                                                    \
    GTEST_SKIP() << "a sanitizer build's memory says nothing about the program's own"

struct FileShape {
    const char *what;
    QByteArray head;  // written once
    QByteArray line;  // then repeated up to the size
    qint64 bytes;
    bool loads;             // whether the reader takes the file
    bool numbered = false;  // each line gets a number of its own before its last character
};

// Writes each shape, lets `load` read it (true when the reader took it) and expects the peak under
// the bound and the reader's verdict as the shape says.
inline void ExpectBoundedReads(const QString &folder, const std::vector<FileShape> &shapes,
                               const std::function<bool(const QString &)> &load)
{
    for (const FileShape &shape : shapes) {
        const QString path = folder + QStringLiteral("/shape.csv");
        ASSERT_TRUE(shape.numbered ? WriteNumbered(path, shape.head, shape.line, shape.bytes)
                                   : WriteRepeated(path, shape.head, shape.line, shape.bytes))
            << shape.what;
        const qint64 size = QFile(path).size();
        const long long growth = PeakGrowthBytes([&] { return load(path) == shape.loads; });
        EXPECT_NE(growth, -2) << shape.what << (shape.loads ? ": refused" : ": taken");
        EXPECT_GE(growth, 0) << shape.what;
        EXPECT_LT(growth, ReaderMemoryBound(size))
            << shape.what << ": " << growth / 1048576 << " MB for a file of " << size / 1048576 << " MB";
        QFile::remove(path);
    }
}
