#include "game/VerdictMeanings.h"

#include <array>

#include "graphics/Display.h"
#include "graphics/TextWrap.h"
#include "words/Dictionary.h"

namespace wordlark::game {

namespace {

// The instructions in the picture's serif italic of 15 pixels to the em, lavender on the
// table; the meanings upright below the rows, each in its side's colour.
constexpr std::int32_t kEm = -15;
constexpr graphics::ColorRef kInstructionColor = 0xC49096;
constexpr graphics::ColorRef kPlayerColor = 0xD8E296;
constexpr graphics::ColorRef kComputerColor = 0xA0B4FA;
constexpr std::array<const char*, 3> kInstructions = {
    "Build the longest word you can from the letters above,",
    "then press \x93"
    "demand\x94 to hear the computer's answer.",
    "Star tile: hold the right button on it to pick its letter."};
constexpr std::array<std::int32_t, 3> kInstructionTops = {372, 392, 412};
constexpr std::size_t kLinesPerWord = 2;
constexpr std::array<std::int32_t, 4> kMeaningTops = {366, 384, 404, 422};

void setFont(graphics::Display& display, bool italic, graphics::ColorRef color)
{
    display.setTextColor(color);
    display.setBackMode(graphics::kBackTransparent);
    display.setFontParameter(0, kEm);
    display.setFontParameter(1, 0);
    display.setFontParameter(5, italic ? 1 : 0);
}

}  // namespace

VerdictMeanings::VerdictMeanings(archive::ArchiveRegistry& registry,
                                 const words::Dictionary& dictionary)
    : definitions_(registry), dictionary_(dictionary)
{
}

std::string VerdictMeanings::textOf(std::string_view word)
{
    std::string text = definitions_.text(word);
    if (!text.empty()) {
        return text;
    }
    // Without a meaning, a word that is no stored record came from the player's own list.
    for (std::uint32_t i = 0; i < dictionary_.count(); ++i) {
        if (dictionary_.wordAt(i) == word) {
            return std::string(word) + ": no definition in the dictionary";
        }
    }
    return std::string(word) + ": from your own word list";
}

void VerdictMeanings::show(std::string_view playerWord, std::string_view computerWord)
{
    shown_ = true;
    cut_ = false;
    player_.reset();
    computer_.reset();
    if (!playerWord.empty()) {
        player_ = textOf(playerWord);
    }
    if (!computerWord.empty()) {
        computer_ = textOf(computerWord);
    }
}

void VerdictMeanings::clear()
{
    shown_ = false;
    cut_ = false;
    player_.reset();
    computer_.reset();
}

void VerdictMeanings::draw(graphics::Display& display)
{
    if (!shown_) {
        setFont(display, true, kInstructionColor);
        for (std::size_t i = 0; i < kInstructions.size(); ++i) {
            display.drawText(kLeft, kInstructionTops[i], kInstructions[i]);
        }
        display.setFontParameter(5, 0);
        return;
    }
    setFont(display, false, kPlayerColor);
    if (!cut_) {
        lines_.clear();
        const auto measure = [&display](std::string_view text) { return display.textWidth(text); };
        for (const auto* text : {&player_, &computer_}) {
            auto cut = graphics::wrapText(text->value_or(""), kWidth, kLinesPerWord, measure);
            cut.resize(kLinesPerWord);
            lines_.insert(lines_.end(), cut.begin(), cut.end());
        }
        cut_ = true;
    }
    for (std::size_t i = 0; i < lines_.size() && i < kMeaningTops.size(); ++i) {
        if (i == kLinesPerWord) {
            display.setTextColor(kComputerColor);
        }
        if (!lines_[i].empty()) {
            display.drawText(kLeft, kMeaningTops[i], lines_[i]);
        }
    }
}

}  // namespace wordlark::game
