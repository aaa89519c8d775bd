#include "panels/FocusRing.h"

#include <algorithm>

#include "graphics/Display.h"
#include "graphics/ImageResource.h"
#include "panels/Button.h"

namespace wordlark::panels {

namespace {

// The pictures' light hot amber and their darkest frame colour, as 0x00BBGGRR.
constexpr graphics::ColorRef kRingAmber = 0xA0ECFF;
constexpr graphics::ColorRef kRingEdge = 0x1E0B0C;
// How far outside the button's picture the ring's outer edge lies; the pictures keep a margin
// of their own, so a strip of the background shows between the ring and the button.
constexpr std::int32_t kRingGap = 5;
// The amber's width between the one-pixel dark edges.
constexpr std::int32_t kRingWidth = 3;

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
    for (std::int32_t inset = 1; inset <= kRingWidth; ++inset) {
        display.frameRect(x + inset, y + inset, w - 2 * inset, h - 2 * inset, kRingAmber);
    }
    const std::int32_t inner = kRingWidth + 1;
    display.frameRect(x + inner, y + inner, w - 2 * inner, h - 2 * inner, kRingEdge);
}

}  // namespace wordlark::panels
