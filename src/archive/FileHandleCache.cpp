#include "archive/FileHandleCache.h"

#include <unistd.h>
#include <cstdlib>

#include "archive/RegularFile.h"
#include "platform/ProgramFolder.h"

namespace wordlark::archive {

FileHandleCache& FileHandleCache::instance()
{
    // Never destroyed: a reader in another static object may give its descriptor back after
    // the exit hook has run, and must then find an empty cache rather than a dead one.
    static FileHandleCache* const cache = [] {
        auto* made = new FileHandleCache;
        std::atexit([] { FileHandleCache::instance().closeAll(); });
        return made;
    }();
    return *cache;
}

int FileHandleCache::acquire(const std::string& path, std::string* reason)
{
    // The stored key field holds 15 characters, but cutting keys would let two files whose
    // names share their first 15 characters share one descriptor: the whole key is compared.
    const std::string& folder = platform::programFolder();
    const bool outside = !path.starts_with(folder);
    const std::string key = outside ? path : path.substr(folder.size());

    for (Node& node : nodes_) {
        if (node.outside == outside && node.key == key) {
            ++node.references;
            return node.descriptor;
        }
    }
    // A FIFO named like the archive would otherwise hold start-up in open() for ever.
    const int descriptor = openRegularFile(path, reason);
    if (descriptor < 0) {
        return descriptor;
    }
    nodes_.insert(nodes_.begin(), Node{key, outside, descriptor, 1});
    return descriptor;
}

void FileHandleCache::release(int descriptor)
{
    for (auto it = nodes_.begin(); it != nodes_.end(); ++it) {
        if (it->descriptor == descriptor) {
            if (--it->references <= 0) {
                ::close(it->descriptor);
                nodes_.erase(it);
            }
            return;
        }
    }
}

void FileHandleCache::closeAll()
{
    for (const Node& node : nodes_) {
        ::close(node.descriptor);
    }
    nodes_.clear();
}

}  // namespace wordlark::archive
