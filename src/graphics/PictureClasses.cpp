#include "graphics/PictureClasses.h"

#include <memory>
#include <string_view>

#include "archive/FourCC.h"
#include "archive/ObjectFactory.h"
#include "graphics/AnimationResource.h"
#include "graphics/BitmapResource.h"
#include "graphics/ImageResource.h"

namespace wordlark::graphics {

namespace {

template <typename Picture>
std::unique_ptr<archive::ArchiveObject> make(std::string_view entryName, archive::Archive& archive)
{
    return std::make_unique<Picture>(entryName, archive);
}

}  // namespace

void registerPictureClasses()
{
    using archive::fileTag;
    archive::registerObjectMaker(fileTag("gla0"), make<ImageResource>);
    archive::registerObjectMaker(fileTag("fon0"), make<ImageResource>);
    archive::registerObjectMaker(fileTag("fon6"), make<ImageResource>);
    archive::registerObjectMaker(fileTag("fons"), make<ImageResource>);
    archive::registerObjectMaker(fileTag("ani0"), make<AnimationResource>);
    archive::registerObjectMaker(fileTag("bitm"), make<BitmapResource>);
    archive::registerObjectMaker(fileTag("bit6"), make<BitmapResource>);
}

}  // namespace wordlark::graphics
