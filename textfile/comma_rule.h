#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace orvane {

// The one quoting and splitting rule of the program's CSV files (motion,
// scenario and control assignment files).
//
// Writing: a field holding a space, a control character (1 to 31), a comma or a
// double quote is enclosed in double quotes with every inner quote doubled;
// every other field, the empty one included, is written bare.
//
// Reading: spaces and control characters around a field are skipped; a field
// opening with a quote runs to the matching closing quote ("" inside is one
// quote; with no closing quote it runs to the end of the line); any other field
// runs up to the next comma, space or control character. So a space outside
// quotes also ends a field. Two commas give an empty field between them, and a
// comma with nothing but blanks after it gives one empty last field.

bool CommaFieldNeedsQuotes(QStringView field);

// Appends one field as the writer writes it (no separator).
void AppendCommaField(QString &line, QStringView field);

// The fields joined by commas, without a line end.
QString JoinCommaLine(const QStringList &fields);

// Reads the fields of one line (without its line end) one at a time, without
// a heap block per field: a field is a view into the line, or into the
// reader's own buffer when doubled quotes had to be undone. A view stays valid
// until the next call of Next().
class CommaLineReader {
public:
    explicit CommaLineReader(QStringView line);
    bool Next(QStringView *field);

private:
    const char16_t *p_;
    const char16_t *end_;
    bool pendingEmpty_ = false;  // a comma with only blanks after it
    QString buffer_;
};

// Splits one line (without its line end). With maxFields >= 0 the split stops
// after that many fields; callers that only need a prefix use it so that a
// hostile line costs no more memory than the fields they look at.
QStringList SplitCommaLine(QStringView line, qsizetype maxFields = -1);

// The lines of a whole file's text, one at a time: a line ends at CR LF, CR alone or LF alone; a
// last line without an ending counts, a final line ending adds no empty line. The views point into
// `text`. File readers take a line when they check it, so a file refused early costs nothing for
// the lines after the fault, however many there are.
class TextLineReader {
public:
    explicit TextLineReader(QStringView text) : text_(text) {}
    bool Next(QStringView *line);
    // Back to the first line.
    void Rewind() { pos_ = 0; }

private:
    QStringView text_;
    qsizetype pos_ = 0;
};

// At most `maxLines` lines of a text (all of them when negative), for texts whose line count is
// known to be small; readers of files use TextLineReader.
std::vector<QStringView> SplitTextLines(QStringView text, qsizetype maxLines = -1);

}  // namespace orvane
