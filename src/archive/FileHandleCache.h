// FileHandleCache.h -- one read-only descriptor per archive file, shared by reference count.
#pragma once

#include <cstddef>
#include <string>

namespace wordlark::archive {

class FileHandleCache {
public:
    // The process-wide cache; descriptors still open at exit are closed then.
    static FileHandleCache& instance();

    // A descriptor for the path, shared with earlier users of the same file; negative on
    // failure. Paths inside the program folder are keyed by their part after the folder.
    int acquire(const std::string& path);
    void release(int descriptor);

    std::size_t openCount() const;  // descriptors held, for tests

    ~FileHandleCache();

private:
    FileHandleCache() = default;
    struct Node;
    Node* head_ = nullptr;
};

}  // namespace wordlark::archive
