// WordRow.h -- a line of letter tiles: the word the player builds, or the computer's answer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/LetterPool.h"

namespace wordlark::game {

inline constexpr std::int32_t kPlayerRowTop = 216;
inline constexpr std::int32_t kComputerRowTop = 312;

class WordRow {
public:
    // The images are the game's shared "chars" and "asterisk", kept without owning them (either
    // may be null); the row's bottom line is top + 42.
    WordRow(graphics::ImageResource* letterImage, graphics::ImageResource* jokerMarkImage,
            std::int32_t top);
    virtual ~WordRow();

    // Adds a letter at the end (a joker code marks its place); 0 when disabled or full.
    char append(char code);
    // Adds a joker that already stands for this letter.
    void appendAsJoker(char code);
    // Gives the joker in the row its letter.
    void setJokerLetter(char code);
    // Removes the tile at a window point; the joker's tile answers the joker code.
    char takeAt(std::int32_t x, std::int32_t y);
    char removeFirst();
    char removeLast();
    // Whether the point is on the joker's tile.
    bool isJokerAt(std::int32_t x, std::int32_t y) const;
    // Replaces the word (at most twelve letters are kept); a joker code in it becomes the
    // row's joker.
    void setWord(std::string_view word);
    void setEnabled(bool flag) { enabled_ = flag; }
    // Draws every tile, with the joker mark beside the joker's.
    void draw();

    const std::string& word() const { return word_; }
    std::int32_t jokerIndex() const { return jokerIndex_; }
    std::int32_t baseY() const { return baseY_; }
    bool enabled() const { return enabled_; }

private:
    // The column a point is on, or -1 when it is off the row's band or the row is disabled.
    std::int32_t columnAt(std::int32_t x, std::int32_t y) const;

    graphics::ImageResource* letterImage_;
    graphics::ImageResource* jokerMarkImage_;
    std::int32_t baseY_;
    std::int32_t jokerIndex_ = -1;
    bool enabled_ = true;
    std::string word_;
};

}  // namespace wordlark::game
