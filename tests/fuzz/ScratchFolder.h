// ScratchFolder.h -- where a fuzz target puts each input as a file.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace wordlark::fuzz {

// In memory when the system offers a memory-backed folder, because a disk-backed one spends
// most of each run writing. One per process (see scratch()), removed at exit.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "wordlark-fuzz-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data()) ? pattern + "/" : "";
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Ends with a separator; empty when no folder could be made.
    const std::string& folder() const { return folder_; }
    // Replaces the file `name` in the folder with these bytes.
    void write(const std::string& name, const std::uint8_t* data, std::size_t size) const
    {
        std::ofstream out(folder_ + name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

private:
    std::string folder_;
};

inline const ScratchFolder& scratch()
{
    static const ScratchFolder folder;
    return folder;
}

}  // namespace wordlark::fuzz
