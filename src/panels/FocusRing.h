// FocusRing.h -- the keyboard's mark on one screen's buttons: Tab moves it, Space presses.
#pragma once

#include <vector>

#include "platform/Messages.h"

namespace wordlark::panels {

class Button;

// Every screen keeps one over its own buttons. It goes over the enabled ones in reading order
// (top to bottom, left to right within a row), shows once a key has moved it, and hides at the
// next mouse press, so the mouse player never sees it.
class FocusRing {
public:
    // The buttons of the screen, in any order; they must outlive the ring (or be replaced).
    void setButtons(std::vector<Button*> buttons) { buttons_ = std::move(buttons); }

    // Tab and Shift+Tab move the ring; Space, and Return while the ring is shown, press the
    // focused button. True when the key was taken.
    bool handleKey(platform::WParam key, platform::LParam flags);
    // To the next (or previous) enabled button in reading order, from the focused one; from
    // none, the first (or the last). Shows the ring; false when no button is enabled.
    bool move(bool forward);
    // Posts the focused button's command, as a click would; false when none is focused.
    bool press() const;
    // The next Tab starts again from the first button, as after a click nothing is focused.
    void hide()
    {
        shown_ = false;
        current_ = nullptr;
    }

    // The button the ring is on, when it is shown and the button enabled; else null.
    const Button* focused() const;
    // Draws the ring around the focused button, in the pictures' amber between dark edges so
    // it stands out on light and dark backgrounds alike.
    void draw() const;

private:
    std::vector<Button*> readingOrder() const;

    std::vector<Button*> buttons_;
    const Button* current_ = nullptr;
    bool shown_ = false;
};

}  // namespace wordlark::panels
