#include "heaptool/Manifest.h"

#include <filesystem>
#include <sstream>

#include "archive/RegularFile.h"
#include "heaptool/ArchiveWriter.h"
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

}  // namespace

bool Manifest::parse(std::string_view text, Manifest* manifest, std::string* error)
{
    manifest->lines_.clear();
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
        if (line.name.size() > 15) {
            *error = "line " + std::to_string(number) + ": entry name longer than 15 characters";
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
    std::vector<std::uint8_t> text;
    std::string reason;
    if (!archive::readRegularFile(manifestPath, &text, &reason)) {
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
        if (!archive::readRegularFile((folder / line.source).string(), &source, &reason)) {
            *error = where + reason;
            return false;
        }
        if (line.kind == "raw") {
            writer.addEntry(line.name, line.tag, std::move(source), storage);
        } else if (line.kind == "words") {
            std::vector<std::uint8_t> records;
            if (!wordRecordsFromText(
                    std::string_view(reinterpret_cast<const char*>(source.data()), source.size()),
                    &records, &reason)) {
                *error = where + line.source + ": " + reason;
                return false;
            }
            writer.addEntry(line.name, line.tag, std::move(records), storage);
        } else {
            *error = where + "unknown kind '" + line.kind + "'";
            return false;
        }
    }
    const std::string archiveName = std::filesystem::path(outputPath).filename().string();
    if (archiveName.size() > 15) {
        *error = "archive file name '" + archiveName + "' is longer than 15 characters";
        return false;
    }
    return writer.write(outputPath, archiveName, error);
}

}  // namespace wordlark::heaptool
