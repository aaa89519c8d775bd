#include "screens/Panel.h"

#include "graphics/ImageResource.h"
#include "screens/ImageReferences.h"
#include "screens/PanelHost.h"

namespace wordlark::screens {

Panel::Panel(std::string_view backgroundName) : background_(acquireImage(backgroundName))
{
    loadBackground();
}

Panel::~Panel() = default;

bool Panel::handleInput(platform::MessageId message, platform::WParam wParam,
                        platform::LParam /*lParam*/)
{
    if (message == platform::WM_KEYDOWN && wParam == platform::VK_ESCAPE) {
        if (PanelHost* host = panelHost()) {
            host->closeModalPanel();
        }
    }
    return true;
}

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

}  // namespace wordlark::screens
