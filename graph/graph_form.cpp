#include "graph/graph_form.h"

#include "graph/graph_geometry.h"
#include "graph/graph_messages.h"
#include "graph/graph_raster.h"
#include "motion/motion_data.h"
#include "session/colors.h"
#include "session/window_place.h"
#include "widgets/color_btn.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWindow>

#include <algorithm>
#include <vector>

Q_LOGGING_CATEGORY(lcGraph, "orvane.graph")

using namespace orvane;

namespace {

constexpr int kBarHeight = 22;
constexpr int kButtonWidth = 22;
constexpr int kMinOuterWidth = 100;

QRgb ToRgb(uint32_t bgr) { return ToQColor(bgr).rgb(); }

}  // namespace

TGraphImage::TGraphImage(TGraphForm *form, QWidget *parent) : QWidget(parent), form_(form)
{
    setObjectName(QStringLiteral("Image1"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGraphImage::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    form_->PaintView(painter, event->rect() & rect());
}

void TGraphImage::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    form_->Image1MouseMove(at.x() + form_->ViewLeft(), at.y());
}

void TGraphImage::mousePressEvent(QMouseEvent *event)
{
    // A press without a move before it (a touch, a test) still clicks where it happened.
    const QPoint at = event->position().toPoint();
    form_->Image1MouseMove(at.x() + form_->ViewLeft(), at.y());
    pressed_ = event->button() == Qt::LeftButton;
}

void TGraphImage::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        form_->Image1Click();
}

TGraphForm::TGraphForm(QWidget *parent, const MotionData &motion, MainOperations &main, const GraphPlacement &placement)
    : QWidget(parent, Qt::Window), motion_(motion), main_(main)
{
    setObjectName(QStringLiteral("GraphForm"));
    setWindowTitle(GraphText(GraphTitle));

    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    // "24" must fit inside the colour button's frame, edge and margins (8 pixels) without the bar
    // outgrowing the default width; a wide font is made smaller for the captions.
    QFont caption = bold;
    while (QFontMetrics(caption).horizontalAdvance(QStringLiteral("24")) + 8 > kButtonWidth && caption.pointSizeF() > 6)
        caption.setPointSizeF(caption.pointSizeF() - 0.5);
    for (int n = 1; n <= kChannelCount; ++n) {
        auto *button = new TColorBtn(QString::number(n), this);
        button->setObjectName(QStringLiteral("ENABLE%1_BTN").arg(n));
        button->setProperty("tag", n);
        button->setFont(caption);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(1 + (n - 1) * kButtonWidth, 1, kButtonWidth, kBarHeight - 2);
        button->SetColor(Qt::black);
        button->SetFontColor(Qt::white);
        connect(button, &QPushButton::clicked, this, [this, button] { ENABLE1_BTNClick(button); });
        ENABLE_BTN[n] = button;
    }

    const auto field = [&](const QString &name, const QString &text, int left, int width) {
        auto *edit = new QLineEdit(text, this);
        edit->setObjectName(name);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setFont(bold);
        QPalette p = edit->palette();
        p.setColor(QPalette::Base, Qt::black);
        p.setColor(QPalette::Text, QColor(0, 255, 0));
        edit->setPalette(p);
        edit->setGeometry(left, 1, width, kBarHeight - 2);
        return edit;
    };
    const int numLeft = 1 + kChannelCount * kButtonWidth + 4;
    const int numWidth = boldMetrics.horizontalAdvance(QStringLiteral("00000")) + 10;
    const int labelWidth = boldMetrics.horizontalAdvance(GraphText(GraphNoRowName)) + 10;
    DATA_NUM = field(QStringLiteral("DATA_NUM"), GraphText(GraphNoRowNumber), numLeft, numWidth);
    DATA_LABEL = field(QStringLiteral("DATA_LABEL"), GraphText(GraphNoRowName), numLeft + numWidth + 2, labelWidth);

    // The chart may be wider than any widget can be: the box scrolls a view of it by its own bar.
    ScrollBox1 = new QAbstractScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette black = ScrollBox1->palette();
    black.setColor(QPalette::Window, Qt::black);
    ScrollBox1->setPalette(black);
    ScrollBox1->setAutoFillBackground(true);
    ScrollBox1->viewport()->setPalette(black);
    ScrollBox1->viewport()->setAutoFillBackground(true);
    ScrollBox1->horizontalScrollBar()->setSingleStep(20);
    Image1 = new TGraphImage(this, ScrollBox1->viewport());
    connect(ScrollBox1->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { Scrolled(); });

    raster_ = std::make_unique<graph::ChartRaster>(font());
    FollowMotion();

    RestorePlacement(placement);
    shown_.fill(false);
    created_ = true;
    Redraw(0);
}

TGraphForm::~TGraphForm() = default;

uint32_t TGraphForm::ChannelColor(int channel) const
{
    return ResolveColor(main_.PanelColor(channel), PaletteSystemColors());
}

// The index follows every change of the rows as it happens; a reset or a load rebuilds it when next needed.
void TGraphForm::FollowMotion()
{
    const auto stale = [this] { indexStale_ = true; };
    connect(&motion_, &QAbstractItemModel::modelReset, this, stale);
    connect(&motion_, &QAbstractItemModel::layoutChanged, this, stale);
    connect(&motion_, &QAbstractItemModel::rowsMoved, this, stale);
    connect(&motion_, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
        if (!indexStale_)
            index_.Inserted(motion_.Rows(), first, last);
    });
    connect(&motion_, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex &, int first, int last) {
        if (!indexStale_)
            index_.Removed(motion_.Rows(), first, last);
    });
    connect(&motion_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                // Numbers and names place nothing.
                if (!indexStale_ && bottomRight.column() >= kSpeedColumn)
                    index_.Changed(motion_.Rows(), topLeft.row(), bottomRight.row());
            });
}

graph::RowIndex &TGraphForm::Index() const
{
    if (indexStale_ || index_.size() != motion_.Count()) {
        index_.Rebuild(motion_.Rows());
        indexStale_ = false;
    }
    return index_;
}

void TGraphForm::Redraw(int rowCount)
{
    drawn_ = {};
    std::array<QRgb, kChannelCount> channels{};
    for (int n = 1; n <= kChannelCount; ++n) {
        const uint32_t color = ChannelColor(n);
        channels[size_t(n - 1)] = ToRgb(color);
        drawn_[size_t(n - 1)] = shown_[n] && color != kBlack;
    }
    colors_ = graph::ChartColors(channels);
    rowCount_ = std::clamp(rowCount, 0, motion_.Count());
    const int lastX = rowCount_ > 0 ? Index().XOfRow(motion_.Rows(), rowCount_ - 1) : graph::kFirstRowX;
    chartWidth_ = graph::PictureWidth(lastX, ScrollBox1->width());

    // The box has no frame and no upright bar: its view is as wide as the box.
    const int view = std::max(ScrollBox1->width(), 1);
    QScrollBar *bar = ScrollBox1->horizontalScrollBar();
    bar->setPageStep(view);
    Image1->setGeometry(0, 0, std::min(chartWidth_, view), kChartHeight);
    redrawing_ = true;  // drawn once below, wherever the bar ends up
    bar->setRange(0, std::max(chartWidth_ - view, 0));
    redrawing_ = false;
    DrawAroundView();
}

int TGraphForm::ViewLeft() const { return ScrollBox1->horizontalScrollBar()->value(); }

// Scrolling within the part held only repaints; beyond it the part is drawn anew around the view.
void TGraphForm::Scrolled()
{
    if (redrawing_)
        return;
    const int left = ViewLeft();
    if (left < partLeft_ || left + Image1->width() > partLeft_ + part_.width())
        DrawAroundView();
    else
        Image1->update();
}

void TGraphForm::DrawAroundView()
{
    // A margin of half a view each side lets short scrolls go without drawing.
    const int view = std::max(Image1->width(), 1);
    const int margin = std::max(view / 2, 256);
    const int left = std::max(ViewLeft() - margin, 0);
    const int right = std::min(ViewLeft() + view + margin, chartWidth_);
    const int width = std::max(right - left, 1);
    if (part_.width() != width || part_.height() != kChartHeight)
        part_ = QImage(width, kChartHeight, QImage::Format_Indexed8);
    partLeft_ = left;
    if (part_.isNull()) {
        qCWarning(lcGraph, "no memory for a chart part of %d x %d pixels", width, kChartHeight);
        Image1->update();
        return;
    }
    DrawPart(part_, left, left + width);
    Image1->update();
}

void TGraphForm::DrawPart(QImage &image, int left, int right) const
{
    const graph::ChartLayout chart =
        graph::LayoutChartPart(motion_.Rows(), Index(), rowCount_, drawn_, ScrollBox1->width(), left, right);
    image.setColorTable(colors_);
    raster_->Draw(image, left, chart, drawn_);
}

void TGraphForm::PaintView(QPainter &painter, const QRect &rect) const
{
    if (rect.isEmpty())
        return;
    painter.fillRect(rect, Qt::black);
    // The view in chart pixels, cut to the part held.
    const QRect wanted = rect.translated(ViewLeft() - partLeft_, 0) & QRect(QPoint(0, 0), part_.size());
    if (wanted.isEmpty())
        return;
    // Read in place: no copy of the part.
    QImage shown(part_.constBits() + qsizetype(wanted.y()) * part_.bytesPerLine() + wanted.x(), wanted.width(),
                 wanted.height(), part_.bytesPerLine(), QImage::Format_Indexed8);
    shown.setColorTable(part_.colorTable());
    painter.drawImage(wanted.topLeft() - QPoint(ViewLeft() - partLeft_, 0), shown);
}

QImage TGraphForm::Picture() const
{
    QImage whole(std::max(chartWidth_, 1), kChartHeight, QImage::Format_Indexed8);
    if (whole.isNull())
        return whole;
    DrawPart(whole, 0, whole.width());
    return whole;
}

size_t TGraphForm::ChartBytes() const { return size_t(part_.sizeInBytes()) + index_.MemoryBytes(); }

void TGraphForm::ChannelLookChanged(int channel, const QString &, uint32_t panelColor, uint32_t textColor)
{
    if (channel < 1 || channel > kChannelCount || !shown_[channel])
        return;
    const SystemColors system = PaletteSystemColors();
    ENABLE_BTN[channel]->SetColor(ToQColor(ResolveColor(panelColor, system)));
    ENABLE_BTN[channel]->SetFontColor(ToQColor(ResolveColor(textColor, system)));
    Redraw(motion_.Count());
}

void TGraphForm::ENABLE1_BTNClick(QObject *sender)
{
    const int n = sender ? sender->property("tag").toInt() : 0;
    if (n < 1 || n > kChannelCount)
        return;
    shown_[n] = !shown_[n];
    const uint32_t color = shown_[n] ? ChannelColor(n) : kBlack;
    ENABLE_BTN[n]->SetColor(ToQColor(color));
    ENABLE_BTN[n]->SetFontColor(ToQColor(ContrastColor(color)));
    Redraw(motion_.Count());
}

void TGraphForm::Image1MouseMove(int x, int y)
{
    mouseX_ = x;
    mouseY_ = y;
}

void TGraphForm::Image1Click()
{
    if (motion_.Count() == 0)
        return;
    DATA_LABEL->setText(GraphText(GraphNoRowName));
    DATA_NUM->setText(GraphText(GraphNoRowNumber));
    // Rows lie further right one after another: the first whose reach ends at or past the mouse is the
    // only one that can hold it.
    const graph::RowIndex &index = Index();
    const int row = index.FirstRowFrom(motion_.Rows(), mouseX_ - 3);
    if (row >= motion_.Count() || index.XOfRow(motion_.Rows(), row) - 2 > mouseX_)
        return;
    DATA_LABEL->setText(motion_.Field(row, kNameColumn));
    DATA_NUM->setText(QString::number(row + 1));
}

GraphPlacement TGraphForm::Placement() const
{
    const QRect outer = frameGeometry();
    return {isVisible(), outer.top(), outer.left(), outer.width()};
}

void TGraphForm::RestorePlacement(const GraphPlacement &placement)
{
    outerWidth_ = std::max(placement.width, kMinOuterWidth);
    resize(outerWidth_, kOuterHeight);
    KeepOuterSize();
    LayoutControls();

    if (SavedPlaceOnScreen(placement.top, placement.left)) {
        move(placement.left, placement.top);
        if (placement.view)
            show();
    } else {
        move(CentredOnScreen(QSize(outerWidth_, kOuterHeight)));
    }
}

// Outer height 277 whatever the frame; the outer width is the saved one once the frame is known.
void TGraphForm::KeepOuterSize()
{
    const QMargins m = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const int client = kOuterHeight - m.top() - m.bottom();
    if (minimumHeight() != client || maximumHeight() != client)
        setFixedHeight(client);
    if (!widthSettled_ && isVisible() && !m.isNull()) {
        widthSettled_ = true;
        resize(outerWidth_ - m.left() - m.right(), client);
    }
}

void TGraphForm::LayoutControls() { ScrollBox1->setGeometry(0, kBarHeight, width(), height() - kBarHeight); }

void TGraphForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    KeepOuterSize();
    LayoutControls();
    if (created_)
        Redraw(motion_.Count());
}

void TGraphForm::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    KeepOuterSize();
}

void TGraphForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    KeepOuterSize();
}
