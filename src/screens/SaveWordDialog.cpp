#include "screens/SaveWordDialog.h"

#include "game/Game.h"

namespace wordlark::screens {

using namespace platform;

namespace {
panels::ButtonRow table[] = {
    {0, "sw_ok", nullptr},
    {1, "sw_cansel", nullptr},
    {-1, "", nullptr},
};
}  // namespace

SaveWordDialog::SaveWordDialog(std::string_view backgroundName, game::Game& game)
    : ButtonPanel(game, backgroundName, table, false), game_(game)
{
}

bool SaveWordDialog::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    const bool yes = (message == WM_KEYDOWN && wParam == VK_RETURN) ||
                     (message == WM_BUTTON_COMMAND && wParam == 0);
    const bool no = (message == WM_KEYDOWN && wParam == VK_ESCAPE) ||
                    (message == WM_BUTTON_COMMAND && wParam == 1);
    if (!yes && !no) {
        return ButtonPanel::handleInput(message, wParam, lParam);
    }
    game_.saveWordAnswer(yes);
    closeSelf();
    return true;
}

}  // namespace wordlark::screens
