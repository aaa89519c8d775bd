#include "panels/ButtonPanel.h"

#include "graphics/ImageResource.h"
#include "panels/ImageReferences.h"

namespace wordlark::panels {

ButtonPanel::ButtonPanel(PanelHost& host, std::string_view backgroundName, ButtonRow* buttons,
                         bool closesOnEscape)
    : Panel(host, backgroundName), closesOnEscape_(closesOnEscape), buttons_(buttons)
{
    for (ButtonRow* row = buttons_; row && !row->isEnd(); ++row) {
        made_.push_back(
            std::make_unique<Button>(host, row->name(), kPictureArchive, row->commandId));
        row->button = made_.back().get();
        row->button->loadImage();
    }
    std::vector<Button*> ringButtons;
    for (const auto& button : made_) {
        ringButtons.push_back(button.get());
    }
    ring_.setButtons(std::move(ringButtons));
}

ButtonPanel::~ButtonPanel()
{
    std::size_t index = 0;
    for (ButtonRow* row = buttons_; row && !row->isEnd() && index < made_.size(); ++row) {
        if (row->button == made_[index++].get()) {
            row->button = nullptr;
        }
    }
}

bool ButtonPanel::handleInput(platform::MessageId message, platform::WParam wParam,
                              platform::LParam lParam)
{
    if (message == platform::WM_KEYDOWN && wParam == platform::VK_ESCAPE && closesOnEscape_) {
        Panel::handleInput(message, wParam, lParam);
        return false;
    }
    if (message == platform::WM_KEYDOWN && ring_.handleKey(wParam, lParam)) {
        return true;
    }
    if (message == platform::WM_LBUTTONDOWN) {
        ring_.hide();
    }
    for (const auto& button : made_) {
        button->handleMouse(message);
    }
    return true;
}

bool ButtonPanel::closeOnCommand(std::int32_t closeId, platform::MessageId message,
                                 platform::WParam wParam, platform::LParam lParam)
{
    if (message == platform::WM_BUTTON_COMMAND &&
        wParam == static_cast<platform::WParam>(closeId)) {
        ButtonPanel::handleInput(platform::WM_KEYDOWN, platform::VK_ESCAPE, 0);
        return true;
    }
    return ButtonPanel::handleInput(message, wParam, lParam);
}

void ButtonPanel::draw()
{
    if (background_) {
        background_->draw();
    }
    for (const auto& button : made_) {
        button->tick();
    }
    ring_.draw();
}

Button* ButtonPanel::buttonFor(std::int32_t commandId) const
{
    for (const auto& button : made_) {
        if (button->commandId() == commandId) {
            return button.get();
        }
    }
    return nullptr;
}

}  // namespace wordlark::panels
