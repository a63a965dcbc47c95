#include "widgets/jpeg_image.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace orvane {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg's default would exit the process; jump back to the decoder instead.
[[noreturn]] void ErrorExit(j_common_ptr info)
{
    auto *manager = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void NoOutput(j_common_ptr) {}

}  // namespace

QImage DecodeJpeg(const QByteArray &data, QString *error)
{
    if (data.isEmpty()) {
        if (error)
            *error = QStringLiteral("no JPEG data");
        return {};
    }
    // Only plain C objects live across the jump; the picture is made after decoding ends.
    jpeg_decompress_struct info{};
    ErrorManager manager{};
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = ErrorExit;
    manager.base.output_message = NoOutput;
    QImage *volatile image = nullptr;
    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&info);
        delete image;
        if (error)
            *error = QString::fromLocal8Bit(manager.message);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = new QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (image->isNull()) {
        jpeg_destroy_decompress(&info);
        delete image;
        if (error)
            *error = QStringLiteral("picture too large");
        return {};
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    // A cut-off file gets grey rows from libjpeg and only a warning; a shown half picture is no picture.
    const bool truncated = info.err->num_warnings > 0;
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    QImage result = std::move(*image);
    delete image;
    if (truncated) {
        if (error)
            *error = QStringLiteral("JPEG data is damaged or incomplete");
        return {};
    }
    return result;
}

}  // namespace orvane
