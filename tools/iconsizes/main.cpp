// iconsizes -- the desktop icon at the sizes a theme wants, made from the one drawn icon.
// Each target pixel is the average of the source area it covers (alpha-weighted, so clear
// pixels do not darken the edges); whole-number enlargements stay crisp.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/png/PngImage.h"

namespace {

using wordlark::platform::PngImage;

PngImage resize(const PngImage& source, std::int32_t size)
{
    PngImage out(size, size);
    const double sx = static_cast<double>(source.width) / size;
    const double sy = static_cast<double>(source.height) / size;
    for (std::int32_t y = 0; y < size; ++y) {
        const double y0 = y * sy, y1 = (y + 1) * sy;
        for (std::int32_t x = 0; x < size; ++x) {
            const double x0 = x * sx, x1 = (x + 1) * sx;
            double sum[4] = {0, 0, 0, 0};
            double area = 0;
            for (auto py = static_cast<std::int32_t>(y0); py < source.height && py < y1; ++py) {
                const double h = std::min<double>(py + 1, y1) - std::max<double>(py, y0);
                for (auto px = static_cast<std::int32_t>(x0); px < source.width && px < x1; ++px) {
                    const double w = std::min<double>(px + 1, x1) - std::max<double>(px, x0);
                    const std::uint8_t* p = source.pixel(px, py);
                    const double weight = w * h;
                    const double alpha = p[3] * weight;
                    for (int c = 0; c < 3; ++c) {
                        sum[c] += p[c] * alpha;
                    }
                    sum[3] += alpha;
                    area += weight;
                }
            }
            std::uint8_t* q = out.pixel(x, y);
            if (sum[3] > 0) {
                for (int c = 0; c < 3; ++c) {
                    q[c] = static_cast<std::uint8_t>(std::clamp(sum[c] / sum[3] + 0.5, 0.0, 255.0));
                }
            }
            q[3] = static_cast<std::uint8_t>(std::clamp(sum[3] / area + 0.5, 0.0, 255.0));
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: iconsizes ICON.png SIZE OUT.png\n", stderr);
        return 2;
    }
    const int size = std::atoi(argv[2]);
    if (size < 1 || size > 1024) {
        std::fprintf(stderr, "iconsizes: %s is not a size from 1 to 1024\n", argv[2]);
        return 2;
    }
    PngImage source;
    std::string error;
    if (!wordlark::platform::readPng(argv[1], source, &error)) {
        std::fprintf(stderr, "iconsizes: %s\n", error.c_str());
        return 1;
    }
    if (!wordlark::platform::writePng(argv[3], resize(source, size), &error)) {
        std::fprintf(stderr, "iconsizes: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
