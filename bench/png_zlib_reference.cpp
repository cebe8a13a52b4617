#include "bench/png_zlib_reference.h"

#include <csetjmp>
#include <cstddef>
#include <cstring>

#include <png.h>
#include <zlib.h>

namespace lorvane {

namespace {

void Append(png_structp png, png_bytep data, std::size_t length)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void FlushNothing(png_structp /*png*/) {}

[[noreturn]] void Fail(png_structp png, png_const_charp /*message*/)
{
    png_longjmp(png, 1);
}

// No object with a destructor lives here: libpng leaves through longjmp.
bool Write(png_structp png, png_infop info, const QImage& rgb, QByteArray* out)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_set_write_fn(png, out, Append, FlushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(rgb.width()), static_cast<png_uint_32>(rgb.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_PAETH | PNG_FILTER_UP);
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_write_info(png, info);
    const auto rowBytes = static_cast<std::size_t>(rgb.bytesPerLine());
    for (int y = 0; y < rgb.height(); ++y) {
        const bool repeats = y > 0 && std::memcmp(rgb.constScanLine(y), rgb.constScanLine(y - 1), rowBytes) == 0;
        png_set_filter(png, PNG_FILTER_TYPE_BASE, repeats ? PNG_FILTER_UP : PNG_FILTER_PAETH);
        png_write_row(png, rgb.constScanLine(y));
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

QByteArray EncodePngZlibReference(const QImage& image)
{
    // As the encoder did it, in bands of rows; the whole picture at once is as fast at this size.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    QByteArray bytes;
    if (info == nullptr || !Write(png, info, rgb, &bytes)) {
        bytes.clear();
    }
    png_destroy_write_struct(&png, &info);
    return bytes;
}

}  // namespace lorvane
