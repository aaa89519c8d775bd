// MainWindow.h -- the window procedure: input to the game, frames on the timer, focus, caption.
#pragma once

#include <cstdint>

#include "platform/Desktop.h"

namespace wordlark::app {

class Shell;

// The band at the top of the window that drags it, and the corner that opens its menu.
inline constexpr std::int32_t kCaptionHeight = 30;
inline constexpr std::int32_t kCaptionRight = 550;
inline constexpr std::int32_t kMenuCornerWidth = 92;
inline constexpr std::int32_t kMenuCornerHeight = 48;

class MainWindow {
public:
    explicit MainWindow(Shell& shell) : shell_(shell) {}

    platform::LResult procedure(platform::WindowId window, platform::MessageId message,
                                platform::WParam wParam, platform::LParam lParam);

    bool inactive() const { return inactive_; }
    bool quitting() const { return quitting_; }
    bool pointerSaved() const { return pointerSaved_; }

private:
    platform::LResult hitTest(platform::WindowId window, platform::WParam wParam,
                              platform::LParam lParam);
    platform::LResult frameButton(platform::WindowId window, platform::MessageId message,
                                  platform::WParam wParam, platform::LParam lParam);

    Shell& shell_;
    bool inactive_ = false;
    bool quitting_ = false;
    bool pointerSaved_ = false;
    std::uint16_t savedX_ = 0;
    std::uint16_t savedY_ = 0;
};

}  // namespace wordlark::app
