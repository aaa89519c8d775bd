// PasswordEntry.h -- the password panel the player selection asks through; shows asterisks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "panels/ButtonPanel.h"

namespace wordlark::screens {

class PlayerSelection;

// Not a slot's panel: the player selection keeps it, passes it every message while it is open
// and draws it over itself. It closes through its owner, which destroys it.
class PasswordEntry : public panels::ButtonPanel {
public:
    // The field starts empty, or with `prefill` (cut to the 14 characters a password can
    // have) when startEmpty is false.
    PasswordEntry(panels::PanelHost& host, std::string_view backgroundName, bool startEmpty,
                  std::string_view prefill, PlayerSelection& owner);

    // Enter or ok hand the password to the owner, Escape or cancel close without one. False
    // when the panel has closed itself (it is gone).
    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    void draw() override;
    std::string_view className() const override { return "PasswordEntry"; }

    const std::string& field() const { return field_; }
    bool startsEmpty() const { return startEmpty_; }

private:
    // Hands the password (empty when cancelled) to the owner, which destroys this panel.
    bool close(std::string password);

    bool startEmpty_;
    std::string field_;
    PlayerSelection& owner_;
    std::int32_t blinkCounter_ = 0;
};

}  // namespace wordlark::screens
