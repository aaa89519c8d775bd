#include "panels/Button.h"

#include "graphics/ImageResource.h"
#include "panels/ImageReferences.h"
#include "panels/PanelHost.h"
#include "platform/Desktop.h"

namespace wordlark::panels {

Button::Button(PanelHost& host, std::string_view imageName, std::string_view archiveFile,
               std::int32_t commandId)
    : host_(host), commandId_(commandId), image_(host.images().acquire(imageName, archiveFile))
{
    host_.setButtonHeld(false);
}

Button::~Button()
{
    // A later button made at the same address must not inherit this one's press.
    if (host_.pressedButton() == this) {
        host_.setPressedButton(nullptr);
    }
}

void Button::loadImage()
{
    if (image_) {
        image_->load();
    }
}

void Button::setPosition(std::int32_t x, std::int32_t y)
{
    if (image_) {
        image_->setPosition(x, y);
    }
}

void Button::setEnabled(bool flag)
{
    if (flag == enabled_) {
        return;
    }
    enabled_ = flag;
    if (!enabled_) {
        showFrame(kFrameDisabled);
    }
}

bool Button::pointerOnImage() const
{
    return image_ && image_->hitTest(host_.pointerX(), host_.pointerY()) != nullptr;
}

void Button::showFrame(std::int32_t frame)
{
    if (image_) {
        image_->selectFrame(frame);
    }
}

void Button::postCommand() const
{
    platform::postMessage(platform::mainWindow(), platform::WM_BUTTON_COMMAND,
                          static_cast<platform::WParam>(commandId_), 0);
}

void Button::press() const
{
    if (enabled_) {
        postCommand();
    }
}

std::string_view Button::imageName() const
{
    return image_ ? std::string_view(image_->entryName()) : std::string_view();
}

void Button::handleMouse(platform::MessageId message)
{
    if (!enabled_) {
        return;
    }
    switch (message) {
        case platform::WM_MOUSEMOVE:
            if (host_.buttonHeld()) {
                return;
            }
            if (pointerOnImage()) {
                showFrame(kFrameHighlighted);
                hover_ = true;
            } else {
                hover_ = false;
            }
            return;
        case platform::WM_LBUTTONDOWN:
            if (pointerOnImage()) {
                platform::setCapture(platform::mainWindow());
                showFrame(kFramePressed);
                hover_ = true;
                host_.setButtonHeld(true);
                repeatCount_ = 0;
                host_.setPressedButton(this);
            } else if (!host_.buttonHeld()) {
                hover_ = false;
            }
            return;
        case platform::WM_LBUTTONUP:
            platform::releaseCapture();
            if (pointerOnImage() && host_.pressedButton() == this) {
                showFrame(kFrameHighlighted);
                hover_ = true;
                postCommand();
                repeatCount_ = 0;
            } else {
                hover_ = false;
                showFrame(kFrameHighlighted);
            }
            host_.setButtonHeld(false);
            return;
        default:
            return;
    }
}

void Button::tick()
{
    if (!image_) {
        return;
    }
    if (hover_ || !enabled_) {
        image_->draw();
    }
    if (autoRepeat_ && image_->selectedFrame() == kFramePressed) {
        ++repeatCount_;
        if (repeatCount_ > kRepeatDelay) {
            postCommand();
            repeatCount_ = kRepeatDelay;
        }
    }
}

}  // namespace wordlark::panels
