#include "ui/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>

namespace ui {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// libjpeg's default handler calls exit(); ours jumps back into decodePixels instead.
[[noreturn]] void jumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void stayQuiet(j_common_ptr, int) { }

struct Pixels {
    unsigned char* rgb = nullptr; // malloc'd, width * height * 3 bytes
    int width = 0;
    int height = 0;
};

// Everything between setjmp and longjmp is plain C data: no destructor can be skipped.
bool decodePixels(const unsigned char* data, unsigned long size, Pixels* out)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpBack;
    errors.base.emit_message = stayQuiet;
    out->rgb = nullptr;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        std::free(out->rgb);
        out->rgb = nullptr;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out->width = static_cast<int>(info.output_width);
    out->height = static_cast<int>(info.output_height);
    std::size_t stride = static_cast<std::size_t>(out->width) * 3;
    out->rgb
        = static_cast<unsigned char*>(std::malloc(stride * static_cast<std::size_t>(out->height)));
    if (!out->rgb)
        std::longjmp(errors.jump, 1);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out->rgb + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray& data)
{
    if (data.isEmpty())
        return {};
    Pixels pixels;
    if (!decodePixels(reinterpret_cast<const unsigned char*>(data.constData()),
            static_cast<unsigned long>(data.size()), &pixels))
        return {};
    QImage image(pixels.width, pixels.height, QImage::Format_RGB888);
    for (int y = 0; y < pixels.height; ++y)
        std::memcpy(image.scanLine(y), pixels.rgb + static_cast<std::size_t>(y) * pixels.width * 3,
            static_cast<std::size_t>(pixels.width) * 3);
    std::free(pixels.rgb);
    return image;
}

} // namespace ui
