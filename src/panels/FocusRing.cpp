#include "panels/FocusRing.h"

#include <algorithm>

#include "graphics/Display.h"
#include "graphics/ImageResource.h"
#include "panels/Button.h"

namespace wordlark::panels {

namespace {

// The pictures' amber and their darkest frame colour, as 0x00BBGGRR.
constexpr graphics::ColorRef kRingAmber = 0x50C4FF;
constexpr graphics::ColorRef kRingEdge = 0x1E0B0C;
// How far outside the button the ring's outer edge lies.
constexpr std::int32_t kRingGap = 4;

graphics::ImageResource::Bounds boundsOf(const Button& button)
{
    return button.image() != nullptr ? button.image()->bounds() : graphics::ImageResource::Bounds{};
}

}  // namespace

std::vector<Button*> FocusRing::readingOrder() const
{
    std::vector<Button*> order;
    for (Button* b : buttons_) {
        if (b != nullptr) {
            order.push_back(b);
        }
    }
    std::stable_sort(order.begin(), order.end(), [](const Button* a, const Button* b) {
        return boundsOf(*a).y < boundsOf(*b).y;
    });
    // Buttons whose tops lie within half the row's first height of each other share a row,
    // read left to right.
    auto rowStart = order.begin();
    while (rowStart != order.end()) {
        const auto first = boundsOf(**rowStart);
        const std::int32_t reach = first.y + std::max(first.height / 2, 1);
        auto rowEnd = std::find_if(rowStart, order.end(),
                                   [reach](const Button* b) { return boundsOf(*b).y >= reach; });
        std::stable_sort(rowStart, rowEnd, [](const Button* a, const Button* b) {
            return boundsOf(*a).x < boundsOf(*b).x;
        });
        rowStart = rowEnd;
    }
    return order;
}

bool FocusRing::move(bool forward)
{
    const std::vector<Button*> order = readingOrder();
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    const auto at = std::find(order.begin(), order.end(), current_);
    std::ptrdiff_t index = at == order.end() ? (forward ? -1 : count) : at - order.begin();
    for (std::ptrdiff_t step = 0; step < count; ++step) {
        index = forward ? (index + 1) % count : (index - 1 + count) % count;
        if (order[static_cast<std::size_t>(index)]->enabled()) {
            current_ = order[static_cast<std::size_t>(index)];
            shown_ = true;
            return true;
        }
    }
    return false;
}

bool FocusRing::press() const
{
    const Button* button = focused();
    if (button == nullptr) {
        return false;
    }
    button->press();
    return true;
}

bool FocusRing::handleKey(platform::WParam key, platform::LParam flags)
{
    if (key == platform::VK_TAB) {
        move((flags & platform::kKeyShiftHeld) == 0);
        return true;
    }
    if (key == platform::VK_SPACE || (key == platform::VK_RETURN && focused() != nullptr)) {
        press();
        return true;
    }
    return false;
}

const Button* FocusRing::focused() const
{
    if (!shown_ || current_ == nullptr) {
        return nullptr;
    }
    // Only a button still on this screen counts: the list may have been replaced.
    const bool present = std::find(buttons_.begin(), buttons_.end(), current_) != buttons_.end();
    return present && current_->enabled() ? current_ : nullptr;
}

void FocusRing::draw() const
{
    const Button* button = focused();
    if (button == nullptr) {
        return;
    }
    const auto b = boundsOf(*button);
    if (b.width <= 0 || b.height <= 0) {
        return;
    }
    graphics::Display& display = graphics::display();
    const std::int32_t x = b.x - kRingGap;
    const std::int32_t y = b.y - kRingGap;
    const std::int32_t w = b.width + 2 * kRingGap;
    const std::int32_t h = b.height + 2 * kRingGap;
    display.frameRect(x, y, w, h, kRingEdge);
    display.frameRect(x + 1, y + 1, w - 2, h - 2, kRingAmber);
    display.frameRect(x + 2, y + 2, w - 4, h - 4, kRingAmber);
    display.frameRect(x + 3, y + 3, w - 6, h - 6, kRingEdge);
}

}  // namespace wordlark::panels
