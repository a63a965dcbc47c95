#include "widgets/info_dialog.h"

#include "session/version.h"
#include "widgets/jpeg_image.h"
#include "widgets/label2.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kPicture = QStringLiteral(":/orvane/info.jpg");

}  // namespace

TInfoDialog::TInfoDialog(QWidget *parent, UrlOpener opener) : QDialog(parent), opener_(std::move(opener))
{
    setObjectName(QStringLiteral("InfoDialog"));
    setModal(true);
    setWindowTitle(QStringLiteral("Orvane"));

    auto *layout = new QVBoxLayout(this);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    QFile file(kPicture);
    QByteArray data;
    if (file.open(QIODevice::ReadOnly))
        data = file.readAll();
    const QImage picture = orvane::DecodeJpeg(data, &pictureError_);
    if (!picture.isNull())
        Image1->setPixmap(QPixmap::fromImage(picture));
    else
        Image1->hide();
    layout->addWidget(Image1);

    VersionLabel = new QLabel(VersionText(), this);
    VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
    VersionLabel->setAlignment(Qt::AlignCenter);
    QFont bold = VersionLabel->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    VersionLabel->setFont(bold);
    layout->addWidget(VersionLabel);

    LinkLabel = new TLabel2(QStringLiteral("README"), this);
    LinkLabel->setObjectName(QStringLiteral("LinkLabel"));
    LinkLabel->setAlignment(Qt::AlignCenter);
    LinkLabel->setCursor(Qt::PointingHandCursor);
    LinkLabel->setToolTip(DocumentationUrl().toString());
    LinkLabel->installEventFilter(this);
    connect(LinkLabel, &TLabel2::MouseEnter, this, &TInfoDialog::LinkLabelMouseEnter);
    connect(LinkLabel, &TLabel2::MouseLeave, this, &TInfoDialog::LinkLabelMouseLeave);
    StyleLink(false);
    layout->addWidget(LinkLabel);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(OKButton, 0, Qt::AlignCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TInfoDialog::VersionText() { return orvane::ProgramTitle(); }

QUrl TInfoDialog::DocumentationUrl()
{
    const QString installed =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(ORVANE_DOC_FROM_BIN "/README.md"));
    if (QFileInfo::exists(installed))
        return QUrl::fromLocalFile(QFileInfo(installed).canonicalFilePath());
    return QUrl::fromLocalFile(QStringLiteral(ORVANE_SOURCE_DIR "/README.md"));
}

void TInfoDialog::LinkLabelClick()
{
    const QUrl url = DocumentationUrl();
    if (opener_)
        opener_(url);
    else
        QDesktopServices::openUrl(url);
}

void TInfoDialog::LinkLabelMouseEnter() { StyleLink(true); }

void TInfoDialog::LinkLabelMouseLeave() { StyleLink(false); }

void TInfoDialog::StyleLink(bool hovered)
{
    const QColor color = hovered ? QColor(0xD0, 0x30, 0x30) : QColor(0x00, 0x00, 0xCC);
    QPalette palette = LinkLabel->palette();
    palette.setColor(QPalette::WindowText, color);
    LinkLabel->setPalette(palette);
    QFont font = LinkLabel->font();
    font.setUnderline(hovered);
    LinkLabel->setFont(font);
}

bool TInfoDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == LinkLabel && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
        && LinkLabel->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
        LinkLabelClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
