#include "screens/PasswordEntry.h"

#include "game/Players.h"
#include "graphics/Display.h"
#include "screens/PlayerSelection.h"

namespace wordlark::screens {

using namespace platform;

namespace {

panels::ButtonRow table[] = {
    {0, "ep_ok", nullptr},
    {1, "ep_cansel", nullptr},
    {-1, "", nullptr},
};

constexpr std::int32_t kTextX = 172;
constexpr std::int32_t kTextY = 180;
// The cursor shows in the first 10 frames of every 20.
constexpr std::int32_t kBlinkCycle = 20;
constexpr std::int32_t kBlinkShown = 10;

}  // namespace

// Escape is this panel's own: the framework's would close the owner, the slot's panel.
PasswordEntry::PasswordEntry(panels::PanelHost& host, std::string_view backgroundName,
                             bool startEmpty, std::string_view prefill, PlayerSelection& owner)
    : ButtonPanel(host, backgroundName, table, false),
      startEmpty_(startEmpty),
      field_(startEmpty ? std::string_view() : prefill.substr(0, game::kMaxTypedLength)),
      owner_(owner)
{
}

bool PasswordEntry::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                return close(field_);
            }
            if (wParam == VK_ESCAPE) {
                return close({});
            }
            if (wParam == VK_BACK && !field_.empty()) {
                field_.pop_back();
            }
            break;
        case WM_CHAR: {
            const auto c = static_cast<unsigned char>(wParam & 0xFF);
            // The Space that presses the focused button comes as a character too: not typed.
            const bool pressedRing = c == ' ' && ring().focused() != nullptr;
            if (!pressedRing && game::isPasswordCharacter(c) &&
                field_.size() < game::kMaxTypedLength) {
                field_ += static_cast<char>(c);
            }
            break;
        }
        case WM_BUTTON_COMMAND:
            if (wParam == 0) {
                return close(field_);
            }
            if (wParam == 1) {
                return close({});
            }
            break;
        default:
            break;
    }
    return ButtonPanel::handleInput(message, wParam, lParam);
}

bool PasswordEntry::close(std::string password)
{
    owner_.passwordClosed(std::move(password));
    return false;
}

void PasswordEntry::draw()
{
    ButtonPanel::draw();
    if (++blinkCounter_ >= kBlinkCycle) {
        blinkCounter_ = 0;
    }
    std::string text(field_.size(), '*');
    if (blinkCounter_ < kBlinkShown) {
        text += '_';
    }
    panels::setCommonTextStyle();
    graphics::display().drawText(kTextX, kTextY, text);
}

}  // namespace wordlark::screens
