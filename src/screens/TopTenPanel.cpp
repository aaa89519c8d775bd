#include "screens/TopTenPanel.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "graphics/Display.h"
#include "platform/CodePage.h"

namespace wordlark::screens {

using namespace platform;

namespace {

panels::ButtonRow table[] = {
    {0, "top_ok", nullptr},
    {-1, "", nullptr},
};

constexpr std::int32_t kNameX = 160;
constexpr std::int32_t kFirstRowY = 114;
constexpr std::int32_t kRowStep = 22;
constexpr std::int32_t kRatingX = 359;
constexpr std::int32_t kRatingWidth = 56;

}  // namespace

TopTenPanel::TopTenPanel(panels::PanelHost& host, std::string_view backgroundName,
                         std::string_view playerFolder)
    : ButtonPanel(host, backgroundName, table, true), entries_(game::readTopTen(playerFolder))
{
}

bool TopTenPanel::handleInput(MessageId message, WParam wParam, LParam lParam)
{
    return closeOnCommand(0, message, wParam, lParam);
}

void TopTenPanel::draw()
{
    ButtonPanel::draw();
    graphics::Display& display = graphics::display();
    std::int32_t y = kFirstRowY;
    for (const game::TopTenEntry& entry : entries_) {
        if (!entry.name.empty()) {
            char rating[16];
            std::snprintf(rating, sizeof rating, "%d", static_cast<int>(entry.rating));
            display.drawText(kNameX, y, entry.name);
            display.drawTextBox(kRatingX, y, kRatingWidth, kRowStep, rating, graphics::kTextCenter);
        }
        y += kRowStep;
    }
}

void TopTenPanel::describe(nlohmann::ordered_json& fields) const
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const game::TopTenEntry& entry : entries_) {
        if (!entry.name.empty()) {
            list.push_back({{"name", cp1252ToUtf8(entry.name)}, {"rating", entry.rating}});
        }
    }
    fields["entries"] = std::move(list);
}

}  // namespace wordlark::screens
