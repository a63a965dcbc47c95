#pragma once

#include "textfile/comma_rule.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace orvane {

// The lines of a text file's bytes under the code page rule, the same lines TextLineReader gives over
// DecodeText(bytes), but decoded a block of lines at a time: a large file costs its bytes and one block
// of text, never the bytes and the whole text (twice their size) at once. A line's view stays valid
// until the next call of Next() or Rewind().
// How many lines `lines` (a TextLineReader or a FileLineReader) holds, counted no further than `most`, so
// that a file of millions of lines costs no more than one of `most`; the reader is back at its first line.
template <typename Lines>
int CountLines(Lines &lines, int most)
{
    QStringView line;
    int count = 0;
    while (count < most && lines.Next(&line))
        ++count;
    lines.Rewind();
    return count;
}

class FileLineReader {
public:
    // Blocks end after a line end, so that no line and no character is cut; one line longer than this
    // is decoded whole.
    static constexpr qsizetype kBlockBytes = 1 << 20;

    explicit FileLineReader(QByteArray bytes, qsizetype blockBytes = kBlockBytes);
    bool Next(QStringView *line);
    // Back to the first line.
    void Rewind();

private:
    bool DecodeBlock();

    QByteArray bytes_;
    qsizetype blockBytes_;
    bool utf8_ = false;
    qsizetype start_ = 0;  // past a byte order mark
    qsizetype next_ = 0;   // the first byte not decoded yet
    QString block_;
    TextLineReader lines_{QStringView()};
};

}  // namespace orvane
