#include "panels/ImageReferences.h"

#include "archive/ArchiveRegistry.h"
#include "graphics/ImageResource.h"

namespace wordlark::panels {

namespace {
archive::ArchiveRegistry* currentRegistry = nullptr;
}  // namespace

archive::ArchiveRegistry* imageRegistry()
{
    return currentRegistry;
}

void setImageRegistry(archive::ArchiveRegistry* registry)
{
    currentRegistry = registry;
}

graphics::ImageResource* acquireImage(std::string_view name, std::string_view archiveFile)
{
    if (!currentRegistry) {
        return nullptr;
    }
    archive::ArchiveObject* object = currentRegistry->acquireObject(name, archiveFile);
    auto* image = dynamic_cast<graphics::ImageResource*>(object);
    if (!image && object) {
        // An entry of another kind (a word list, say) is not a picture: keep no hold on it.
        currentRegistry->releaseObject(object);
    }
    return image;
}

void releaseImage(graphics::ImageResource* image)
{
    if (image && currentRegistry) {
        currentRegistry->releaseObject(image);
    }
}

}  // namespace wordlark::panels
