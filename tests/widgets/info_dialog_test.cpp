// The version box: its built-in picture, damaged JPEG data, the version text and the link.

#include "widgets/info_dialog.h"
#include "widgets/jpeg_image.h"
#include "widgets/label2.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QByteArray ShippedPicture()
{
    QFile file(QStringLiteral(":/orvane/info.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Jpeg, ShippedPictureDecodesToItsSizeAndColours)
{
    const QByteArray data = ShippedPicture();
    ASSERT_FALSE(data.isEmpty());
    QString error;
    const QImage image = orvane::DecodeJpeg(data, &error);
    ASSERT_FALSE(image.isNull()) << error.toStdString();
    EXPECT_EQ(image.size(), QSize(360, 150));
    EXPECT_TRUE(error.isEmpty());
    // Top-left corner of the dark blue background.
    const QColor corner = image.pixelColor(2, 2);
    EXPECT_LT(corner.red(), 40);
    EXPECT_GT(corner.blue(), corner.red());
}

TEST(Jpeg, DamagedDataFailsClearly)
{
    const QByteArray data = ShippedPicture();
    QString error;
    EXPECT_TRUE(orvane::DecodeJpeg(QByteArray(), &error).isNull());
    EXPECT_FALSE(error.isEmpty());

    error.clear();
    EXPECT_TRUE(orvane::DecodeJpeg(QByteArray("not a picture at all"), &error).isNull());
    EXPECT_FALSE(error.isEmpty());

    error.clear();
    EXPECT_TRUE(orvane::DecodeJpeg(data.left(data.size() / 2), &error).isNull()) << "cut in half";
    EXPECT_FALSE(error.isEmpty());

    error.clear();
    EXPECT_TRUE(orvane::DecodeJpeg(data.left(20), &error).isNull()) << "header only";
    EXPECT_FALSE(error.isEmpty());

    QByteArray scrambled = data;
    for (int i = 200; i < scrambled.size() - 2; i += 7)
        scrambled[i] = char(0xFF);
    orvane::DecodeJpeg(scrambled, &error);  // must return, whatever it makes of it
}

TEST(InfoDialog, ShowsPictureVersionAndALinkThatChangesOnHover)
{
    QList<QUrl> opened;
    TInfoDialog dialog(nullptr, [&opened](const QUrl &url) {
        opened << url;
        return true;
    });
    EXPECT_TRUE(dialog.PictureError().isEmpty());
    ASSERT_FALSE(dialog.Image1->pixmap().isNull());
    EXPECT_EQ(dialog.Image1->pixmap().size(), QSize(360, 150));
    EXPECT_EQ(dialog.VersionLabel->text(), QStringLiteral("Orvane Ver1.4"));
    EXPECT_EQ(dialog.LinkLabel->objectName(), QStringLiteral("LinkLabel"));

    EXPECT_FALSE(dialog.LinkLabel->font().underline());
    const QColor idle = dialog.LinkLabel->palette().color(QPalette::WindowText);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(dialog.LinkLabel, &enter);
    EXPECT_TRUE(dialog.LinkLabel->font().underline());
    EXPECT_NE(dialog.LinkLabel->palette().color(QPalette::WindowText), idle);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(dialog.LinkLabel, &leave);
    EXPECT_FALSE(dialog.LinkLabel->font().underline());
    EXPECT_EQ(dialog.LinkLabel->palette().color(QPalette::WindowText), idle);

    dialog.show();
    QTest::mouseClick(dialog.LinkLabel, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_TRUE(opened[0].toLocalFile().endsWith(QStringLiteral("README.md")));
    EXPECT_TRUE(QFile::exists(opened[0].toLocalFile()));
}

}  // namespace
