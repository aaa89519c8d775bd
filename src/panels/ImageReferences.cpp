#include "panels/ImageReferences.h"

#include "archive/ArchiveRegistry.h"
#include "graphics/ImageResource.h"

namespace wordlark::panels {

graphics::ImageResource* ImageReferences::acquire(std::string_view name,
                                                  std::string_view archiveFile)
{
    archive::ArchiveObject* object = registry_.acquireObject(name, archiveFile);
    auto* image = dynamic_cast<graphics::ImageResource*>(object);
    if (!image && object) {
        // An entry of another kind (a word list, say) is not a picture: keep no hold on it.
        registry_.releaseObject(object);
    }
    return image;
}

void ImageReferences::release(graphics::ImageResource* image)
{
    if (image) {
        registry_.releaseObject(image);
    }
}

}  // namespace wordlark::panels
