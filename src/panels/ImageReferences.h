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

// The registry pictures are taken from; start-up installs it before any panel or button is
// made, and clears it (null) before the registry goes.
archive::ArchiveRegistry* imageRegistry();
void setImageRegistry(archive::ArchiveRegistry* registry);

// The shared picture of that entry, not yet loaded; null when no registry is installed, the
// archive or entry is missing, or the entry is not a picture. The caller loads it.
graphics::ImageResource* acquireImage(std::string_view name,
                                      std::string_view archiveFile = kPictureArchive);
// Gives one reference back; null is ignored. The last one unloads and deletes the picture.
void releaseImage(graphics::ImageResource* image);

}  // namespace wordlark::panels
