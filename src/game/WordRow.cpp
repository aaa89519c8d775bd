#include "game/WordRow.h"

#include <algorithm>

#include "graphics/ImageResource.h"

namespace wordlark::game {

WordRow::WordRow(graphics::ImageResource* letterImage, graphics::ImageResource* jokerMarkImage,
                 std::int32_t top)
    : letterImage_(letterImage), jokerMarkImage_(jokerMarkImage), baseY_(top + kLineHeight)
{
}

WordRow::~WordRow() = default;

char WordRow::append(char code)
{
    if (!enabled_ || word_.size() >= kMaxWordLength) {
        return 0;
    }
    if (code == kJokerCode) {
        jokerIndex_ = static_cast<std::int32_t>(word_.size());
    }
    word_.push_back(code);
    return code;
}

void WordRow::appendAsJoker(char code)
{
    if (!enabled_ || word_.size() >= kMaxWordLength) {
        return;
    }
    jokerIndex_ = static_cast<std::int32_t>(word_.size());
    word_.push_back(code);
}

void WordRow::setJokerLetter(char code)
{
    if (enabled_ && jokerIndex_ >= 0 && static_cast<std::size_t>(jokerIndex_) < word_.size()) {
        word_[static_cast<std::size_t>(jokerIndex_)] = code;
    }
}

std::int32_t WordRow::columnAt(std::int32_t x, std::int32_t y) const
{
    if (!enabled_ || y < baseY_ - kLineHeight || y > baseY_) {
        return -1;
    }
    return game::columnAt(x);
}

char WordRow::takeAt(std::int32_t x, std::int32_t y)
{
    const std::int32_t column = columnAt(x, y);
    if (column < 0 || static_cast<std::size_t>(column) >= word_.size()) {
        return 0;
    }
    char result = word_[static_cast<std::size_t>(column)];
    if (column == jokerIndex_) {
        result = kJokerCode;
        jokerIndex_ = -1;
    } else if (column < jokerIndex_) {
        --jokerIndex_;
    }
    word_.erase(static_cast<std::size_t>(column), 1);
    return result;
}

char WordRow::removeFirst()
{
    if (!enabled_ || word_.empty()) {
        return 0;
    }
    char result = word_.front();
    if (jokerIndex_ == 0) {
        result = kJokerCode;
        jokerIndex_ = -1;
    }
    word_.erase(0, 1);
    if (jokerIndex_ > 0) {
        --jokerIndex_;
    }
    return result;
}

char WordRow::removeLast()
{
    if (!enabled_ || word_.empty()) {
        return 0;
    }
    char result = word_.back();
    if (jokerIndex_ == static_cast<std::int32_t>(word_.size()) - 1) {
        result = kJokerCode;
        jokerIndex_ = -1;
    }
    word_.pop_back();
    return result;
}

bool WordRow::isJokerAt(std::int32_t x, std::int32_t y) const
{
    const std::int32_t column = columnAt(x, y);
    return column >= 0 && static_cast<std::size_t>(column) <= word_.size() && column == jokerIndex_;
}

void WordRow::setWord(std::string_view word)
{
    word = word.substr(0, std::min({word.size(), kMaxWordLength, word.find('\0')}));
    word_.assign(word);
    const std::size_t joker = word_.rfind(kJokerCode);
    if (joker != std::string::npos) {
        jokerIndex_ = static_cast<std::int32_t>(joker);
    } else if (jokerIndex_ >= static_cast<std::int32_t>(word_.size())) {
        // A joker place beyond the new word would point past its letters.
        jokerIndex_ = -1;
    }
}

void WordRow::draw()
{
    for (std::size_t i = 0; i < word_.size(); ++i) {
        const std::int32_t x = kTileAnchorX + kColumnWidth * static_cast<std::int32_t>(i);
        if (letterImage_) {
            // A joker still waiting for its letter shows the joker tile: the first frame
            // would read as an A the player never laid.
            const char code = word_[i] == '?' ? kJokerCode : word_[i];
            letterImage_->selectFrame(code - 'A');
            letterImage_->drawAt(x, baseY_);
        }
        if (static_cast<std::int32_t>(i) == jokerIndex_ && jokerMarkImage_) {
            jokerMarkImage_->drawAt(48 + kColumnWidth * static_cast<std::int32_t>(i), baseY_ - 22);
        }
    }
}

}  // namespace wordlark::game
