#include "platform/SurfaceStore.h"

#include <new>

namespace wordlark::platform {

namespace {

constexpr std::int32_t kMaxSurfaceSide = 8192;

}  // namespace

bool SurfaceStore::create(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                          std::int32_t minimumPitch, Surface& surface)
{
    surface = Surface{};
    if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide ||
        (bitsPerPixel != 8 && bitsPerPixel != 16)) {
        return false;
    }
    // Rows start on 4-byte boundaries, as the platform surfaces this stands in for do.
    std::int32_t pitch = (width * (bitsPerPixel / 8) + 3) & ~3;
    if (minimumPitch > pitch && minimumPitch <= kMaxSurfaceSide * 4) {
        pitch = (minimumPitch + 3) & ~3;
    }
    const std::size_t bytes = static_cast<std::size_t>(pitch) * static_cast<std::size_t>(height);
    std::unique_ptr<std::uint8_t[]> memory(new (std::nothrow) std::uint8_t[bytes]());
    if (!memory) {
        return false;
    }
    surface.id = nextId_++;
    surface.pixels = memory.get();
    surface.width = width;
    surface.height = height;
    surface.pitch = pitch;
    surface.bitsPerPixel = bitsPerPixel;
    surfaces_.emplace(surface.id, std::move(memory));
    return true;
}

void SurfaceStore::release(Surface& surface)
{
    if (surface.id != 0) {
        surfaces_.erase(surface.id);
    }
    surface = Surface{};
}

}  // namespace wordlark::platform
