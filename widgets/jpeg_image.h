#pragma once
// JPEG data in memory to a picture, through libjpeg.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace orvane {

// A null image and a reason in *error when the data is not a whole, readable JPEG picture.
QImage DecodeJpeg(const QByteArray &data, QString *error = nullptr);

}  // namespace orvane
