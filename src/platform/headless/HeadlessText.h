// HeadlessText.h -- text without a font: fixed-pitch cells that are measured but never inked.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Text.h"

namespace wordlark::platform::headless {

// For programs that never look at glyphs: every character is one cell of the average width
// asked for (half the cell's height when none is), and drawing leaves the surface as it is.
// Sizes follow the font request as a desktop reads it: a positive height is the cell's, a
// negative one the em size (a cell a quarter taller), 0 the default of 16 pixels.
class HeadlessText final : public TextRenderer {
public:
    bool available() override { return true; }
    std::string facePath() override { return {}; }
    TextMetrics metrics(const TextStyle& style) override;
    std::int32_t lineWidth(const TextStyle& style, std::string_view text) override;
    std::int32_t drawLine(const Surface& frame, std::int32_t x, std::int32_t y,
                          std::string_view text, const TextStyle& style,
                          const TextRect& clip) override;

    // Observations: the lines drawn so far and the last of them.
    int linesDrawn() const { return linesDrawn_; }
    const std::string& lastLine() const { return lastLine_; }

private:
    int linesDrawn_ = 0;
    std::string lastLine_;
};

}  // namespace wordlark::platform::headless
