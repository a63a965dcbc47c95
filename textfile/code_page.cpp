#include "textfile/code_page.h"

#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace orvane {

namespace {

// Converts the whole input or reports failure.
std::optional<QByteArray> Convert(const char *to, const char *from, const QByteArray &in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;

    QByteArray out;
    out.resize(in.size() * 2 + 16);
    char *inPtr = const_cast<char *>(in.constData());
    size_t inLeft = size_t(in.size());
    size_t used = 0;
    bool ok = true;
    while (inLeft > 0) {
        char *outPtr = out.data() + used;
        size_t outLeft = size_t(out.size()) - used;
        const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        used = size_t(out.size()) - outLeft;
        if (rc != size_t(-1)) {
            // A positive count means characters were converted irreversibly.
            if (rc > 0) {
                ok = false;
                break;
            }
            continue;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.truncate(qsizetype(used));
    return out;
}

bool IsAscii(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// The round trip through the reader catches characters CP932 maps only one way
// (U+00AC and U+FFE2 share a code) and CP932 bytes that happen to form valid
// UTF-8 (half-width kana), which the reader would take as UTF-8.
std::optional<QByteArray> FaithfulCp932(const QString &text)
{
    std::optional<QByteArray> cp932 = ToCp932(text);
    if (cp932 && DecodeText(*cp932) != text)
        cp932.reset();
    return cp932;
}

}  // namespace

bool IsValidUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0)
                lo = 0xA0;  // overlong
            if (c == 0xED)
                hi = 0x9F;  // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0)
                lo = 0x90;  // overlong
            if (c == 0xF4)
                hi = 0x8F;  // above U+10FFFF
        } else {
            return false;
        }
        if (i + extra >= n)
            return false;
        if (p[i + 1] < lo || p[i + 1] > hi)
            return false;
        for (int k = 2; k <= extra; ++k) {
            if (p[i + k] < 0x80 || p[i + k] > 0xBF)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

std::optional<QByteArray> ToCp932(const QString &text) { return Convert("CP932", "UTF-8", text.toUtf8()); }

QString FromCp932(const QByteArray &bytes)
{
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes);
    // Straight into UTF-16: a CP932 character is one or two bytes and becomes one UTF-16 unit (a byte
    // CP932 does not define becomes one U+FFFD), so the text takes at most two bytes per file byte
    // and no copy stands between.
    iconv_t cd = iconv_open(Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "UTF-16LE" : "UTF-16BE", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString();
    QString text;
    text.resize(bytes.size() + 1);
    char *inPtr = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    qsizetype used = 0;  // UTF-16 units
    bool ok = true;
    while (inLeft > 0) {
        char *outPtr = reinterpret_cast<char *>(text.data() + used);
        size_t outLeft = size_t(text.size() - used) * sizeof(char16_t);
        const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        used = text.size() - qsizetype(outLeft / sizeof(char16_t));
        if (rc != size_t(-1)) {
            ok = rc == 0;
            break;
        }
        if (errno == E2BIG) {
            text.resize(text.size() * 2);
        } else if (errno == EILSEQ || errno == EINVAL) {
            if (used >= text.size())
                text.resize(text.size() * 2);
            text[used++] = QChar(QChar::ReplacementCharacter);
            ++inPtr;
            --inLeft;
        } else {
            ok = false;
            break;
        }
    }
    iconv_close(cd);
    if (!ok)
        return QString();
    text.truncate(used);
    return text;
}

TextEncoding ChooseEncoding(const QString &text)
{
    return FaithfulCp932(text) ? TextEncoding::Cp932 : TextEncoding::Utf8;
}

QByteArray EncodeText(const QString &text)
{
    std::optional<QByteArray> cp932 = FaithfulCp932(text);
    if (cp932)
        return std::move(*cp932);
    // The reader drops a byte order mark at the start, so a text that begins with U+FEFF keeps that
    // character only behind a mark of its own.
    if (text.startsWith(QChar(0xFEFF)))
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    return text.toUtf8();
}

QString DecodeText(const QByteArray &bytes)
{
    if (IsValidUtf8(bytes)) {
        // One initial mark is dropped; whatever follows, a second mark included, is text.
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        return utf8.decode(QByteArrayView(bytes).sliced(bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0));
    }
    return FromCp932(bytes);
}

}  // namespace orvane
