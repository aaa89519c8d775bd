#include "game/LetterPool.h"

#include <algorithm>
#include <utility>

#include "graphics/ImageResource.h"

namespace wordlark::game {

std::int32_t columnAt(std::int32_t x)
{
    if (x < kColumnLeft || x > kLineRight) {
        return -1;
    }
    return (x - kColumnLeft) / kColumnWidth;
}

LetterPool::LetterPool(graphics::ImageResource* letterImage, graphics::ImageResource* rollImage,
                       graphics::ImageResource* jokerMarkImage)
    : letterImage_(letterImage), rollImage_(rollImage), jokerMarkImage_(jokerMarkImage)
{
}

LetterPool::~LetterPool() = default;

void LetterPool::deal(std::string_view letters)
{
    letters_.assign(letters.substr(0, std::min(letters.size(), kMaxWordLength)));
    // A NUL inside the text ends it, as it would in the stored form.
    letters_.resize(std::min(letters_.size(), letters_.find('\0')));
    rolling_.fill(true);
    available_.fill(true);
}

char LetterPool::takeAt(std::int32_t x, std::int32_t y)
{
    if (!enabled_ || y < kPoolBottom - kLineHeight || y > kPoolBottom) {
        return 0;
    }
    const std::int32_t column = columnAt(x);
    if (column < 0 || static_cast<std::size_t>(column) >= letters_.size() ||
        !available_[static_cast<std::size_t>(column)]) {
        return 0;
    }
    available_[static_cast<std::size_t>(column)] = false;
    return letters_[static_cast<std::size_t>(column)];
}

char LetterPool::takeTyped(char code)
{
    if (!enabled_) {
        return 0;
    }
    for (char wanted : {code, kJokerCode}) {
        for (std::size_t i = 0; i < letters_.size(); ++i) {
            if (letters_[i] == wanted && available_[i]) {
                available_[i] = false;
                return wanted;
            }
        }
    }
    return 0;
}

bool LetterPool::giveBack(char code)
{
    if (!enabled_) {
        return false;
    }
    for (std::size_t i = 0; i < letters_.size(); ++i) {
        if (letters_[i] == code && !available_[i]) {
            available_[i] = true;
            rolling_[i] = true;
            return true;
        }
    }
    return false;
}

void LetterPool::sortLetters()
{
    for (std::size_t i = 0; i < letters_.size(); ++i) {
        for (std::size_t j = i; j < letters_.size(); ++j) {
            if (letters_[i] > letters_[j]) {
                std::swap(letters_[i], letters_[j]);
                std::swap(available_[i], available_[j]);
                std::swap(rollFrame_[i], rollFrame_[j]);
            }
        }
        rolling_[i] = true;
    }
}

void LetterPool::draw()
{
    for (std::size_t i = 0; i < letters_.size(); ++i) {
        const std::int32_t x = kTileAnchorX + kColumnWidth * static_cast<std::int32_t>(i);
        const std::int32_t letter = letters_[i] - 'A';
        if (rolling_[i]) {
            const std::int32_t target = 2 * letter;
            std::int32_t& frame = rollFrame_[i];
            if (frame < target - 2) {
                frame += 3;
                const std::int32_t count = rollImage_ ? rollImage_->countFrames() : 0;
                if (count > 0 && frame >= count) {
                    frame -= count;
                }
            } else {
                rolling_[i] = false;
                frame = target;
            }
            if (rollImage_) {
                rollImage_->selectFrame(frame);
                rollImage_->drawAt(x, kPoolBottom);
            }
        } else if (available_[i] && letterImage_) {
            letterImage_->selectFrame(letter);
            letterImage_->drawAt(x, kPoolBottom);
        }
    }
}

}  // namespace wordlark::game
