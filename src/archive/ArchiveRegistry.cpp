#include "archive/ArchiveRegistry.h"

#include "platform/CodePage.h"

namespace wordlark::archive {

ArchiveRegistry::ArchiveRegistry(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {}

ArchiveRegistry::~ArchiveRegistry()
{
    // Objects first, while every archive is still registered: a picture that holds another
    // gives it back from its destructor, possibly to a different archive.
    closing_ = true;
    for (Registered& registered : archives_) {
        registered.archive->destroyObjects();
    }
    while (!archives_.empty()) {
        std::unique_ptr<Archive> archive = std::move(archives_.front().archive);
        archives_.erase(archives_.begin());
    }
}

Archive* ArchiveRegistry::openArchive(std::string_view fileName, std::string* reason)
{
    // Keys are not cut to the 15 characters of the stored name: two long names sharing their
    // first 15 characters stay two archives.
    const std::string key = platform::toUpperCp1252(fileName);
    for (const Registered& registered : archives_) {
        if (registered.key == key) {
            return registered.archive.get();
        }
    }
    // Archives live in the data folder: a name with a separator (one read from a damaged
    // header, say) must not reach a file elsewhere.
    if (closing_ || fileName.empty() ||
        fileName.find_first_of(std::string_view("\0/\\", 3)) != std::string_view::npos) {
        if (reason) {
            // Built by appending: g++ 12 takes "'" + std::string(...) for an overlapping copy.
            *reason =
                closing_
                    ? std::string("the archives are being closed")
                    : std::string("'").append(fileName).append("' is not an archive file name");
        }
        return nullptr;
    }
    std::unique_ptr<Archive> archive =
        Archive::open(dataFolder_ + std::string(fileName), files_, reason);
    if (!archive) {
        return nullptr;
    }
    Archive* result = archive.get();
    archives_.insert(archives_.begin(), Registered{key, std::move(archive)});
    return result;
}

ArchiveObject* ArchiveRegistry::acquireObject(std::string_view entryName,
                                              std::string_view archiveFile)
{
    Archive* archive = openArchive(archiveFile);
    return archive ? archive->makeObject(entryName) : nullptr;
}

void ArchiveRegistry::releaseObject(ArchiveObject* object)
{
    if (!object) {
        return;
    }
    // Only a live object may be asked for its archive name: one destroyed at shut-down can
    // still be given back by a picture that held it.
    bool held = false;
    for (const Registered& registered : archives_) {
        held = held || registered.archive->objectReferences(object) > 0;
    }
    if (!held) {
        return;
    }
    if (Archive* archive = openArchive(object->archiveName())) {
        archive->releaseMadeObject(object);
    }
}

}  // namespace wordlark::archive
