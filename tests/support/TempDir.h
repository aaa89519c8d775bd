// TempDir.h -- a scratch folder for one test, removed with everything in it afterwards.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace wordlark::test {

class TempDir {
public:
    TempDir() : path_(makeFolder()) {}
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder, ending in a separator, like the program folder.
    std::string folder() const { return path_.string() + "/"; }
    // Joined as text: on Windows a std::filesystem::path would take the name's bytes in one code
    // page and give them back in another.
    std::string file(const std::string& name) const { return path_.string() + "/" + name; }

    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        std::ofstream out(file(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    void writeText(const std::string& name, const std::string& text) const
    {
        std::ofstream out(file(name), std::ios::binary);
        out << text;
    }
    std::vector<std::uint8_t> read(const std::string& name) const
    {
        std::ifstream in(file(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    static std::filesystem::path makeFolder()
    {
#ifdef _WIN32
        // Windows has no mkdtemp: names are tried until one is new.
        std::random_device random;
        std::filesystem::path path;
        do {
            path =
                std::filesystem::temp_directory_path() / ("wordlark-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(path));
        return path;
#else
        std::string pattern = (std::filesystem::temp_directory_path() / "wordlark-XXXXXX").string();
        return ::mkdtemp(pattern.data());
#endif
    }

    std::filesystem::path path_;
};

}  // namespace wordlark::test
