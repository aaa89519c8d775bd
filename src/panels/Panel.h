// Panel.h -- the base of every screen and dialog: a background picture, input and drawing.
#pragma once

#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "platform/Messages.h"

namespace wordlark::graphics {
class ImageResource;
}

namespace wordlark::panels {

class Button;
class PanelHost;

// Panels are not windows: the game holds them in its slots, passes them its input messages
// and draws them on top of its own screen once per frame.
class Panel {
public:
    // Takes the background of that name from the host's pictures and loads it. The host
    // holds the panel and outlives it.
    Panel(PanelHost& host, std::string_view backgroundName);
    // The background stays with the archive's cache for the next panel that names it.
    virtual ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    // The close request: Escape destroys the modal panel (usually this one) and clears its
    // slot. Always true. A panel that has destroyed itself returns at once.
    virtual bool handleInput(platform::MessageId message, platform::WParam wParam,
                             platform::LParam lParam);
    virtual void draw() = 0;

    // The class's own name, as the replay state shows which panel is in front.
    virtual std::string_view className() const = 0;
    // The panel's own fields for the replay state, into an object; none by default.
    virtual void describe(nlohmann::ordered_json& fields) const;

    // The button the keyboard's focus ring is on, when one is shown; none by default.
    virtual const Button* focusedButton() const { return nullptr; }

    // Loads the background again (the game does so when it reloads its own pictures).
    void loadBackground();
    graphics::ImageResource* background() const { return background_; }
    PanelHost& host() const { return host_; }

protected:
    // Asks for the close request as Escape would; the caller must return at once after it.
    bool closeSelf();

    PanelHost& host_;
    graphics::ImageResource* background_;
};

// The text style every panel that writes text relies on: black, transparent, 16 pixels high,
// 6 wide. The game screen sets it before the panels are drawn.
void setCommonTextStyle();

}  // namespace wordlark::panels
