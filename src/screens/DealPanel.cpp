#include "screens/DealPanel.h"

#include <optional>
#include <utility>

#include <nlohmann/json.hpp>

#include "game/DealCode.h"
#include "game/Game.h"
#include "graphics/Display.h"
#include "panels/Button.h"
#include "platform/Desktop.h"

namespace wordlark::screens {

using namespace platform;

namespace {

panels::ButtonRow table[] = {
    {DealPanel::kPlay, "dl_play", nullptr},   {DealPanel::kCopy, "dl_copy", nullptr},
    {DealPanel::kDaily, "dl_daily", nullptr}, {DealPanel::kShare, "dl_share", nullptr},
    {DealPanel::kClose, "dl_close", nullptr}, {-1, "", nullptr},
};

constexpr std::int32_t kTextX = 176;
constexpr std::int32_t kCodeY = 186;
constexpr std::int32_t kTypedY = 238;
constexpr std::int32_t kMessageBox[4] = {160, 262, 320, 18};
// The caret shows for the first half of every second, as the player's name field's does.
constexpr std::int32_t kBlinkLast = 20;
constexpr std::int32_t kBlinkShown = 10;

bool isCodeCharacter(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '?' || c == ' ' || c == '-';
}

}  // namespace

DealPanel::DealPanel(game::Game& game) : ButtonPanel(game, "dl_fon", table, true), game_(game)
{
    refreshButtons();
}

void DealPanel::refreshButtons()
{
    // Play and Daily deal as "start" does, so they can when it can.
    const panels::Button* start = game_.button(game::kCommandStart);
    const bool canStart = start != nullptr && start->enabled();
    for (const std::int32_t id : {kPlay, kDaily}) {
        if (panels::Button* b = buttonFor(id); b != nullptr && b->enabled() != canStart) {
            b->setHover(false);
            b->setEnabled(canStart);
        }
    }
    if (panels::Button* b = buttonFor(kCopy)) {
        b->setEnabled(game_.dealCode().has_value());
    }
    if (panels::Button* b = buttonFor(kShare)) {
        b->setEnabled(game_.canShare());
    }
}

bool DealPanel::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    if (message == WM_BUTTON_COMMAND) {
        switch (static_cast<std::int32_t>(wParam)) {
            case kPlay:
                play();
                return true;
            case kCopy:
                copy();
                return true;
            case kDaily:
                daily();
                return true;
            case kShare:
                share();
                return true;
            case kClose:
                closeSelf();
                return false;
            default:
                return true;
        }
    }
    if (message == WM_CHAR) {
        const auto c = static_cast<unsigned char>(wParam & 0xFF);
        // The Space that pressed the focused button is not typed into the code too.
        if (wParam <= 0xFF && isCodeCharacter(c) && !(c == ' ' && ring().focused() != nullptr)) {
            if (typed_.size() < kMaxTyped) {
                typed_ += static_cast<char>(c);
            }
            return true;
        }
    }
    if (message == WM_KEYDOWN && wParam == VK_F8) {
        share();
        return true;
    }
    if (message == WM_KEYDOWN && wParam == VK_BACK) {
        if (!typed_.empty()) {
            typed_.pop_back();
        }
        return true;
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN && ring().focused() == nullptr) {
        play();
        return true;
    }
    return ButtonPanel::handleInput(message, wParam, lParam);
}

bool DealPanel::mayDeal()
{
    const panels::Button* start = game_.button(game::kCommandStart);
    if (start == nullptr || !start->enabled()) {
        message_ = "a new deal waits for this one's verdict";
        return false;
    }
    return true;
}

void DealPanel::play()
{
    std::string why;
    const std::optional<game::DealCode> code = game::DealCode::parse(typed_, &why);
    if (!code) {
        message_ = typed_.empty() ? "type a code of twelve letters" : why;
        return;
    }
    if (!mayDeal()) {
        return;
    }
    // The panel is gone once it closes; the deal is the game's.
    game::Game& game = game_;
    closeSelf();
    game.playCode(*code);
}

void DealPanel::copy()
{
    const std::optional<game::DealCode> code = game_.dealCode();
    if (!code) {
        return;
    }
    message_ = desktop().setClipboardText(code->text()) ? "copied " + code->text()
                                                        : "the clipboard would not take it";
}

void DealPanel::daily()
{
    if (!mayDeal()) {
        return;
    }
    game::Game& game = game_;
    closeSelf();
    game.playDaily();
}

void DealPanel::share()
{
    const std::optional<std::string> text = game_.shareText();
    if (!text) {
        message_ = "a daily deal's verdict comes first";
        return;
    }
    // The panel's text is the game's own code page: the squares stay on the clipboard.
    const std::string line = text->substr(0, text->find('\n'));
    const std::size_t score = line.find("  ");
    const std::size_t streak = line.rfind("streak");
    message_ =
        desktop().setClipboardText(*text)
            ? "result copied: " + line.substr(score + 2, line.find("  ", score + 2) - score - 2) +
                  ", " + line.substr(streak)
            : "the clipboard would not take it";
}

void DealPanel::draw()
{
    refreshButtons();
    ButtonPanel::draw();
    panels::setCommonTextStyle();
    graphics::Display& display = graphics::display();
    if (const std::optional<game::DealCode> code = game_.dealCode()) {
        display.drawText(kTextX, kCodeY, code->text());
    }
    std::string field = typed_;
    for (char& c : field) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    if (blinkCounter_ < kBlinkShown) {
        field += '_';
    }
    if (++blinkCounter_ > kBlinkLast) {
        blinkCounter_ = 0;
    }
    display.drawText(kTextX, kTypedY, field);
    if (!message_.empty()) {
        display.drawTextBox(kMessageBox[0], kMessageBox[1], kMessageBox[2], kMessageBox[3],
                            message_, graphics::kTextCenter);
    }
}

void DealPanel::describe(nlohmann::ordered_json& fields) const
{
    const std::optional<game::DealCode> code = game_.dealCode();
    fields["code"] = code ? nlohmann::ordered_json(code->text()) : nlohmann::ordered_json(nullptr);
    fields["typed"] = typed_;
    fields["message"] = message_;
    for (const auto& [id, name] :
         {std::pair{kPlay, "play"}, {kCopy, "copy"}, {kDaily, "daily"}, {kShare, "share"}}) {
        const panels::Button* b = buttonFor(id);
        fields[name] = b != nullptr && b->enabled();
    }
}

}  // namespace wordlark::screens
