// SurfaceStore.h -- system-memory surfaces with fixed addresses, as every backend keeps them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "platform/Surface.h"

namespace wordlark::platform {

class SurfaceStore {
public:
    // Makes a zeroed width x height surface of 8 or 16 bits per pixel, rows on 4-byte
    // boundaries and at least minimumPitch apart. False, leaving `surface` empty, for sizes
    // outside 1..8192 or out of memory.
    bool create(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                std::int32_t minimumPitch, Surface& surface);
    // Frees a surface made here and empties the record; an empty one is ignored.
    void release(Surface& surface);

    std::size_t size() const { return surfaces_.size(); }

private:
    std::uint32_t nextId_ = 1;
    std::map<std::uint32_t, std::unique_ptr<std::uint8_t[]>> surfaces_;
};

}  // namespace wordlark::platform
