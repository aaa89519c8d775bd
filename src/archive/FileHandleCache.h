// FileHandleCache.h -- one read-only descriptor per archive file, shared by reference count.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace wordlark::archive {

// The open-file list of one archive registry (or of a tool that opens archives itself). Every
// archive opened through it must be gone before it goes.
class FileHandleCache {
public:
    FileHandleCache() = default;
    // Closes every descriptor still held.
    ~FileHandleCache();
    FileHandleCache(const FileHandleCache&) = delete;
    FileHandleCache& operator=(const FileHandleCache&) = delete;

    // A descriptor for the path, shared with earlier users of the same file; negative on
    // failure, with one line in *reason (when given) that says why. Only a regular file is
    // opened.
    int acquire(const std::string& path, std::string* reason = nullptr);
    // Gives one reference back; the last one closes the descriptor. Unknown descriptors
    // are ignored.
    void release(int descriptor);

    std::size_t openCount() const { return nodes_.size(); }  // descriptors held, for tests

    // Closes every descriptor still held.
    void closeAll();

private:
    struct Node {
        std::string path;
        int descriptor = -1;
        int references = 0;
    };
    std::vector<Node> nodes_;  // newest first
};

}  // namespace wordlark::archive
