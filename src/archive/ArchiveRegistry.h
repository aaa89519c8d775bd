// ArchiveRegistry.h -- the open archives of one data folder, keyed by upper-cased file name.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/Archive.h"
#include "archive/FileHandleCache.h"

namespace wordlark::archive {

class ArchiveRegistry {
public:
    explicit ArchiveRegistry(std::string dataFolder);
    ~ArchiveRegistry();
    ArchiveRegistry(const ArchiveRegistry&) = delete;
    ArchiveRegistry& operator=(const ArchiveRegistry&) = delete;

    // The archive of that file name in the data folder, opened on first use. A failed
    // open registers nothing, so a later call tries the file again; *reason (when given)
    // gets one line saying why it failed.
    Archive* openArchive(std::string_view fileName, std::string* reason = nullptr);

    // The shared typed object of an entry (the caller loads it), and giving it back.
    ArchiveObject* acquireObject(std::string_view entryName, std::string_view archiveFile);
    // Finds the object's archive by the archive name the object copied from its header, so
    // an object whose header name is not its file name is never given back. Objects that no
    // registered archive holds (already destroyed, or foreign) are ignored untouched.
    void releaseObject(ArchiveObject* object);

    const std::string& dataFolder() const { return dataFolder_; }
    // The descriptors its archives read through.
    const FileHandleCache& files() const { return files_; }

private:
    struct Registered {
        std::string key;  // the whole upper-cased file name
        std::unique_ptr<Archive> archive;
    };
    // Declared first so that it outlives every archive that reads through it.
    FileHandleCache files_;
    std::vector<Registered> archives_;  // newest first
    std::string dataFolder_;
    bool closing_ = false;  // shut-down: no archive is opened any more
};

}  // namespace wordlark::archive
