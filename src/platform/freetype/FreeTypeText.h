// FreeTypeText.h -- the text backend of the Linux desktop and the browser: FreeType glyphs, the
// face fontconfig finds or the one the game brings.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/Text.h"

namespace wordlark::platform::freetype {

// Height is the cell height (ascent plus descent from the face's Windows metrics) and width
// the average character width, as GDI reads them. Faces and glyphs are cached.
class FreeTypeText final : public TextRenderer {
public:
    // The faces fontconfig finds, or with `fontFolder` Liberation Serif's files in that folder
    // (a system without fontconfig: the browser).
    explicit FreeTypeText(std::string fontFolder = {});
    ~FreeTypeText() override;
    FreeTypeText(const FreeTypeText&) = delete;
    FreeTypeText& operator=(const FreeTypeText&) = delete;

    bool available() override;
    std::string facePath() override;
    TextMetrics metrics(const TextStyle& style) override;
    std::int32_t lineWidth(const TextStyle& style, std::string_view text) override;
    std::int32_t drawLine(const Surface& frame, std::int32_t x, std::int32_t y,
                          std::string_view text, const TextStyle& style,
                          const TextRect& clip) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace wordlark::platform::freetype
