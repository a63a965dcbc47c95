#pragma once
// TColorBtn: a flat button drawn by itself in any face colour, with an optional frame, a raised or sunken
// edge, and a caption aligned left, centred or right on one line or wrapped over several.

#include <QColor>
#include <QPushButton>

class TColorBtn : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QColor color READ Color WRITE SetColor)
    Q_PROPERTY(QColor fontColor READ FontColor WRITE SetFontColor)
    Q_PROPERTY(bool frame READ Frame WRITE SetFrame)
    Q_PROPERTY(QColor frameColor READ FrameColor WRITE SetFrameColor)
    Q_PROPERTY(Edge edge READ EdgeStyle WRITE SetEdge)
    Q_PROPERTY(Qt::Alignment captionAlignment READ CaptionAlignment WRITE SetCaptionAlignment)
    Q_PROPERTY(CaptionLine captionLine READ CaptionLines WRITE SetCaptionLine)
public:
    enum class Edge { None, Raised, Sunken };
    Q_ENUM(Edge)
    // Single: one line, cut with an ellipsis when too long; Multi: wrapped at word breaks.
    enum class CaptionLine { Single, Multi };
    Q_ENUM(CaptionLine)

    explicit TColorBtn(QWidget *parent = nullptr);
    explicit TColorBtn(const QString &caption, QWidget *parent = nullptr);

    QColor Color() const { return color_; }
    void SetColor(const QColor &color);
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor &color);
    bool Frame() const { return frame_; }
    void SetFrame(bool on);
    QColor FrameColor() const { return frameColor_; }
    void SetFrameColor(const QColor &color);
    Edge EdgeStyle() const { return edge_; }
    void SetEdge(Edge edge);
    Qt::Alignment CaptionAlignment() const { return alignment_; }
    void SetCaptionAlignment(Qt::Alignment horizontal);
    CaptionLine CaptionLines() const { return captionLine_; }
    void SetCaptionLine(CaptionLine lines);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor color_;
    QColor fontColor_;
    QColor frameColor_{Qt::black};
    bool frame_ = true;
    Edge edge_ = Edge::Raised;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    CaptionLine captionLine_ = CaptionLine::Single;
};
