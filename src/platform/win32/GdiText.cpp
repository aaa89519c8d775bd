#include "platform/win32/GdiText.h"

#include <algorithm>
#include <cstring>

#include "platform/CodePage.h"
#include "platform/win32/DeviceContextSource.h"
#include "platform/win32/DibSection.h"

#include <windows.h>

namespace wordlark::platform::win32 {

namespace {

// Enough for every size the game asks for; a program asking for many more starts afresh.
constexpr std::size_t kMaxFonts = 64;
constexpr std::int32_t kMaxScratchSide = 4096;

// Windows-1252 as the wide characters the system draws, for a system of another code page.
std::wstring wideOf(std::string_view text)
{
    std::wstring wide;
    wide.reserve(text.size());
    for (const char byte : text) {
        wide.push_back(static_cast<wchar_t>(cp1252ToCodePoint(static_cast<unsigned char>(byte))));
    }
    return wide;
}

int lengthOf(std::string_view text)
{
    return static_cast<int>(std::min<std::size_t>(text.size(), 1 << 20));
}

}  // namespace

GdiText::GdiText(DeviceContextSource* contexts)
    : contexts_(contexts), ansiIs1252_(GetACP() == 1252), measuring_(CreateCompatibleDC(nullptr))
{
}

GdiText::~GdiText()
{
    if (scratchDc_ != nullptr) {
        SelectObject(scratchDc_, static_cast<HGDIOBJ>(scratchPrevious_));
        DeleteDC(scratchDc_);
    }
    if (scratch_ != nullptr) {
        DeleteObject(scratch_);
    }
    if (measuring_ != nullptr) {
        DeleteDC(measuring_);
    }
    for (const auto& [key, font] : fonts_) {
        DeleteObject(font);
    }
}

bool GdiText::available()
{
    return measuring_ != nullptr;
}

HFONT GdiText::fontFor(const TextStyle& style)
{
    FontKey key;
    for (int i = 0; i < FontParameters::kCount; ++i) {
        key.first[static_cast<std::size_t>(i)] = style.font.get(i);
    }
    key.second = style.faceName;
    const auto found = fonts_.find(key);
    if (found != fonts_.end()) {
        return found->second;
    }
    if (fonts_.size() >= kMaxFonts) {
        // None is selected anywhere between calls, so all may go.
        for (const auto& [unused, font] : fonts_) {
            DeleteObject(font);
        }
        fonts_.clear();
    }
    const FontParameters& f = style.font;
    // A face name longer than the system's 31 characters is cut, as the system would.
    const std::string face = style.faceName.substr(0, LF_FACESIZE - 1);
    HFONT font = CreateFontA(f.height, f.width, f.escapement, f.orientation, f.weight,
                             static_cast<DWORD>(f.italic), static_cast<DWORD>(f.underline),
                             static_cast<DWORD>(f.strikeOut), static_cast<DWORD>(f.charSet),
                             static_cast<DWORD>(f.outPrecision),
                             static_cast<DWORD>(f.clipPrecision), static_cast<DWORD>(f.quality),
                             static_cast<DWORD>(f.pitchAndFamily), face.c_str());
    if (font != nullptr) {
        fonts_.emplace(std::move(key), font);
    }
    return font;
}

TextMetrics GdiText::metrics(const TextStyle& style)
{
    TextMetrics result;
    HFONT font = fontFor(style);
    if (measuring_ == nullptr || font == nullptr) {
        return result;
    }
    HGDIOBJ previous = SelectObject(measuring_, font);
    TEXTMETRICA metrics{};
    if (GetTextMetricsA(measuring_, &metrics) != 0) {
        result.ascent = metrics.tmAscent;
        result.descent = metrics.tmDescent;
        result.averageWidth = metrics.tmAveCharWidth;
    }
    SelectObject(measuring_, previous);
    return result;
}

std::int32_t GdiText::extent(HDC dc, std::string_view text)
{
    SIZE size{};
    if (text.empty()) {
        return 0;
    }
    if (ansiIs1252_) {
        GetTextExtentPoint32A(dc, text.data(), lengthOf(text), &size);
    } else {
        const std::wstring wide = wideOf(text);
        GetTextExtentPoint32W(dc, wide.data(), lengthOf(text), &size);
    }
    return size.cx;
}

std::int32_t GdiText::lineWidth(const TextStyle& style, std::string_view text)
{
    HFONT font = fontFor(style);
    if (measuring_ == nullptr || font == nullptr) {
        return 0;
    }
    HGDIOBJ previous = SelectObject(measuring_, font);
    const std::int32_t width = extent(measuring_, text);
    SelectObject(measuring_, previous);
    return width;
}

std::string GdiText::faceChosen(const TextStyle& style)
{
    HFONT font = fontFor(style);
    if (measuring_ == nullptr || font == nullptr) {
        return {};
    }
    HGDIOBJ previous = SelectObject(measuring_, font);
    char face[LF_FACESIZE + 1] = {};
    GetTextFaceA(measuring_, LF_FACESIZE, face);
    SelectObject(measuring_, previous);
    return face;
}

void GdiText::drawInto(HDC dc, std::int32_t x, std::int32_t y, std::string_view text,
                       const TextStyle& style, const TextRect& clip)
{
    HFONT font = fontFor(style);
    if (font == nullptr) {
        return;
    }
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    SelectObject(dc, font);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    SetTextColor(dc, style.textColor);
    SetBkMode(dc, style.opaque ? OPAQUE : TRANSPARENT);
    SetBkColor(dc, style.backColor);
    if (ansiIs1252_) {
        TextOutA(dc, x, y, text.data(), lengthOf(text));
    } else {
        const std::wstring wide = wideOf(text);
        TextOutW(dc, x, y, wide.data(), lengthOf(text));
    }
    RestoreDC(dc, saved);
    // GDI may hold drawing back in a batch; the game writes the same pixels directly next.
    GdiFlush();
}

bool GdiText::ensureScratch(std::int32_t width, std::int32_t height)
{
    if (width <= scratchWidth_ && height <= scratchHeight_) {
        return true;
    }
    width = std::max(width, scratchWidth_);
    height = std::max(height, scratchHeight_);
    width += width & 1;  // even, so the rows are exactly width * 2 bytes apart
    if (scratchDc_ == nullptr) {
        scratchDc_ = CreateCompatibleDC(nullptr);
        if (scratchDc_ == nullptr) {
            return false;
        }
    }
    void* bits = nullptr;
    HBITMAP bitmap = createDibSection(width, height, 16, &bits);
    if (bitmap == nullptr) {
        return false;
    }
    HGDIOBJ previous = SelectObject(scratchDc_, bitmap);
    if (scratch_ != nullptr) {
        DeleteObject(scratch_);
    } else {
        scratchPrevious_ = previous;
    }
    scratch_ = bitmap;
    scratchPixels_ = static_cast<std::uint16_t*>(bits);
    scratchWidth_ = width;
    scratchHeight_ = height;
    return true;
}

std::int32_t GdiText::drawLine(const Surface& frame, std::int32_t x, std::int32_t y,
                               std::string_view text, const TextStyle& style, const TextRect& clip)
{
    const std::int32_t width = lineWidth(style, text);
    if (text.empty() || frame.empty() || frame.bitsPerPixel != 16) {
        return width;
    }
    const TextRect bounds{std::max(clip.left, 0), std::max(clip.top, 0),
                          std::min(clip.right, frame.width), std::min(clip.bottom, frame.height)};
    if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) {
        return width;
    }
    if (HDC dc = contexts_ != nullptr ? contexts_->deviceContext(frame) : nullptr) {
        drawInto(dc, x, y, text, style, bounds);
        return width;
    }
    // The rows the glyphs can touch: the cell, with room around it for what leans or hangs
    // past the advance (italics, overhangs); only they are copied out and back.
    const std::int64_t margin = std::max(metrics(style).height(), 1);
    const TextRect area{
        static_cast<std::int32_t>(std::max<std::int64_t>(bounds.left, x - margin)),
        static_cast<std::int32_t>(std::max<std::int64_t>(bounds.top, y - margin)),
        static_cast<std::int32_t>(
            std::min<std::int64_t>(bounds.right, std::int64_t{x} + width + margin)),
        static_cast<std::int32_t>(std::min<std::int64_t>(bounds.bottom, y + 2 * margin))};
    const std::int32_t areaWidth = area.right - area.left;
    const std::int32_t areaHeight = area.bottom - area.top;
    if (areaWidth <= 0 || areaHeight <= 0 || areaWidth > kMaxScratchSide ||
        areaHeight > kMaxScratchSide || !ensureScratch(areaWidth, areaHeight)) {
        return width;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(areaWidth) * 2;
    for (std::int32_t row = 0; row < areaHeight; ++row) {
        std::memcpy(scratchPixels_ + static_cast<std::ptrdiff_t>(row) * scratchWidth_,
                    frame.row16(area.top + row) + area.left, rowBytes);
    }
    drawInto(scratchDc_, x - area.left, y - area.top, text, style, {0, 0, areaWidth, areaHeight});
    for (std::int32_t row = 0; row < areaHeight; ++row) {
        std::memcpy(frame.row16(area.top + row) + area.left,
                    scratchPixels_ + static_cast<std::ptrdiff_t>(row) * scratchWidth_, rowBytes);
    }
    return width;
}

}  // namespace wordlark::platform::win32
