// Panel.h -- the base of every screen and dialog: a background picture, input and drawing.
#pragma once

#include <string_view>

#include "platform/Messages.h"

namespace wordlark::graphics {
class ImageResource;
}

namespace wordlark::screens {

// Panels are not windows: the game holds them in its slots, passes them its input messages
// and draws them on top of its own screen once per frame.
class Panel {
public:
    // Takes the background of that name from the picture archive and loads it.
    explicit Panel(std::string_view backgroundName);
    // The background stays with the archive's cache for the next panel that names it.
    virtual ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    // The close request: Escape destroys the modal panel (usually this one) and clears its
    // slot. Always true. A panel that has destroyed itself returns at once.
    virtual bool handleInput(platform::MessageId message, platform::WParam wParam,
                             platform::LParam lParam);
    virtual void draw() = 0;

    // Loads the background again (the game does so when it reloads its own pictures).
    void loadBackground();
    graphics::ImageResource* background() const { return background_; }

protected:
    // Asks for the close request as Escape would; the caller must return at once after it.
    bool closeSelf();

    graphics::ImageResource* background_;
};

}  // namespace wordlark::screens
