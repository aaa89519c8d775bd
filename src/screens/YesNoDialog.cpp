#include "screens/YesNoDialog.h"

#include <nlohmann/json.hpp>

#include "platform/Desktop.h"

namespace wordlark::screens {

using namespace platform;

namespace {
panels::ButtonRow table[] = {
    {0, "yn_ok", nullptr},
    {1, "yn_no", nullptr},
    {-1, "", nullptr},
};
}  // namespace

YesNoDialog::YesNoDialog(panels::PanelHost& host, std::string_view backgroundName, bool exitMode)
    : ButtonPanel(host, backgroundName, table, true), exitMode_(exitMode)
{
}

bool YesNoDialog::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    if (message == WM_BUTTON_COMMAND && wParam == 0) {
        if (exitMode_) {
            postMessage(mainWindow(), WM_CLOSE);
        }
        ButtonPanel::handleInput(WM_KEYDOWN, VK_ESCAPE, 0);
        return true;
    }
    if (message == WM_BUTTON_COMMAND && wParam == 1) {
        closeSelf();
        return true;
    }
    return ButtonPanel::handleInput(message, wParam, lParam);
}

void YesNoDialog::describe(nlohmann::ordered_json& fields) const
{
    fields["exitMode"] = exitMode_;
}

}  // namespace wordlark::screens
