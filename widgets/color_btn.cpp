#include "widgets/color_btn.h"

#include <QPainter>
#include <QStyle>

TColorBtn::TColorBtn(QWidget *parent) : TColorBtn(QString(), parent) {}

TColorBtn::TColorBtn(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent), color_(palette().color(QPalette::Button)),
      fontColor_(palette().color(QPalette::ButtonText))
{
    setFlat(true);
}

void TColorBtn::SetColor(const QColor &color)
{
    color_ = color;
    update();
}

void TColorBtn::SetFontColor(const QColor &color)
{
    fontColor_ = color;
    update();
}

void TColorBtn::SetFrame(bool on)
{
    frame_ = on;
    update();
}

void TColorBtn::SetFrameColor(const QColor &color)
{
    frameColor_ = color;
    update();
}

void TColorBtn::SetEdge(Edge edge)
{
    edge_ = edge;
    update();
}

void TColorBtn::SetCaptionAlignment(Qt::Alignment horizontal)
{
    alignment_ = horizontal & Qt::AlignHorizontal_Mask;
    update();
}

void TColorBtn::SetCaptionLine(CaptionLine lines)
{
    captionLine_ = lines;
    update();
}

QSize TColorBtn::sizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()) + 12, metrics.height() + 8).expandedTo(QSize(25, 25));
}

void TColorBtn::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect area = rect();
    painter.fillRect(area, isEnabled() ? color_ : color_.lighter(115));

    if (frame_) {
        painter.setPen(frameColor_);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        area.adjust(1, 1, -1, -1);
    }

    // A pressed or checked button shows the opposite edge, so the face colour alone tells its state.
    Edge edge = edge_;
    if (isDown() || isChecked())
        edge = edge == Edge::Raised ? Edge::Sunken : edge == Edge::Sunken ? Edge::Raised : Edge::None;
    if (edge != Edge::None) {
        const QColor light = color_.lighter(160);
        const QColor dark = color_.darker(180);
        const QColor &topLeft = edge == Edge::Raised ? light : dark;
        const QColor &bottomRight = edge == Edge::Raised ? dark : light;
        const QRect r = area.adjusted(0, 0, -1, -1);
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        area.adjust(1, 1, -1, -1);
    }

    QRect textArea = area.adjusted(2, 0, -2, 0);
    if (isDown())
        textArea.translate(1, 1);
    painter.setPen(isEnabled() ? fontColor_ : palette().color(QPalette::Disabled, QPalette::ButtonText));
    painter.setFont(font());
    if (captionLine_ == CaptionLine::Multi) {
        painter.drawText(textArea, int(alignment_ | Qt::AlignVCenter) | Qt::TextWordWrap, text());
    } else {
        const QString shown = painter.fontMetrics().elidedText(text(), Qt::ElideRight, textArea.width());
        painter.drawText(textArea, int(alignment_ | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
    }

    if (hasFocus()) {
        painter.setPen(QPen(fontColor_, 1, Qt::DotLine));
        painter.drawRect(area.adjusted(1, 1, -2, -2));
    }
}
