// PictureImport.h -- the manifest's picture kinds: PNG sources to picture entries.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "heaptool/ArchiveWriter.h"
#include "heaptool/Manifest.h"

namespace wordlark::heaptool {

class PictureImport {
public:
    // gla0, fon0, fon6, ani0, bitm and bit6.
    static bool isPictureKind(std::string_view kind);

    // Checks what can be checked before any file is read: options known and well formed, and
    // every mask's source= naming an entry of the manifest that the mask can cut from ("bitm"
    // a palettised picture or an animation, "bit6" a "fon6"). False with "line N: reason".
    static bool check(const Manifest& manifest, std::string* error);

    // The files the line's entry is made from, relative to the manifest's folder: the frames
    // of an animation, otherwise the one source.
    static std::vector<std::string> sourceFiles(const ManifestLine& line);

    // Reads the line's PNG sources (relative to folder) and adds its entry (and, for an
    // animation, its frames) to writer. False with a one-line reason.
    static bool add(const ManifestLine& line, const std::filesystem::path& folder, Storage storage,
                    ArchiveWriter& writer, std::string* error);
};

}  // namespace wordlark::heaptool
