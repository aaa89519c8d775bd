#include "screens/AnalysisPanel.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include <nlohmann/json.hpp>

#include "game/Game.h"
#include "game/VerdictMeanings.h"
#include "game/WordRow.h"
#include "graphics/Display.h"
#include "graphics/TextWrap.h"
#include "words/Dictionary.h"
#include "words/WordSearch.h"

namespace wordlark::screens {

using namespace platform;

namespace {

panels::ButtonRow table[] = {
    {kAnalysisUp, "an_up", nullptr},
    {kAnalysisDown, "an_down", nullptr},
    {kAnalysisClose, "an_close", nullptr},
    {kAnalysisAlphabetical, "an_sortlen", nullptr},
    {kAnalysisByLength, "an_sortname", nullptr},
    {-1, "", nullptr},
};

constexpr std::int32_t kTextX = 183;
constexpr std::int32_t kPlayerWordY = 130;
constexpr std::int32_t kComputerWordY = 176;
constexpr std::int32_t kFirstRowY = 223;
constexpr std::int32_t kRowStep = 22;
constexpr std::int32_t kRowsEndY = 399;
constexpr std::size_t kScrollStep = 2;
constexpr std::size_t kVisibleRows = 8;
// The rows as the list's field draws them, for the pointer and the mark.
constexpr std::int32_t kRowLeft = 179;
constexpr std::int32_t kRowWidth = 230;
constexpr std::int32_t kRowTopOffset = -2;
// The strip below the list: the chosen word's meaning, wrapped, in a smaller upright face.
constexpr std::int32_t kStripLeft = 114;
constexpr std::int32_t kStripWidth = 414;
constexpr std::int32_t kStripTop = 410;
constexpr std::int32_t kStripLineStep = 15;
constexpr std::size_t kStripLines = 4;
constexpr std::int32_t kStripEm = -13;
// A meaning longer than the strip scrolls; past this many lines (only damaged data has them)
// it is cut with the ellipsis.
constexpr std::size_t kMostStripLines = 200;
// Room kept at the right of a scrolling meaning for its page, "2/3", with a gap before it.
constexpr std::string_view kWidestPlace = "88/88";
constexpr std::int32_t kPlaceGap = 8;
// A notch of the wheel, as the system counts it.

}  // namespace

AnalysisPanel::AnalysisPanel(std::string_view backgroundName, game::Game& game,
                             std::string_view letters, bool& alphabetical)
    : ButtonPanel(game, backgroundName, table, true), game_(game), alphabetical_(alphabetical)
{
    for (const std::int32_t id : {kAnalysisUp, kAnalysisDown}) {
        if (panels::Button* button = buttonFor(id)) {
            button->setAutoRepeat(true);
        }
    }
    if (words::Dictionary* dictionary = game_.dictionary()) {
        words_ = words::makeableWords(*dictionary, letters);
    }
    if (alphabetical_) {
        sortAlphabetically();
    } else {
        sortByLength();
    }
}

// Both orders are stable: words of equal key keep the order they had, as a selection sort
// that takes the first of the best would leave them.
void AnalysisPanel::reorder(const std::vector<std::size_t>& order)
{
    std::vector<std::string> sorted;
    sorted.reserve(words_.size());
    std::size_t newTop = 0;
    std::optional<std::size_t> newSelected;
    for (std::size_t i = 0; i < order.size(); ++i) {
        // The first row keeps showing the same word, now at its new place; so does the mark.
        if (order[i] == top_) {
            newTop = i;
        }
        if (selected_ && order[i] == *selected_) {
            newSelected = i;
        }
        sorted.push_back(std::move(words_[order[i]]));
    }
    words_ = std::move(sorted);
    top_ = newTop;
    selected_ = newSelected;
}

void AnalysisPanel::sortAlphabetically()
{
    std::vector<std::size_t> order(words_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    // std::string compares its bytes as unsigned values, a prefix first.
    std::stable_sort(order.begin(), order.end(),
                     [this](std::size_t a, std::size_t b) { return words_[a] < words_[b]; });
    reorder(order);
}

void AnalysisPanel::sortByLength()
{
    std::vector<std::size_t> order(words_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return words_[a].size() > words_[b].size();
    });
    reorder(order);
    top_ = 0;
}

void AnalysisPanel::clickRow()
{
    const std::int32_t x = game_.pointerX();
    const std::int32_t y = game_.pointerY() - (kFirstRowY + kRowTopOffset);
    if (x < kRowLeft || x >= kRowLeft + kRowWidth || y < 0 ||
        y >= kRowStep * static_cast<std::int32_t>(kVisibleRows)) {
        return;
    }
    const std::size_t index = top_ + static_cast<std::size_t>(y / kRowStep);
    if (index >= words_.size() || selected_ == index) {
        return;
    }
    choose(index);
}

void AnalysisPanel::choose(std::size_t index)
{
    selected_ = index;
    definitionWrapped_ = false;
    definitionLine_ = 0;
    game::VerdictMeanings* meanings = game_.meanings();
    definition_ =
        meanings != nullptr ? std::optional(meanings->textOf(words_[index])) : std::nullopt;
}

const std::vector<std::string>& AnalysisPanel::stripLines()
{
    if (definitionWrapped_) {
        return definitionLines_;
    }
    definitionWrapped_ = true;
    definitionLines_.clear();
    if (!definition_) {
        return definitionLines_;
    }
    graphics::Display& display = graphics::display();
    display.setFontParameter(0, kStripEm);
    display.setFontParameter(1, 0);
    const auto measure = [&display](std::string_view text) { return display.textWidth(text); };
    definitionLines_ = graphics::wrapText(*definition_, kStripWidth, kMostStripLines, measure);
    if (definitionLines_.size() > kStripLines) {
        definitionLines_ =
            graphics::wrapText(*definition_, kStripWidth - measure(kWidestPlace) - kPlaceGap,
                               kMostStripLines, measure);
    }
    panels::setCommonTextStyle();
    return definitionLines_;
}

void AnalysisPanel::scrollStrip(std::ptrdiff_t lines)
{
    const std::size_t count = stripLines().size();
    if (count <= kStripLines) {
        return;
    }
    const auto last = static_cast<std::ptrdiff_t>(count - kStripLines);
    const std::ptrdiff_t first = static_cast<std::ptrdiff_t>(definitionLine_) + lines;
    definitionLine_ = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(first, 0, last));
}

bool AnalysisPanel::clickStrip()
{
    const std::int32_t x = game_.pointerX();
    const std::int32_t y = game_.pointerY();
    if (!definition_ || x < kStripLeft || x >= kStripLeft + kStripWidth || y < kStripTop ||
        y >= kStripTop + kStripLineStep * static_cast<std::int32_t>(kStripLines)) {
        return false;
    }
    const std::size_t count = stripLines().size();
    if (count > kStripLines) {
        const std::size_t last = count - kStripLines;
        definitionLine_ =
            definitionLine_ >= last ? 0 : std::min(definitionLine_ + kStripLines, last);
    }
    return true;
}

bool AnalysisPanel::moveSelection(WParam key)
{
    if (!selected_ || (key != VK_UP && key != VK_DOWN)) {
        return false;
    }
    std::size_t index = *selected_;
    if (key == VK_UP && index > 0) {
        --index;
    } else if (key == VK_DOWN && index + 1 < words_.size()) {
        ++index;
    }
    if (index < top_) {
        top_ = index;
    } else if (index >= top_ + kVisibleRows) {
        top_ = index + 1 - kVisibleRows;
    }
    if (index != *selected_) {
        // The pointer's row rule picks the word from the rows as they now stand.
        choose(index);
    }
    return true;
}

bool AnalysisPanel::scrollKey(WParam key)
{
    // As the arrow buttons scroll: a press of Up or Down is one step, a page the rows shown.
    constexpr std::size_t kStepsPerPage = 4;
    std::size_t steps = 0;
    bool down = true;
    switch (key) {
        case VK_UP:
        case VK_DOWN:
            steps = 1;
            down = key == VK_DOWN;
            break;
        case VK_PRIOR:
        case VK_NEXT:
            steps = kStepsPerPage;
            down = key == VK_NEXT;
            break;
        case VK_HOME:
        case VK_END:
            steps = words_.size();
            down = key == VK_END;
            break;
        default:
            return false;
    }
    for (std::size_t i = 0; i < steps; ++i) {
        handleInput(WM_BUTTON_COMMAND, down ? kAnalysisDown : kAnalysisUp, 0);
    }
    return true;
}

bool AnalysisPanel::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    // Shift with Up or Down scrolls the meaning; alone they move the mark or the list.
    if (message == WM_KEYDOWN && (lParam & kKeyShiftHeld) != 0 &&
        (wParam == VK_UP || wParam == VK_DOWN)) {
        scrollStrip(wParam == VK_UP ? -1 : 1);
        return true;
    }
    if (message == WM_KEYDOWN && (moveSelection(wParam) || scrollKey(wParam))) {
        return true;
    }
    if (message == WM_MOUSEWHEEL) {
        const std::int32_t x = game_.pointerX();
        const std::int32_t y = game_.pointerY();
        if (x >= kStripLeft && x < kStripLeft + kStripWidth && y >= kStripTop &&
            y < kStripTop + kStripLineStep * static_cast<std::int32_t>(kStripLines)) {
            // A line a notch; a finer wheel's part notch still moves one.
            const std::int32_t delta = static_cast<std::int16_t>(hiWord(wParam));
            const std::int32_t notches = delta / kWheelNotch;
            scrollStrip(-(notches != 0 ? notches : (delta > 0) - (delta < 0)));
        }
        return true;
    }
    if (message == WM_LBUTTONDOWN && clickStrip()) {
        return true;
    }
    if (message == WM_LBUTTONDOWN) {
        clickRow();
    }
    if (message != WM_BUTTON_COMMAND || wParam > kAnalysisByLength) {
        return ButtonPanel::handleInput(message, wParam, lParam);
    }
    switch (static_cast<std::int32_t>(wParam)) {
        case kAnalysisUp:
            top_ = top_ >= kScrollStep + 1 ? top_ - kScrollStep : 0;
            break;
        case kAnalysisDown:
            if (top_ + kScrollStep + 1 < words_.size()) {
                top_ += kScrollStep;
            }
            break;
        case kAnalysisClose:
            closeSelf();
            return true;
        case kAnalysisAlphabetical:
            alphabetical_ = true;
            sortAlphabetically();
            break;
        case kAnalysisByLength:
            alphabetical_ = false;
            sortByLength();
            break;
        default:
            break;
    }
    return true;
}

void AnalysisPanel::draw()
{
    ButtonPanel::draw();
    panels::setCommonTextStyle();
    graphics::Display& display = graphics::display();
    if (const game::WordRow* row = game_.playerRow()) {
        display.drawText(kTextX, kPlayerWordY, row->word());
    }
    if (const game::WordRow* row = game_.computerRow()) {
        display.drawText(kTextX, kComputerWordY, row->word());
    }
    std::size_t index = top_;
    for (std::int32_t y = kFirstRowY; y < kRowsEndY && index < words_.size(); y += kRowStep) {
        display.drawText(kTextX, y, words_[index]);
        // The chosen word's row inverted, its text with it.
        if (selected_ == index) {
            display.invertRect(kRowLeft, y + kRowTopOffset, kRowWidth, kRowStep - 1);
        }
        ++index;
    }
    if (definition_) {
        const std::vector<std::string>& lines = stripLines();
        display.setFontParameter(0, kStripEm);
        display.setFontParameter(1, 0);
        for (std::size_t i = 0; i < kStripLines && definitionLine_ + i < lines.size(); ++i) {
            display.drawText(kStripLeft, kStripTop + kStripLineStep * static_cast<std::int32_t>(i),
                             lines[definitionLine_ + i]);
        }
        if (lines.size() > kStripLines) {
            // Which page of the meaning shows, on the strip's last line at its right.
            const std::size_t pages = (lines.size() + kStripLines - 1) / kStripLines;
            const std::size_t page = definitionLine_ + kStripLines >= lines.size()
                                         ? pages
                                         : definitionLine_ / kStripLines + 1;
            char place[48];
            std::snprintf(place, sizeof place, "%zu/%zu", page, pages);
            display.drawText(
                kStripLeft + kStripWidth - display.textWidth(place),
                kStripTop + kStripLineStep * static_cast<std::int32_t>(kStripLines - 1), place);
        }
        panels::setCommonTextStyle();
    }
    char count[16];
    std::snprintf(count, sizeof count, "%zu", words_.size());
    display.drawTextBox(421, 100, 84, 22, count, graphics::kTextCenter);
}

void AnalysisPanel::describe(nlohmann::ordered_json& fields) const
{
    fields["wordCount"] = words_.size();
    fields["top"] = top_;
    fields["alphabetical"] = alphabetical_;
    fields["selected"] = selected_ ? nlohmann::ordered_json(words_[*selected_]) : nullptr;
    fields["definition"] = definition_ ? nlohmann::ordered_json(*definition_) : nullptr;
    fields["definitionLine"] = definitionLine_;
}

}  // namespace wordlark::screens
