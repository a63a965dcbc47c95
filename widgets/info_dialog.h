#pragma once
// TInfoDialog: the version box. A picture, the program's name and version, and a link to the documentation.

#include <QDialog>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;
class TLabel2;

class TInfoDialog : public QDialog {
    Q_OBJECT
public:
    using UrlOpener = std::function<bool(const QUrl &)>;

    // opener: how the link is opened; the desktop's default handler when empty.
    explicit TInfoDialog(QWidget *parent = nullptr, UrlOpener opener = {});

    // The README beside an installed program, else the one of the source tree this was built from.
    static QUrl DocumentationUrl();
    // "Orvane Ver1.4"
    static QString VersionText();

    void LinkLabelClick();
    void LinkLabelMouseEnter();
    void LinkLabelMouseLeave();

    QLabel *Image1, *VersionLabel;
    TLabel2 *LinkLabel;
    QPushButton *OKButton;
    // Why the picture is missing; empty when it is shown.
    QString PictureError() const { return pictureError_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void StyleLink(bool hovered);

    UrlOpener opener_;
    QString pictureError_;
};
