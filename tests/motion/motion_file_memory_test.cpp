// Reading a motion file costs a bounded multiple of the file, whatever it holds: lines are taken one
// at a time, and a refused file stops at its fault.
#include "bounded_reads.h"
#include "motion/motion_file.h"

#include <QTemporaryDir>

namespace {

const QByteArray kHeader = "NO,DATA_NAME,SPEED,CH1,CH2,CH3,CH4,CH5,CH6,CH7,CH8,CH9,CH10,CH11,CH12,CH13,CH14,CH15,"
                           "CH16,CH17,CH18,CH19,CH20,CH21,CH22,CH23,CH24\r\n";

TEST(MotionFileMemory, AnyFileCostsUnderFourTimesItsSizePlusFiftyMegabytes)
{
    SKIP_WITHOUT_MEMORY_FIGURES();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    constexpr qint64 MB = 1 << 20;
    // The shortest row there is, with every channel at the home position.
    const QByteArray shortRow = ",,0" + QByteArray(",0").repeated(24) + "\n";
    const QByteArray kanaRow =
        "1,\xB1\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA,7" + QByteArray(",-90").repeated(24) + "\r\n";
    ExpectBoundedReads(dir.path(),
                       {
                           {"line feeds only", "", "\n", 32 * MB, false},
                           {"one line without an end", "", "x", 32 * MB, false},
                           {"a header, then line feeds", kHeader, "\n", 32 * MB, false},
                           {"a row whose name is doubled quotes", kHeader + "1,\"", "\"\"", 32 * MB, false},
                           {"100,000 short rows", kHeader, shortRow, 100'000 * shortRow.size(), true},
                           {"rows named in half-width kana", kHeader, kanaRow, 8 * MB, true},
                       },
                       [](const QString &path) {
                           orvane::HomePositions home;
                           home.fill(90);
                           return orvane::LoadMotionFile(path, home).ok();
                       });
}

}  // namespace
