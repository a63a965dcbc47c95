#pragma once
// Paints a laid-out chart (graph_geometry.h) into an 8-bit indexed picture: the black ground, the white
// frame, the grey lines, ticks and row numbers, and the curves. The graph window only shows what this
// paints. Needs Qt Gui (fonts and images) but no widgets.

#include "graph/graph_geometry.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QRgb>

#include <array>
#include <vector>

namespace orvane::graph {

// Colour indexes of the picture. Row numbers are antialiased in 16 shades from black to the grey of the
// lines; channel n (1 to 24) is index kChannelBase + n - 1.
constexpr uchar kBlackIndex = 0;
constexpr uchar kWhiteIndex = 1;
constexpr uchar kShadeBase = 2;
constexpr int kShades = 16;
constexpr uchar kGreyIndex = kShadeBase + kShades - 1;
constexpr uchar kChannelBase = kShadeBase + kShades;

// The colour table of a picture whose channels have these colours (channel 1 first).
QList<QRgb> ChartColors(const std::array<QRgb, kChannelCount> &channels);

class ChartRaster {
public:
    // Row numbers are drawn in `font`.
    explicit ChartRaster(const QFont &font);

    // Paints `chart` into `image` (Format_Indexed8, kPictureHeight high, its colour table set), whose column
    // 0 is chart x `origin`. Only channels that `drawn` names get their curves.
    void Draw(QImage &image, int origin, const ChartLayout &chart, const std::array<bool, kChannelCount> &drawn) const;

private:
    class Canvas;
    struct Ink {
        int x;
        int y;
        uchar shade;
    };
    struct Glyph {
        int advance = 0;
        std::vector<Ink> ink;
    };

    void DrawStrip(Canvas &canvas, const ChartLayout &chart, const std::array<bool, kChannelCount> &drawn) const;
    void Text(Canvas &canvas, QPoint at, const QString &text) const;

    std::array<Glyph, 10> glyphs_;
    int lineHeight_ = 0;
};

}  // namespace orvane::graph
