#include "screens/AboutPanel.h"

namespace wordlark::screens {

using namespace platform;

namespace {
panels::ButtonRow table[] = {
    {0, "ab_ok", nullptr},
    {-1, "", nullptr},
};
}  // namespace

AboutPanel::AboutPanel(panels::PanelHost& host, std::string_view backgroundName)
    : ButtonPanel(host, backgroundName, table, true)
{
}

bool AboutPanel::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    return closeOnCommand(0, message, wParam, lParam);
}

}  // namespace wordlark::screens
