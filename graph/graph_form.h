#pragma once
// The graph window: the motion data as a chart, one curve per channel the user switched on.
// Created once, hidden, at start; the motion editor and the main window ask it to redraw.

#include "graph/graph_geometry.h"
#include "protocol/board_facts.h"
#include "session/main_operations.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class QAbstractScrollArea;
class QLineEdit;
class QPainter;
class TColorBtn;
class TGraphImage;
namespace orvane {
class MotionData;
namespace graph {
class ChartRaster;
}  // namespace graph
}  // namespace orvane

// The Graph keys of ORV.ini: what the window restores at creation and what SaveSettings writes back.
struct GraphPlacement {
    bool view = false;
    int top = -1;
    int left = -1;
    int width = 700;  // outer width
};

class TGraphForm : public QWidget, public ChannelLookListener {
    Q_OBJECT
public:
    static constexpr int kOuterHeight = 277;
    static constexpr int kChartHeight = 200;

    // Reads the motion data and the channels' panel colours; never changes either. Shows itself when the
    // placement says so. The main window registers it as a channel look listener.
    TGraphForm(QWidget *parent, const orvane::MotionData &motion, MainOperations &main,
               const GraphPlacement &placement);
    ~TGraphForm() override;

    // Rebuilds the chart from the first rowCount rows (held to the rows present) and shows it in one step.
    void Redraw(int rowCount);

    // A shown channel's button takes the pushed colours and the chart is redrawn; other channels only
    // change once they are switched on.
    void ChannelLookChanged(int channel, const QString &name, uint32_t panelColor, uint32_t textColor) override;

    // Shared by the 24 channel buttons; the sender's "tag" property is its channel.
    void ENABLE1_BTNClick(QObject *sender);
    // The chart remembers the last mouse position over it, in chart pixels; a click names the row under that x.
    void Image1MouseMove(int x, int y);
    void Image1Click();

    bool ChannelShown(int channel) const { return shown_[channel]; }
    // The whole chart as scrolling through it shows it: 200 pixels high, 8-bit indexed. Drawn on demand
    // and not kept; the window itself only ever holds the part in view and a margin.
    QImage Picture() const;
    // Chart width in pixels; the chart scrolls over it by ScrollBox1's bar.
    int ChartWidth() const { return chartWidth_; }
    // What the chart holds: the part in view with its margins, and the row index.
    size_t ChartBytes() const;
    // Visibility, top, left and outer width, for SaveSettings.
    GraphPlacement Placement() const;

    // Indexed by channel 1-24; entry 0 is unused.
    std::array<TColorBtn *, orvane::kChannelCount + 1> ENABLE_BTN{};
    QLineEdit *DATA_NUM = nullptr;
    QLineEdit *DATA_LABEL = nullptr;
    QAbstractScrollArea *ScrollBox1 = nullptr;
    TGraphImage *Image1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    friend class TGraphImage;

    void FollowMotion();
    orvane::graph::RowIndex &Index() const;
    // Lays out and draws the chart's columns [left, right) into `image`, whose column 0 is chart x `left`.
    void DrawPart(QImage &image, int left, int right) const;
    // Draws the part around what is in view when the view left the part held.
    void Scrolled();
    void DrawAroundView();
    void PaintView(QPainter &painter, const QRect &rect) const;
    int ViewLeft() const;

    void RestorePlacement(const GraphPlacement &placement);
    void KeepOuterSize();
    void LayoutControls();
    uint32_t ChannelColor(int channel) const;  // 0x00BBGGRR, system colours resolved

    const orvane::MotionData &motion_;
    MainOperations &main_;
    std::unique_ptr<orvane::graph::ChartRaster> raster_;
    mutable orvane::graph::RowIndex index_;
    mutable bool indexStale_ = true;
    // What the last redraw drew: the rows, the channels drawn and the colour table.
    int rowCount_ = 0;
    int chartWidth_ = 0;
    std::array<bool, orvane::kChannelCount> drawn_{};
    QList<QRgb> colors_;
    QImage part_;  // chart columns [partLeft_, partLeft_ + width)
    int partLeft_ = 0;
    bool redrawing_ = false;
    std::array<bool, orvane::kChannelCount + 1> shown_{};
    int mouseX_ = 0;
    int mouseY_ = 0;
    int outerWidth_ = 0;  // wanted outer width, until the frame size is known
    bool widthSettled_ = false;
    bool created_ = false;
};

// Image1: shows the chart's part in view and reports the mouse to the form in chart pixels.
class TGraphImage : public QWidget {
public:
    TGraphImage(TGraphForm *form, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    TGraphForm *form_;
    bool pressed_ = false;
};
