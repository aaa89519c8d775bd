#include "archive/ObjectFactory.h"

#include <array>

#include "archive/Archive.h"
#include "archive/FourCC.h"

namespace wordlark::archive {

namespace {

struct TagMaker {
    std::uint32_t tag;
    ObjectMaker maker;
};

std::unique_ptr<ArchiveObject> makePlainObject(std::string_view entryName, Archive& archive)
{
    return std::make_unique<ArchiveObject>(entryName, archive.header().name);
}

std::array<TagMaker, 7>& tagTable()
{
    static std::array<TagMaker, 7> table = {{
        {fileTag("gla0"), makePlainObject},
        {fileTag("fon0"), makePlainObject},
        {fileTag("fon6"), makePlainObject},
        {fileTag("fons"), makePlainObject},
        {fileTag("ani0"), makePlainObject},
        {fileTag("bit6"), makePlainObject},
        {fileTag("bitm"), makePlainObject},
    }};
    return table;
}

TagMaker* findTag(std::uint32_t tag)
{
    for (TagMaker& entry : tagTable()) {
        if (entry.tag == tag) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

bool isPictureTag(std::uint32_t tag)
{
    return findTag(tag) != nullptr;
}

bool registerObjectMaker(std::uint32_t tag, ObjectMaker maker)
{
    TagMaker* entry = findTag(tag);
    if (!entry) {
        return false;
    }
    entry->maker = maker ? maker : makePlainObject;
    return true;
}

std::unique_ptr<ArchiveObject> makeTypedObject(std::uint32_t tag, std::string_view entryName,
                                               Archive& archive)
{
    const TagMaker* entry = findTag(tag);
    return entry ? entry->maker(entryName, archive) : nullptr;
}

}  // namespace wordlark::archive
