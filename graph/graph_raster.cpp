#include "graph/graph_raster.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace orvane::graph {

namespace {

constexpr int kStripWidth = 2048;
constexpr int kGlyphPad = 2;
// The widest row number drawn, "9999999", and the ink a glyph may have past its cell.
constexpr int kTextReach = 7 * 32 + kGlyphPad;

}  // namespace

QList<QRgb> ChartColors(const std::array<QRgb, kChannelCount> &channels)
{
    QList<QRgb> colors(kChannelBase + kChannelCount, qRgb(0, 0, 0));
    colors[kWhiteIndex] = qRgb(255, 255, 255);
    for (int k = 0; k < kShades; ++k) {
        const int level = 128 * k / (kShades - 1);
        colors[kShadeBase + k] = qRgb(level, level, level);
    }
    for (int ch = 0; ch < kChannelCount; ++ch)
        colors[kChannelBase + ch] = channels[size_t(ch)];
    return colors;
}

// Writes straight into the 8-bit picture: QPainter's rasteriser gives up on coordinates past 32767, and
// a long motion's chart is far wider than that. Every shape is a whole-pixel, one-pixel-wide one. Works in
// chart pixels: the picture's column 0 is chart x `origin`. Drawing is clipped to a strip of columns
// [left, right), so that a wide picture is drawn a cache-sized strip at a time.
class ChartRaster::Canvas {
public:
    Canvas(QImage &image, int origin, int left, int right)
        : bits_(image.bits()), stride_(image.bytesPerLine()), origin_(origin), left_(std::max(left, origin)),
          right_(std::min(right, origin + image.width())), height_(image.height())
    {}

    int Left() const { return left_; }
    int Right() const { return right_; }
    bool Inside(int x, int y) const { return x >= left_ && x < right_ && y >= 0 && y < height_; }
    uchar At(int x, int y) const { return *Address(x, y); }

    void Put(int x, int y, uchar c)
    {
        if (Inside(x, y))
            *Address(x, y) = c;
    }

    // [x0, x1) on row y
    void HLine(int x0, int x1, int y, uchar c)
    {
        if (y < 0 || y >= height_)
            return;
        x0 = std::max(x0, left_);
        x1 = std::min(x1, right_);
        if (x0 < x1)
            std::memset(Address(x0, y), c, size_t(x1 - x0));
    }

    // [y0, y1) in column x
    void VLine(int x, int y0, int y1, uchar c)
    {
        if (x < left_ || x >= right_)
            return;
        y0 = std::max(y0, 0);
        y1 = std::min(y1, height_);
        for (int y = y0; y < y1; ++y)
            *Address(x, y) = c;
    }

    void FillRect(const QRect &r, uchar c)
    {
        for (int y = r.top(); y <= r.bottom(); ++y)
            HLine(r.left(), r.right() + 1, y, c);
    }

    // Outline of r (right() and bottom() are its last pixels).
    void Frame(const QRect &r, uchar c)
    {
        HLine(r.left(), r.right() + 1, r.top(), c);
        HLine(r.left(), r.right() + 1, r.bottom(), c);
        VLine(r.left(), r.top(), r.bottom() + 1, c);
        VLine(r.right(), r.top(), r.bottom() + 1, c);
    }

    // A 5 x 5 outline around p, black inside.
    void Square(QPoint p, uchar c)
    {
        const int x = p.x() - 2;
        const int y = p.y() - 2;
        if (!Inside(x, y) || !Inside(x + 4, y + 4)) {
            FillRect(QRect(x + 1, y + 1, 3, 3), kBlackIndex);
            Frame(QRect(x, y, 5, 5), c);
            return;
        }
        uchar *row = Address(x, y);
        std::memset(row, c, 5);
        for (int i = 1; i < 4; ++i) {
            row += stride_;
            row[0] = c;
            row[1] = row[2] = row[3] = kBlackIndex;
            row[4] = c;
        }
        std::memset(row + stride_, c, 5);
    }

    // From a up to, not including, b; dotted draws two pixels of every four.
    void Line(QPoint a, QPoint b, uchar c, bool dotted)
    {
        if (!dotted && a.y() == b.y()) {  // the centre line runs through every strip
            HLine(std::min(a.x(), b.x() + 1), std::max(a.x() + 1, b.x()), a.y(), c);
            return;
        }
        if (!dotted && a.x() == b.x()) {
            VLine(a.x(), std::min(a.y(), b.y() + 1), std::max(a.y() + 1, b.y()), c);
            return;
        }
        const int dx = std::abs(b.x() - a.x());
        const int dy = std::abs(b.y() - a.y());
        const bool xMajor = dx >= dy;
        const int major = xMajor ? dx : dy;
        const int minor = xMajor ? dy : dx;
        const int sx = b.x() >= a.x() ? 1 : -1;
        const int sy = b.y() >= a.y() ? 1 : -1;
        int error = major / 2;
        if (Inside(a.x(), a.y()) && Inside(b.x(), b.y())) {
            const qsizetype stepMajor = xMajor ? sx : sy * stride_;
            const qsizetype stepMinor = xMajor ? sy * stride_ : sx;
            uchar *at = Address(a.x(), a.y());
            for (int i = 0; i < major; ++i) {
                if (!dotted || (i & 3) < 2)
                    *at = c;
                at += stepMajor;
                error -= minor;
                if (error < 0) {
                    error += major;
                    at += stepMinor;
                }
            }
            return;
        }
        int x = a.x();
        int y = a.y();
        for (int i = 0; i < major; ++i) {
            if (!dotted || (i & 3) < 2)
                Put(x, y, c);
            (xMajor ? x : y) += xMajor ? sx : sy;
            error -= minor;
            if (error < 0) {
                error += major;
                (xMajor ? y : x) += xMajor ? sy : sx;
            }
        }
    }

private:
    uchar *Address(int x, int y) const { return bits_ + qsizetype(y) * stride_ + (x - origin_); }

    uchar *bits_;
    qsizetype stride_;
    int origin_;
    int left_;
    int right_;
    int height_;
};

// Row numbers are put together from pictures of the ten digits, drawn once with the given font.
ChartRaster::ChartRaster(const QFont &font)
{
    const QFontMetrics metrics(font);
    lineHeight_ = metrics.height();
    for (int d = 0; d < 10; ++d) {
        const QString digit(QChar(u'0' + d));
        Glyph &g = glyphs_[size_t(d)];
        g.advance = metrics.horizontalAdvance(digit);
        const int width = g.advance + 2 * kGlyphPad;
        QImage image(width, lineHeight_, QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter painter(&image);
            painter.setFont(font);
            painter.setPen(Qt::white);
            painter.drawText(kGlyphPad, metrics.ascent(), digit);
        }
        for (int y = 0; y < lineHeight_; ++y) {
            for (int x = 0; x < width; ++x) {
                const int shade = (qGreen(image.pixel(x, y)) * (kShades - 1) + 127) / 255;
                if (shade > 0)
                    g.ink.push_back({x - kGlyphPad, y, uchar(shade)});
            }
        }
    }
}

void ChartRaster::Draw(QImage &image, int origin, const ChartLayout &chart,
                       const std::array<bool, kChannelCount> &drawn) const
{
    for (int left = origin; left < origin + image.width(); left += kStripWidth) {
        Canvas canvas(image, origin, left, left + kStripWidth);
        DrawStrip(canvas, chart, drawn);
    }
}

void ChartRaster::DrawStrip(Canvas &canvas, const ChartLayout &chart,
                            const std::array<bool, kChannelCount> &drawn) const
{
    canvas.FillRect(QRect(canvas.Left(), 0, canvas.Right() - canvas.Left(), kPictureHeight), kBlackIndex);
    canvas.Frame(chart.frame, kWhiteIndex);
    const auto line = [&](const QLine &l) { canvas.Line(l.p1(), l.p2(), kGreyIndex, false); };
    line(chart.rowAxis);
    line(chart.centreLine);
    auto tick = std::lower_bound(chart.ticks.begin(), chart.ticks.end(), canvas.Left() - kTextReach,
                                 [](const Tick &t, int x) { return t.line.x1() < x; });
    for (; tick != chart.ticks.end() && tick->textAt.x() - kGlyphPad < canvas.Right(); ++tick) {
        line(tick->line);
        Text(canvas, tick->textAt, tick->text);
    }
    for (int ch = 0; ch < kChannelCount; ++ch) {
        if (!drawn[size_t(ch)])
            continue;
        const uchar c = uchar(kChannelBase + ch);
        const std::vector<Segment> &curve = chart.curves[size_t(ch)];
        // Rows go left to right, so the segments touching the strip are one run.
        auto s = std::lower_bound(curve.begin(), curve.end(), canvas.Left(),
                                  [](const Segment &seg, int x) { return seg.to.x() + 2 < x; });
        for (; s != curve.end() && s->from.x() - 2 < canvas.Right(); ++s) {
            canvas.Square(s->from, c);
            // The next segment squares this end again right after the line, over the same pixels.
            if (s + 1 == curve.end() || (s + 1)->from != s->to)
                canvas.Square(s->to, c);
            canvas.Line(s->from, s->to, c, s->dotted);
        }
    }
}

// Grey on a black cell; where two digits' ink overlaps the brighter shade stays.
void ChartRaster::Text(Canvas &canvas, QPoint at, const QString &text) const
{
    int cellWidth = 0;
    for (QChar ch : text)
        cellWidth += glyphs_[size_t(ch.unicode() - u'0')].advance;
    canvas.FillRect(QRect(at.x(), at.y(), cellWidth, lineHeight_), kBlackIndex);
    int penX = at.x();
    for (QChar ch : text) {
        const Glyph &g = glyphs_[size_t(ch.unicode() - u'0')];
        for (const Ink &ink : g.ink) {
            const int x = penX + ink.x;
            const int y = at.y() + ink.y;
            if (!canvas.Inside(x, y))
                continue;
            const uchar old = canvas.At(x, y);
            const int oldShade = old >= kShadeBase && old <= kGreyIndex ? old - kShadeBase : 0;
            if (ink.shade > oldShade)
                canvas.Put(x, y, uchar(kShadeBase + ink.shade));
        }
        penX += g.advance;
    }
}

}  // namespace orvane::graph
