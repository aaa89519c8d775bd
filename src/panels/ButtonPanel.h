// ButtonPanel.h -- a panel whose clickable areas are the buttons of its class's table.
#pragma once

#include <memory>
#include <vector>

#include "panels/Button.h"
#include "panels/ButtonRow.h"
#include "panels/FocusRing.h"
#include "panels/Panel.h"

namespace wordlark::panels {

class ButtonPanel : public Panel {
public:
    // Makes and loads one button per table row up to the empty-named end row, storing each
    // in its row. The table must outlive the panel.
    ButtonPanel(PanelHost& host, std::string_view backgroundName, ButtonRow* buttons,
                bool closesOnEscape);
    // Deletes the panel's buttons and clears the table's places that still show them.
    ~ButtonPanel() override;

    // Escape closes the panel when it closes on Escape (false: the panel is gone); Tab,
    // Shift+Tab, Space and Return move and press the focus ring; every other message goes to
    // the buttons in table order (true). A mouse press hides the ring.
    bool handleInput(platform::MessageId message, platform::WParam wParam,
                     platform::LParam lParam) override;
    // The background, then every button's tick in table order, then the focus ring.
    void draw() override;
    const Button* focusedButton() const override { return ring_.focused(); }

    bool closesOnEscape() const { return closesOnEscape_; }
    ButtonRow* buttons() const { return buttons_; }
    // The button made for the row of that command, or null.
    Button* buttonFor(std::int32_t commandId) const;

protected:
    FocusRing& ring() { return ring_; }
    // The input of a panel whose button of command `closeId` closes it as Escape does (the
    // panel is gone after it); every other message goes to ButtonPanel::handleInput.
    bool closeOnCommand(std::int32_t closeId, platform::MessageId message, platform::WParam wParam,
                        platform::LParam lParam);

private:
    bool closesOnEscape_;
    ButtonRow* buttons_;
    // The buttons this panel made, in table order. Input and drawing go through these rather
    // than the shared table, so a second panel of the class made before the first is gone
    // (replacing a slot's panel does that) cannot leave the first deleting the second's.
    std::vector<std::unique_ptr<Button>> made_;
    FocusRing ring_;
};

}  // namespace wordlark::panels
