#include "textfile/file_lines.h"

#include "textfile/code_page.h"

#include <QStringDecoder>

#include <algorithm>

namespace orvane {

FileLineReader::FileLineReader(QByteArray bytes, qsizetype blockBytes)
    : bytes_(std::move(bytes)), blockBytes_(std::max<qsizetype>(blockBytes, 1))
{
    // The encoding is the whole file's: one block may look like valid UTF-8 in a CP932 file.
    utf8_ = IsValidUtf8(bytes_);
    if (utf8_ && bytes_.startsWith("\xEF\xBB\xBF"))
        start_ = 3;
    next_ = start_;
}

void FileLineReader::Rewind()
{
    next_ = start_;
    block_.clear();
    lines_ = TextLineReader(QStringView());
}

bool FileLineReader::Next(QStringView *line)
{
    while (!lines_.Next(line)) {
        if (!DecodeBlock())
            return false;
    }
    return true;
}

bool FileLineReader::DecodeBlock()
{
    const qsizetype n = bytes_.size();
    if (next_ >= n)
        return false;
    const char *p = bytes_.constData();
    // A cut right after LF, or after a CR that no LF follows: CR LF stays one line end. Neither byte
    // is ever part of a UTF-8 or CP932 character, so no character is split either.
    const auto cutAfter = [&](qsizetype i) { return p[i - 1] == '\n' || (p[i - 1] == '\r' && p[i] != '\n'); };
    qsizetype end = n;
    if (n - next_ > blockBytes_) {
        end = next_ + blockBytes_;
        while (end > next_ && !cutAfter(end))
            --end;
        if (end == next_) {
            end = next_ + blockBytes_;
            while (end < n && !cutAfter(end))
                ++end;
        }
    }
    const QByteArray piece = QByteArray::fromRawData(p + next_, end - next_);
    if (utf8_) {
        // A mark at the start of a later block is a character of its line and stays.
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        block_ = utf8.decode(piece);
    } else {
        block_ = FromCp932(piece);
    }
    next_ = end;
    lines_ = TextLineReader(block_);
    return true;
}

}  // namespace orvane
