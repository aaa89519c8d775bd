#include "platform/web/WebInput.h"

#include <array>
#include <cmath>
#include <utility>

#include "platform/CodePage.h"
#include "platform/platform.h"

namespace wordlark::platform::web {

namespace {

// The named keys the game knows, by the page's name for them.
constexpr std::array<std::pair<std::string_view, WParam>, 20> kNamedKeys{{
    {"Backspace", VK_BACK}, {"Tab", VK_TAB},        {"Enter", VK_RETURN},
    {"Escape", VK_ESCAPE},  {" ", VK_SPACE},        {"Delete", VK_DELETE},
    {"ArrowLeft", VK_LEFT}, {"ArrowUp", VK_UP},     {"ArrowRight", VK_RIGHT},
    {"ArrowDown", VK_DOWN}, {"Shift", VK_SHIFT},    {"Control", VK_CONTROL},
    {"PageUp", VK_PRIOR},   {"PageDown", VK_NEXT},  {"Home", VK_HOME},
    {"End", VK_END},        {"Alt", VK_MENU},       {"AltGraph", VK_MENU},
    {"Esc", VK_ESCAPE},     {"Spacebar", VK_SPACE},
}};

}  // namespace

std::optional<WParam> virtualKey(std::string_view key, std::string_view code)
{
    if (key.size() == 1) {
        const char c = key[0];
        if (c >= 'a' && c <= 'z') {
            return static_cast<WParam>('A' + (c - 'a'));
        }
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            return static_cast<WParam>(c);
        }
    }
    for (const auto& [name, vk] : kNamedKeys) {
        if (key == name) {
            return vk;
        }
    }
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'F') {
        int n = 0;
        for (const char c : key.substr(1)) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            n = n * 10 + (c - '0');
        }
        if (n >= 1 && n <= 12) {
            return VK_F1 + static_cast<WParam>(n - 1);
        }
        return std::nullopt;
    }
    // A digit typed with Shift (or in a layout whose top row types other characters) is still
    // the digit's key, as a desktop reports it; so is the keypad's.
    for (const std::string_view prefix : {std::string_view("Digit"), std::string_view("Numpad")}) {
        if (code.size() == prefix.size() + 1 && code.substr(0, prefix.size()) == prefix &&
            code.back() >= '0' && code.back() <= '9') {
            return static_cast<WParam>(code.back());
        }
    }
    if (code == "NumpadEnter") {
        return VK_RETURN;
    }
    return std::nullopt;
}

LParam keyFlags(bool repeat, bool shift, bool alt)
{
    LParam flags = repeat ? kKeyWasDown | 1 : 1;
    if (shift) {
        flags |= kKeyShiftHeld;
    }
    if (alt) {
        flags |= kKeyAltHeld;
    }
    return flags;
}

std::string typedText(std::string_view key, bool ctrlOrMeta)
{
    if (ctrlOrMeta || key.empty()) {
        return {};
    }
    // A named key's name is several characters; a typed one is a single code point, one to
    // four bytes of UTF-8.
    const auto lead = static_cast<unsigned char>(key[0]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (key.size() != length) {
        return {};
    }
    std::string text = typedToCp1252(key);
    // Control characters are keys, not text, as on the desktop.
    if (text.size() == 1 && static_cast<unsigned char>(text[0]) < 0x20) {
        return {};
    }
    return text;
}

Point toFrame(double x, double y, double shownWidth, double shownHeight)
{
    if (shownWidth <= 0 || shownHeight <= 0) {
        return {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    }
    return {static_cast<std::int32_t>(std::floor(x * kFrameWidth / shownWidth)),
            static_cast<std::int32_t>(std::floor(y * kFrameHeight / shownHeight))};
}

}  // namespace wordlark::platform::web
