#include "heaptool/Manifest.h"

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "archive/Archive.h"
#include "archive/ChecksumTable.h"
#include "archive/RegularFile.h"
#include "heaptool/ArchiveWriter.h"
#include "heaptool/DefinitionBuilder.h"
#include "heaptool/OutputFile.h"
#include "heaptool/PictureImport.h"
#include "heaptool/WordList.h"

namespace wordlark::heaptool {

namespace {

bool parseStorage(const ManifestLine& line, Storage* storage, std::string* error)
{
    const auto it = line.options.find("store");
    if (it == line.options.end() || it->second == "auto") {
        *storage = Storage::Automatic;
        return true;
    }
    static const std::map<std::string, Storage> kNames = {
        {"plain", Storage::Plain},
        {"1", Storage::Method1},
        {"2", Storage::Method2},
        {"3", Storage::Method3},
    };
    const auto found = kNames.find(it->second);
    if (found == kNames.end()) {
        *error =
            "line " + std::to_string(line.lineNumber) + ": store must be auto, plain, 1, 2 or 3";
        return false;
    }
    *storage = found->second;
    return true;
}

// The definitions of the words of a word list's records, from the WordNet folder the line
// names (Debian's by default); the coverage goes to the build log.
std::vector<std::uint8_t> definitionsEntry(const ManifestLine& line,
                                           const std::vector<std::uint8_t>& records,
                                           std::string* error)
{
    const auto option = line.options.find("wordnet");
    const std::string folder = option == line.options.end() ? "/usr/share/wordnet" : option->second;
    WordNet wordNet;
    if (!wordNet.read(folder, error)) {
        return {};
    }
    std::vector<std::string> words;
    for (std::size_t at = 0; at + 16 <= records.size(); at += 16) {
        words.emplace_back(reinterpret_cast<const char*>(records.data() + at));
    }
    DefinitionBuilder::Coverage coverage;
    std::vector<std::uint8_t> entry = DefinitionBuilder(wordNet).build(words, &coverage);
    std::fputs(DefinitionBuilder::report(coverage).c_str(), stdout);
    return entry;
}

}  // namespace

bool Manifest::parse(std::string_view text, Manifest* manifest, std::string* error)
{
    manifest->lines_.clear();
    // The archive finds the first entry of a name: a second one would be built and never read.
    std::map<std::string, int> named;
    std::istringstream in{std::string(text)};
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        if (const auto hash = raw.find('#'); hash != std::string::npos) {
            raw.resize(hash);
        }
        std::istringstream fields(raw);
        ManifestLine line;
        line.lineNumber = number;
        if (!(fields >> line.kind)) {
            continue;  // blank or comment
        }
        if (!(fields >> line.name >> line.tag >> line.source)) {
            *error = "line " + std::to_string(number) + ": expected KIND NAME TAG SOURCE";
            return false;
        }
        const std::string at = "line " + std::to_string(number) + ": ";
        if (line.kind != "raw" && line.kind != "words" && line.kind != "defs" &&
            !PictureImport::isPictureKind(line.kind)) {
            *error = at + "unknown kind '" + line.kind +
                     "' (raw, words, defs, gla0, fon0, fon6, ani0, bitm or bit6)";
            return false;
        }
        // The name field ends at its first NUL: the entry would be found under another name.
        if (line.name.find('\0') != std::string::npos) {
            *error = at + "entry name holds a NUL byte";
            return false;
        }
        if (line.name.size() > 15) {
            *error = at + "entry name longer than 15 characters";
            return false;
        }
        if (line.name == archive::kChecksumEntry) {
            *error = at + "the entry name '" + line.name + "' is kept for the archive's checksums";
            return false;
        }
        if (const auto [first, added] = named.emplace(line.name, number); !added) {
            *error = at + "entry name '" + line.name + "' is already used on line " +
                     std::to_string(first->second);
            return false;
        }
        if (line.tag.size() != 4) {
            *error = "line " + std::to_string(number) + ": tag must have four characters";
            return false;
        }
        std::string option;
        while (fields >> option) {
            const auto eq = option.find('=');
            if (eq == std::string::npos || eq == 0) {
                *error =
                    "line " + std::to_string(number) + ": option '" + option + "' is not key=value";
                return false;
            }
            line.options[option.substr(0, eq)] = option.substr(eq + 1);
        }
        manifest->lines_.push_back(std::move(line));
    }
    return true;
}

bool Manifest::buildArchive(const std::string& manifestPath, const std::string& outputPath,
                            std::string* error)
{
    // Every input is held against the output before anything is read or written: building
    // over a source would destroy it.
    const OutputFile output(outputPath);
    std::string reason;
    if (!output.differsFrom(manifestPath, &reason)) {
        *error = reason;
        return false;
    }
    std::vector<std::uint8_t> text;
    if (!archive::readRegularFile(manifestPath, &text, &reason, archive::kMaxUnpackedSize)) {
        *error = "manifest: " + reason;
        return false;
    }
    Manifest manifest;
    if (!parse(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), &manifest,
               &reason)) {
        *error = manifestPath + ": " + reason;
        return false;
    }
    if (!PictureImport::check(manifest, &reason)) {
        *error = manifestPath + ": " + reason;
        return false;
    }
    const auto folder = std::filesystem::path(manifestPath).parent_path();
    for (const ManifestLine& line : manifest.lines()) {
        const std::vector<std::string> sources = PictureImport::isPictureKind(line.kind)
                                                     ? PictureImport::sourceFiles(line)
                                                     : std::vector<std::string>{line.source};
        for (const std::string& source : sources) {
            if (!output.differsFrom((folder / source).string(), &reason)) {
                *error = reason;
                return false;
            }
        }
    }
    ArchiveWriter writer;
    for (const ManifestLine& line : manifest.lines()) {
        const std::string where = manifestPath + ":" + std::to_string(line.lineNumber) + ": ";
        Storage storage = Storage::Automatic;
        if (!parseStorage(line, &storage, &reason)) {
            *error = manifestPath + ": " + reason;
            return false;
        }
        if (PictureImport::isPictureKind(line.kind)) {
            if (!PictureImport::add(line, folder, storage, writer, &reason)) {
                *error = manifestPath + ": " + reason;
                return false;
            }
            continue;
        }
        std::vector<std::uint8_t> source;
        if (!archive::readRegularFile((folder / line.source).string(), &source, &reason,
                                      archive::kMaxUnpackedSize)) {
            *error = where + reason;
            return false;
        }
        if (line.kind == "raw") {
            writer.addEntry(line.name, line.tag, std::move(source), storage);
        } else if (line.kind == "words" || line.kind == "defs") {
            std::vector<std::uint8_t> records;
            if (!wordRecordsFromText(
                    std::string_view(reinterpret_cast<const char*>(source.data()), source.size()),
                    &records, &reason)) {
                *error = where + line.source + ": " + reason;
                return false;
            }
            if (line.kind == "defs") {
                records = definitionsEntry(line, records, &reason);
                if (records.empty()) {
                    *error = where + reason;
                    return false;
                }
            }
            writer.addEntry(line.name, line.tag, std::move(records), storage);
        }
    }
    const std::string archiveName = std::filesystem::path(outputPath).filename().string();
    if (archiveName.size() > 15) {
        *error = "archive file name '" + archiveName + "' is longer than 15 characters";
        return false;
    }
    if (!writer.error().empty()) {
        *error = writer.error();
        return false;
    }
    const std::vector<std::uint8_t> bytes = writer.build(archiveName);
    return output.write(bytes, error);
}

}  // namespace wordlark::heaptool
