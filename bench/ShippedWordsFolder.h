// ShippedWordsFolder.h -- a scratch program folder whose vek.heap holds the shipped word list.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "heaptool/ArchiveWriter.h"
#include "heaptool/WordList.h"

namespace wordlark::bench {

// Benchmarks measure the list players get, built afresh so that they do not depend on the
// state of a build folder. Any failure ends the benchmark program: its figures would be void.
class ShippedWordsFolder {
public:
    ShippedWordsFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "wordlark-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data());
        std::filesystem::create_directory(folder_ / "save");

        const auto source = std::filesystem::path(WORDLARK_SOURCE_DIR) / "assets" / "words.txt";
        std::ifstream in(source, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        std::vector<std::uint8_t> records;
        std::string error;
        if (!heaptool::wordRecordsFromText(text, &records, &error)) {
            std::cerr << source.string() << ": " << error << "\n";
            std::exit(1);
        }
        heaptool::ArchiveWriter writer;
        writer.addEntry("words", "wrds", std::move(records));
        if (!writer.write((folder_ / "vek.heap").string(), "vek.heap", &error)) {
            std::cerr << error << "\n";
            std::exit(1);
        }
    }
    ~ShippedWordsFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ShippedWordsFolder(const ShippedWordsFolder&) = delete;
    ShippedWordsFolder& operator=(const ShippedWordsFolder&) = delete;

    // The program folder, ending in a separator.
    std::string folder() const { return folder_.string() + "/"; }
    std::filesystem::path saveFolder() const { return folder_ / "save"; }

private:
    std::filesystem::path folder_;
};

}  // namespace wordlark::bench
