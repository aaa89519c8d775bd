// YesNoDialog.h -- a yes/no question; in exit mode its yes ends the program.
#pragma once

#include <string_view>

#include "panels/ButtonPanel.h"

namespace wordlark::screens {

class YesNoDialog : public panels::ButtonPanel {
public:
    YesNoDialog(panels::PanelHost& host, std::string_view backgroundName, bool exitMode);

    // Yes closes the window in exit mode, then the dialog; no and Escape only close it.
    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    std::string_view className() const override { return "YesNoDialog"; }
    void describe(nlohmann::ordered_json& fields) const override;

    bool exitMode() const { return exitMode_; }

private:
    bool exitMode_;
};

}  // namespace wordlark::screens
