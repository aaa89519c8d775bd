#include "platform/png/PngImage.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace wordlark::platform {

namespace {

void setError(std::string* error, std::string text)
{
    if (error != nullptr) {
        *error = std::move(text);
    }
}

struct MemoryReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (count > reader->size - reader->offset) {
        png_error(png, "truncated PNG data");
    }
    std::memcpy(out, reader->data + reader->offset, count);
    reader->offset += count;
}

void warnSilently(png_structp, png_const_charp) {}

void errorToJump(png_structp png, png_const_charp message)
{
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    if (text != nullptr) {
        *text = message;
    }
    png_longjmp(png, 1);
}

// libpng reports errors by longjmp: everything with a destructor lives outside this function.
bool decode(png_structp png, png_infop info, PngImage& image, std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_user_limits(png, kPngMaxSide, kPngMaxSide);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    if (width == 0 || height == 0 || width > static_cast<png_uint_32>(kPngMaxSide) ||
        height > static_cast<png_uint_32>(kPngMaxSide)) {
        png_error(png, "image size out of range");
    }
    if (bitDepth == 16) {
        png_set_strip_16(png);
    }
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) {
        png_error(png, "unexpected row layout");
    }
    image = PngImage(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        rows[y] = image.pixel(0, static_cast<std::int32_t>(y));
    }
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

// One read from either a FILE* or memory; the source is set up by the caller.
bool readPngWith(FILE* file, MemoryReader* memory, PngImage& image, std::string* error)
{
    std::string message;
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &message, errorToJump, warnSilently);
    if (png == nullptr) {
        setError(error, "cannot start the PNG reader");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        setError(error, "cannot start the PNG reader");
        return false;
    }
    if (file != nullptr) {
        png_init_io(png, file);
    } else {
        png_set_read_fn(png, memory, readFromMemory);
    }
    std::vector<png_bytep> rows;
    PngImage decoded;
    const bool ok = decode(png, info, decoded, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) {
        setError(error, message.empty() ? "damaged PNG" : "damaged PNG: " + message);
        return false;
    }
    image = std::move(decoded);
    return true;
}

bool encode(png_structp png, png_infop info, const PngImage& image, std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    return true;
}

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

bool readPng(const std::string& path, PngImage& image, std::string* error)
{
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        setError(error, "cannot open " + path);
        return false;
    }
    unsigned char signature[8] = {};
    if (std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature ||
        png_sig_cmp(signature, 0, sizeof signature) != 0) {
        setError(error, path + " is not a PNG file");
        return false;
    }
    std::rewind(file.get());
    std::string reason;
    if (!readPngWith(file.get(), nullptr, image, &reason)) {
        setError(error, path + ": " + reason);
        return false;
    }
    return true;
}

bool readPngMemory(const std::uint8_t* data, std::size_t size, PngImage& image, std::string* error)
{
    if (data == nullptr || size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        setError(error, "not a PNG image");
        return false;
    }
    MemoryReader reader{data, size, 0};
    return readPngWith(nullptr, &reader, image, error);
}

bool writePng(const std::string& path, const PngImage& image, std::string* error)
{
    if (image.empty() || image.width > kPngMaxSide || image.height > kPngMaxSide ||
        image.rgba.size() !=
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4) {
        setError(error, "cannot write " + path + ": image size out of range");
        return false;
    }
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        setError(error, "cannot create " + path);
        return false;
    }
    std::string message;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &message, errorToJump, warnSilently);
    if (png == nullptr) {
        setError(error, "cannot start the PNG writer");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        setError(error, "cannot start the PNG writer");
        return false;
    }
    png_init_io(png, file.get());
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    for (std::int32_t y = 0; y < image.height; ++y) {
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(image.pixel(0, y));
    }
    const bool ok = encode(png, info, image, rows);
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file.release()) == 0;
    if (!ok || !closed) {
        setError(error, "cannot write " + path + (message.empty() ? "" : ": " + message));
        return false;
    }
    return true;
}

}  // namespace wordlark::platform
