#include "archive/FileHandleCache.h"

#include "archive/RegularFile.h"
#include "platform/FileIo.h"

namespace wordlark::archive {

FileHandleCache::~FileHandleCache()
{
    closeAll();
}

int FileHandleCache::acquire(const std::string& path, std::string* reason)
{
    // Files are told apart by their whole path: cutting keys short would let two files whose
    // names begin alike share one descriptor.
    for (Node& node : nodes_) {
        if (node.path == path) {
            ++node.references;
            return node.descriptor;
        }
    }
    // A FIFO named like the archive would otherwise hold start-up in open() for ever.
    const int descriptor = openRegularFile(path, reason);
    if (descriptor < 0) {
        return descriptor;
    }
    nodes_.insert(nodes_.begin(), Node{path, descriptor, 1});
    return descriptor;
}

void FileHandleCache::release(int descriptor)
{
    for (auto it = nodes_.begin(); it != nodes_.end(); ++it) {
        if (it->descriptor == descriptor) {
            if (--it->references <= 0) {
                platform::closeFile(it->descriptor);
                nodes_.erase(it);
            }
            return;
        }
    }
}

void FileHandleCache::closeAll()
{
    for (const Node& node : nodes_) {
        platform::closeFile(node.descriptor);
    }
    nodes_.clear();
}

}  // namespace wordlark::archive
