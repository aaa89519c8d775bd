// ImageReferences.h -- taking shared pictures from the archives by name and giving them back.
#pragma once

#include <string_view>

namespace wordlark::archive {
class ArchiveRegistry;
}
namespace wordlark::graphics {
class ImageResource;
}

namespace wordlark::panels {

// The archive file every panel and button picture comes from.
inline constexpr std::string_view kPictureArchive = "vek.heap";

// The pictures of one registry, as the panels, buttons and the game take and give them back.
class ImageReferences {
public:
    // The registry must outlive every picture taken through this.
    explicit ImageReferences(archive::ArchiveRegistry& registry) : registry_(registry) {}

    // The shared picture of that entry, not yet loaded; null when the archive or entry is
    // missing or the entry is not a picture. The caller loads it.
    graphics::ImageResource* acquire(std::string_view name,
                                     std::string_view archiveFile = kPictureArchive);
    // Gives one reference back; null is ignored. The last one unloads and deletes the picture.
    void release(graphics::ImageResource* image);

    archive::ArchiveRegistry& registry() { return registry_; }

private:
    archive::ArchiveRegistry& registry_;
};

}  // namespace wordlark::panels
