// PanelHost.h -- what panels need from their owner: its two slots, and the last pointer.
#pragma once

#include <cstdint>
#include <memory>

namespace wordlark::panels {

class Panel;

// The owner of the panel slots (the game). Panels know it only through this, so the panel
// framework sits below the game without a cycle.
class PanelHost {
public:
    virtual ~PanelHost() = default;
    // Destroys the panel in the modal slot, if any, and empties the slot. May destroy the
    // panel that is calling: the caller touches nothing of its own afterwards.
    virtual void closeModalPanel() = 0;
    // The same for the menu overlay's slot.
    virtual void closeMenuOverlay() = 0;
    // Puts a panel in the modal slot, replacing (and destroying) whatever was there. The menu
    // opens the screens it offers this way while it sinks away in its own slot.
    virtual void openModalPanel(std::unique_ptr<Panel> panel) = 0;
};

// The current host; null while none is installed (closing then does nothing).
PanelHost* panelHost();
void setPanelHost(PanelHost* host);

// The pointer in window coordinates as the last WM_MOUSEMOVE gave it (signed 16-bit values).
// Presses and releases are hit-tested against it, not against their own coordinates.
std::int32_t& pointerX();
std::int32_t& pointerY();

}  // namespace wordlark::panels
