#include "screens/AboutPanel.h"

namespace wordlark::screens {

using namespace platform;

namespace {
panels::ButtonRow table[] = {
    {0, "ab_ok", nullptr},
    {-1, "", nullptr},
};
}  // namespace

AboutPanel::AboutPanel(std::string_view backgroundName) : ButtonPanel(backgroundName, table, true)
{
}

bool AboutPanel::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    if (message == WM_BUTTON_COMMAND && wParam == 0) {
        ButtonPanel::handleInput(WM_KEYDOWN, VK_ESCAPE, 0);
        return true;
    }
    return ButtonPanel::handleInput(message, wParam, lParam);
}

}  // namespace wordlark::screens
