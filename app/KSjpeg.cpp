#include "app/KSjpeg.h"

#include <QByteArray>
#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

namespace ks::app {

namespace {

constexpr JDIMENSION kLargestSide = 16384;

// libjpeg reports a fatal error by calling error_exit, which must not
// return; it jumps back into Decode. Warnings are counted, and a picture
// whose data ended early is refused rather than shown half grey.
struct JpegErrors {
    jpeg_error_mgr errors; // first, so that libjpeg's pointer leads back here
    std::jmp_buf failed;
    bool truncated;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->failed, 1);
}

void EmitMessage(j_common_ptr info, int level) {
    auto* decoder = reinterpret_cast<JpegErrors*>(info->err);
    if (level < 0 && decoder->errors.msg_code == JWRN_JPEG_EOF) decoder->truncated = true;
}

void OutputMessage(j_common_ptr) {}

// Only plain data lives in this frame between setjmp and longjmp; the image
// belongs to the caller.
bool Decode(JpegErrors& decoder, QImage& image, jpeg_decompress_struct& info,
            const QByteArray& bytes) {
    if (setjmp(decoder.failed) != 0) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) return false;
    info.out_color_space = JCS_RGB;
    if (info.image_width > kLargestSide || info.image_height > kLargestSide) return false;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) return false;
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    if (image.isNull()) return false;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        if (jpeg_read_scanlines(&info, &row, 1) != 1 || decoder.truncated) return false;
    }
    jpeg_finish_decompress(&info);
    return !decoder.truncated;
}

} // namespace

bool LooksLikeJpeg(const QByteArray& bytes) {
    return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
           static_cast<unsigned char>(bytes[1]) == 0xD8 &&
           static_cast<unsigned char>(bytes[2]) == 0xFF;
}

QImage DecodeJpeg(const QByteArray& bytes) {
    if (!LooksLikeJpeg(bytes)) return QImage();
    JpegErrors decoder{};
    QImage image;
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&decoder.errors);
    decoder.errors.error_exit = ErrorExit;
    decoder.errors.emit_message = EmitMessage;
    decoder.errors.output_message = OutputMessage;
    const bool decoded = Decode(decoder, image, info, bytes);
    jpeg_destroy_decompress(&info);
    return decoded ? image : QImage();
}

} // namespace ks::app
