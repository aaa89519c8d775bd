// PanelHost.h -- the owner of the panels: its two slots, the pictures, the pointer, the press.
#pragma once

#include <cstdint>
#include <memory>

#include "panels/ImageReferences.h"

namespace wordlark::panels {

class Button;
class Panel;

// The owner of the panel slots (the game). Panels and buttons know it only through this, so
// the framework sits below the game without a cycle; what every button shares (the pointer,
// which button holds the press) lives here rather than in process-wide values.
class PanelHost {
public:
    explicit PanelHost(archive::ArchiveRegistry& registry) : images_(registry) {}
    virtual ~PanelHost() = default;
    PanelHost(const PanelHost&) = delete;
    PanelHost& operator=(const PanelHost&) = delete;

    // Destroys the panel in the modal slot, if any, and empties the slot. May destroy the
    // panel that is calling: the caller touches nothing of its own afterwards.
    virtual void closeModalPanel() = 0;
    // The same for the menu overlay's slot.
    virtual void closeMenuOverlay() = 0;
    // Puts a panel in the modal slot, replacing (and destroying) whatever was there. The menu
    // opens the screens it offers this way while it sinks away in its own slot.
    virtual void openModalPanel(std::unique_ptr<Panel> panel) = 0;

    // Where the panels' and buttons' pictures come from.
    ImageReferences& images() { return images_; }

    // The pointer in window coordinates as the last WM_MOUSEMOVE gave it (signed 16-bit
    // values). Presses and releases are hit-tested against it, not their own coordinates.
    std::int32_t pointerX() const { return pointerX_; }
    std::int32_t pointerY() const { return pointerY_; }
    void setPointer(std::int32_t x, std::int32_t y)
    {
        pointerX_ = x;
        pointerY_ = y;
    }

    // Some button took a press and holds the capture; no other button lights up meanwhile.
    bool buttonHeld() const { return buttonHeld_; }
    void setButtonHeld(bool held) { buttonHeld_ = held; }
    // The button that took the last press, compared by identity only; a button that goes
    // clears it, so a later one made at the same address does not inherit the press.
    const Button* pressedButton() const { return pressedButton_; }
    void setPressedButton(const Button* button) { pressedButton_ = button; }

private:
    ImageReferences images_;
    std::int32_t pointerX_ = 0;
    std::int32_t pointerY_ = 0;
    bool buttonHeld_ = false;
    const Button* pressedButton_ = nullptr;
};

}  // namespace wordlark::panels
