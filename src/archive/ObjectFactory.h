// ObjectFactory.h -- the tag table: which class the archive makes for an entry's tag.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "archive/ArchiveObject.h"

namespace wordlark::archive {

class Archive;

using ObjectMaker = std::unique_ptr<ArchiveObject> (*)(std::string_view entryName,
                                                       Archive& archive);

// The picture tags: "gla0", "fon0", "fon6", "fons", "ani0", "bit6", "bitm".
bool isPictureTag(std::uint32_t tag);

// The graphics subsystem installs its classes here; a picture tag without a maker gets a
// plain ArchiveObject so that sharing and reference counting work before graphics exists.
// A null maker puts the plain ArchiveObject back. Returns false for a tag that is not in
// the table.
bool registerObjectMaker(std::uint32_t tag, ObjectMaker maker);

// Makes the object for a tag; none for a tag outside the table (0 included).
std::unique_ptr<ArchiveObject> makeTypedObject(std::uint32_t tag, std::string_view entryName,
                                               Archive& archive);

}  // namespace wordlark::archive
