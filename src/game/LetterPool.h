// LetterPool.h -- the twelve letters of a deal: which are taken, and their rolling tiles.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace wordlark::graphics {
class ImageResource;
}

namespace wordlark::game {

// A letter is 'A' to 'Z' or the joker, the code right after 'Z'.
inline constexpr char kJokerCode = '[';
inline constexpr std::size_t kMaxWordLength = 12;

// Screen geometry shared by the pool and the word rows: 42-pixel columns from x = 16, tiles
// anchored 21 pixels into their column, hit bands 43 pixels high ending at the line's bottom.
inline constexpr std::int32_t kColumnLeft = 16;
inline constexpr std::int32_t kColumnWidth = 42;
inline constexpr std::int32_t kTileAnchorX = 37;
inline constexpr std::int32_t kLineRight = 541;
inline constexpr std::int32_t kLineHeight = 42;
inline constexpr std::int32_t kPoolBottom = 161;

// The column under x, or -1 outside the band [16, 541].
std::int32_t columnAt(std::int32_t x);

class LetterPool {
public:
    // The images are the game's shared "chars", "chardrop" and "asterisk"; the pool keeps
    // them without owning them and never draws the third. Any of them may be null.
    LetterPool(graphics::ImageResource* letterImage, graphics::ImageResource* rollImage,
               graphics::ImageResource* jokerMarkImage);
    virtual ~LetterPool();

    // New letters (at most twelve are kept); every tile rolls on from where it stood.
    void deal(std::string_view letters);
    // The letter at a window point when the pool is enabled and it is still there, else 0.
    char takeAt(std::int32_t x, std::int32_t y);
    // The first free tile of that letter, else the first free joker (answering the joker
    // code), else 0.
    char takeTyped(char code);
    // Puts a taken tile of that letter back and rolls it in; false when none is taken.
    bool giveBack(char code);
    // Ascending code order, the joker last; every tile rolls to its new place.
    void sortLetters();
    void setEnabled(bool flag) { enabled_ = flag; }
    // One drawing pass: rolling tiles advance three frames, settled free letters are drawn.
    void draw();

    const std::string& letters() const { return letters_; }
    graphics::ImageResource* jokerMarkImage() const { return jokerMarkImage_; }
    bool enabled() const { return enabled_; }
    bool available(std::size_t position) const { return available_.at(position); }
    bool rolling(std::size_t position) const { return rolling_.at(position); }
    std::int32_t rollFrame(std::size_t position) const { return rollFrame_.at(position); }

private:
    graphics::ImageResource* letterImage_;
    graphics::ImageResource* rollImage_;
    graphics::ImageResource* jokerMarkImage_;
    std::array<bool, kMaxWordLength> rolling_{};
    std::array<std::int32_t, kMaxWordLength> rollFrame_{};
    std::array<bool, kMaxWordLength> available_{};
    bool enabled_ = true;
    std::string letters_;
};

}  // namespace wordlark::game
