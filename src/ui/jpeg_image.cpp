#include "ui/jpeg_image.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace {

// libjpeg ends the process on bad data unless error_exit leaves by longjmp.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void ErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void NoMessage(j_common_ptr) {}

const quint64 kMaxPixels = 64 * 1024 * 1024;

} // namespace

QImage DecodeJpeg(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return QImage();
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ErrorExit;
    errors.base.output_message = NoMessage;
    // Only plain data lives across setjmp; the image is made after the header.
    QImage* volatile image = nullptr;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        delete image;
        return QImage();
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    // A forged header must not make us allocate gigabytes.
    if (static_cast<quint64>(info.image_width) * info.image_height > kMaxPixels)
        ErrorExit(reinterpret_cast<j_common_ptr>(&info));
    jpeg_start_decompress(&info);
    image = new QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                       QImage::Format_RGB888);
    if (image->isNull() || info.output_components != 3)
        ErrorExit(reinterpret_cast<j_common_ptr>(&info));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    QImage result = *image;
    delete image;
    return result;
}
