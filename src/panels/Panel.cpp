#include "panels/Panel.h"

#include <nlohmann/json.hpp>

#include "graphics/Display.h"
#include "graphics/ImageResource.h"
#include "panels/ImageReferences.h"
#include "panels/PanelHost.h"

namespace wordlark::panels {

Panel::Panel(PanelHost& host, std::string_view backgroundName)
    : host_(host), background_(host.images().acquire(backgroundName))
{
    loadBackground();
}

Panel::~Panel() = default;

bool Panel::handleInput(platform::MessageId message, platform::WParam wParam,
                        platform::LParam /*lParam*/)
{
    if (message == platform::WM_KEYDOWN && wParam == platform::VK_ESCAPE) {
        host_.closeModalPanel();
    }
    return true;
}

void Panel::describe(nlohmann::ordered_json& /*fields*/) const {}

void Panel::loadBackground()
{
    if (background_) {
        background_->load();
    }
}

bool Panel::closeSelf()
{
    return Panel::handleInput(platform::WM_KEYDOWN, platform::VK_ESCAPE, 0);
}

void setCommonTextStyle()
{
    graphics::Display& display = graphics::display();
    display.setTextColor(0x000000);
    display.setBackColor(0xFFFFFF);
    display.setBackMode(graphics::kBackTransparent);
    display.setFontParameter(0, 16);
    display.setFontParameter(1, 6);
}

}  // namespace wordlark::panels
