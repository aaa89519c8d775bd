// Manifest.h -- reads the asset manifest and builds an archive from it.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace wordlark::heaptool {

// One line of the manifest: KIND NAME TAG SOURCE [key=value ...].
struct ManifestLine {
    int lineNumber = 0;
    std::string kind;
    std::string name;
    std::string tag;
    std::string source;  // relative to the manifest's folder
    std::map<std::string, std::string> options;
};

class Manifest {
public:
    // Parses manifest text; false with "line N: reason" in *error.
    static bool parse(std::string_view text, Manifest* manifest, std::string* error);

    // Reads the manifest file, builds every entry from its sources and writes the archive,
    // whose header carries the output file's own name. False with a one-line reason.
    static bool buildArchive(const std::string& manifestPath, const std::string& outputPath,
                             std::string* error);

    const std::vector<ManifestLine>& lines() const { return lines_; }

private:
    std::vector<ManifestLine> lines_;
};

}  // namespace wordlark::heaptool
