#include "platform/headless/HeadlessText.h"

#include <algorithm>
#include <cstdlib>

namespace wordlark::platform::headless {

namespace {

constexpr std::int32_t kDefaultCellHeight = 16;
// As large as any text a backend would draw; beyond it the request is clamped.
constexpr std::int32_t kMaxCell = 512;

std::int32_t clampedSize(std::int32_t value)
{
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(std::abs(std::int64_t{value}), kMaxCell));
}

}  // namespace

TextMetrics HeadlessText::metrics(const TextStyle& style)
{
    std::int32_t cell = kDefaultCellHeight;
    if (style.font.height > 0) {
        cell = clampedSize(style.font.height);
    } else if (style.font.height < 0) {
        cell = clampedSize(style.font.height) * 5 / 4;
    }
    TextMetrics metrics;
    metrics.descent = cell / 5;
    metrics.ascent = cell - metrics.descent;
    metrics.averageWidth =
        style.font.width != 0 ? clampedSize(style.font.width) : std::max(1, cell / 2);
    return metrics;
}

std::int32_t HeadlessText::lineWidth(const TextStyle& style, std::string_view text)
{
    const std::int64_t width =
        std::int64_t{metrics(style).averageWidth} * static_cast<std::int64_t>(text.size());
    return static_cast<std::int32_t>(std::min<std::int64_t>(width, 1 << 30));
}

std::int32_t HeadlessText::drawLine(const Surface&, std::int32_t, std::int32_t,
                                    std::string_view text, const TextStyle& style, const TextRect&)
{
    ++linesDrawn_;
    lastLine_ = text;
    return lineWidth(style, text);
}

}  // namespace wordlark::platform::headless
