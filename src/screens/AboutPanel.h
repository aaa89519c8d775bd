// AboutPanel.h -- the picture about the game, with one button that closes it.
#pragma once

#include <string_view>

#include "panels/ButtonPanel.h"

namespace wordlark::screens {

class AboutPanel : public panels::ButtonPanel {
public:
    AboutPanel(panels::PanelHost& host, std::string_view backgroundName);

    // Its button and Escape close it; Enter does nothing.
    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    std::string_view className() const override { return "AboutPanel"; }
};

}  // namespace wordlark::screens
