// TopTenPanel.h -- the ten best rated players of the save folder, read once when it opens.
#pragma once

#include <string_view>
#include <vector>

#include "game/Players.h"
#include "panels/ButtonPanel.h"

namespace wordlark::screens {

class TopTenPanel : public panels::ButtonPanel {
public:
    TopTenPanel(panels::PanelHost& host, std::string_view backgroundName,
                std::string_view playerFolder);

    // Its ok button and Escape close it.
    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    // Writes in the common text style the game screen has set.
    void draw() override;
    std::string_view className() const override { return "TopTenPanel"; }
    void describe(nlohmann::ordered_json& fields) const override;

    const std::vector<game::TopTenEntry>& entries() const { return entries_; }

private:
    std::vector<game::TopTenEntry> entries_;
};

}  // namespace wordlark::screens
