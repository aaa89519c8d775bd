// ArchiveObject.h -- the base of every object the archive's factory makes (the pictures).
#pragma once

#include <string_view>

#include "archive/DirectoryRecord.h"

namespace wordlark::archive {

// A typed object made from one entry. It remembers its entry name and the name of its
// archive (from the archive's header), by which the registry finds its archive again when
// the object is given back.
class ArchiveObject {
public:
    ArchiveObject(std::string_view entryName, std::string_view archiveName);
    virtual ~ArchiveObject();
    ArchiveObject(const ArchiveObject&) = delete;
    ArchiveObject& operator=(const ArchiveObject&) = delete;

    // Gives back the loaded content; called when the last reference goes.
    virtual void unload() {}

    const char* entryName() const { return entryName_; }
    const char* archiveName() const { return archiveName_; }

private:
    char entryName_[kNameField] = {};
    char archiveName_[kNameField] = {};
};

}  // namespace wordlark::archive
