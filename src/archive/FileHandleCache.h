// FileHandleCache.h -- one read-only descriptor per archive file, shared by reference count.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace wordlark::archive {

class FileHandleCache {
public:
    // The process-wide cache; descriptors still open at exit are closed then.
    static FileHandleCache& instance();

    // A descriptor for the path, shared with earlier users of the same file; negative on
    // failure, with one line in *reason (when given) that says why. Only a regular file is
    // opened. Paths inside the program folder are keyed by their part after the folder.
    int acquire(const std::string& path, std::string* reason = nullptr);
    // Gives one reference back; the last one closes the descriptor. Unknown descriptors
    // are ignored.
    void release(int descriptor);

    std::size_t openCount() const { return nodes_.size(); }  // descriptors held, for tests

    // Closes every descriptor still held (the exit hook).
    void closeAll();

private:
    FileHandleCache() = default;
    ~FileHandleCache() = default;

    struct Node {
        std::string key;
        bool outside = false;  // key is a whole path, not one inside the program folder
        int descriptor = -1;
        int references = 0;
    };
    std::vector<Node> nodes_;  // newest first
};

}  // namespace wordlark::archive
