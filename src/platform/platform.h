// platform.h -- the video half of the platform seam: the window target, surfaces, palette.
#pragma once

#include <array>
#include <cstdint>

#include "platform/Surface.h"

namespace wordlark::platform {

// The main window as the backends know it. The game never looks inside; 0 is no window.
using WindowId = std::uint32_t;
inline constexpr WindowId kNoWindow = 0;

// One colour of a 256-entry palette.
struct PaletteColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;
    bool operator==(const PaletteColor&) const = default;
};
using PaletteColors = std::array<PaletteColor, 256>;

// A palette object made by the backend; 0 is no palette.
using PaletteId = std::uint32_t;
inline constexpr PaletteId kNoPalette = 0;

// What the window's desktop offers: colour depth in bits per pixel and resolution.
struct DesktopMode {
    std::int32_t bitsPerPixel = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The video half of a backend. One is current at a time (see video()); every call runs on
// the thread that owns the main window.
class Video {
public:
    virtual ~Video() = default;

    // Starts video for the window in ordinary windowed co-operation: no exclusive mode and
    // no change of the desktop's mode. False when the backend cannot serve the window.
    virtual bool connect(WindowId window) = 0;
    // Ends what connect started; harmless when not connected. Surfaces must be released first.
    virtual void disconnect() = 0;

    // Takes hold of the window as a drawing target (what presentation copies to) and
    // reports the desktop it sits on. False when the window cannot be drawn to.
    virtual bool acquireWindowTarget(DesktopMode& mode) = 0;
    // Lets go of the window target; harmless when not held.
    virtual void releaseWindowTarget() = 0;

    // Makes a width x height surface of 16 (RGB565) or 8 (indexed) bits per pixel with rows
    // `pitch` bytes apart, pitch at least minimumPitch. False, leaving `surface` empty,
    // when not connected or out of memory.
    virtual bool createSurface(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                               std::int32_t minimumPitch, Surface& surface) = 0;
    // Frees a surface made by createSurface and empties the record; an empty one is ignored.
    virtual void releaseSurface(Surface& surface) = 0;

    // Makes a palette object; it lives until the process ends.
    virtual PaletteId createPalette(const PaletteColors& colors) = 0;
    // Selects a palette into the window target as the foreground palette and returns the one
    // it replaces (kNoPalette when none was selected). Only meaningful on an 8-bit desktop.
    virtual PaletteId selectPalette(PaletteId palette) = 0;
    // Whether the desktop keeps its static system colours (true) or gives the whole palette
    // to the window (false).
    virtual void setStaticSystemColors(bool keepStatic) = 0;
    // Maps the selected palette onto the desktop.
    virtual void realizePalette() = 0;

    // Copies a whole surface to the window target at (0, 0). An 8-bit surface is shown through
    // the selected palette. Does nothing without a window target.
    virtual void present(const Surface& surface) = 0;
};

// The current video backend. Start-up installs one before anything draws; using the seam
// with none installed is a programming error, reported on stderr before the process aborts.
Video& video();
// Installs a backend (null: none). The caller keeps ownership and must keep it alive while
// it is current.
void setVideo(Video* backend);

}  // namespace wordlark::platform
