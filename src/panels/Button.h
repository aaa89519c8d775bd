// Button.h -- a clickable picture that turns a press and release over it into a command.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Messages.h"

namespace wordlark::graphics {
class ImageResource;
}

namespace wordlark::panels {

// The frames of every button picture. The idle look is part of the background behind it.
inline constexpr std::int32_t kFrameHighlighted = 0;
inline constexpr std::int32_t kFramePressed = 1;
inline constexpr std::int32_t kFrameDisabled = 2;

// Drawing passes a held auto-repeat button waits before it repeats, once per pass after.
inline constexpr std::int32_t kRepeatDelay = 5;

class PanelHost;

class Button {
public:
    // Takes the picture from the host's archives (not yet loaded) and clears the host's held
    // press. The host must outlive the button.
    Button(PanelHost& host, std::string_view imageName, std::string_view archiveFile,
           std::int32_t commandId);
    // The picture stays with the archive's cache for the next holder.
    virtual ~Button();
    Button(const Button&) = delete;
    Button& operator=(const Button&) = delete;

    void loadImage();
    // Places the picture; its own offsets still apply.
    void setPosition(std::int32_t x, std::int32_t y);
    // Disabling shows frame 2 from now on; enabling changes no frame.
    void setEnabled(bool flag);
    // Every input message of the owning panel, in table order; only the mouse ones count.
    void handleMouse(platform::MessageId message);
    // Once per drawing pass: draws when highlighted, held or disabled; repeats when held.
    void tick();
    // The key's press: posts the command a click posts, when enabled.
    void press() const;
    // The picture's archive entry, as the replay state names the button; empty without one.
    std::string_view imageName() const;

    std::int32_t commandId() const { return commandId_; }
    std::int32_t repeatCount() const { return repeatCount_; }
    bool enabled() const { return enabled_; }
    bool hover() const { return hover_; }
    // Owners that re-enable buttons clear the highlight first.
    void setHover(bool flag) { hover_ = flag; }
    bool autoRepeat() const { return autoRepeat_; }
    void setAutoRepeat(bool flag) { autoRepeat_ = flag; }
    graphics::ImageResource* image() const { return image_; }

private:
    bool pointerOnImage() const;
    void showFrame(std::int32_t frame);
    void postCommand() const;

    PanelHost& host_;
    std::int32_t commandId_;
    std::int32_t repeatCount_ = 0;
    bool enabled_ = true;
    graphics::ImageResource* image_;
    bool hover_ = false;
    bool autoRepeat_ = false;
};

}  // namespace wordlark::panels
