#include "platform/JpegImage.h"

#include "platform/RegularFile.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {

// libjpeg's own error handler ends the process; this one returns to decode().
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onFatalError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings (a corrupt but readable file) are not printed.
void onMessage(j_common_ptr) {}

// Only plain C objects live in this frame, so that a longjmp back into it
// skips no destructor; the image belongs to the caller.
bool decode(std::FILE* file, QImage* out)
{
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onFatalError;
    errors.base.output_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    if (qint64(info.image_width) * info.image_height > MaxPicturePixels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // Straight into QImage::Format_RGB32's byte order.
    info.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    jpeg_start_decompress(&info);
    *out = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (out->isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage loadJpeg(const QString& path)
{
    std::FILE* file = openRegularFile(path);
    if (!file)
        return {};
    QImage image;
    const bool ok = decode(file, &image);
    std::fclose(file);
    return ok ? image : QImage();
}
