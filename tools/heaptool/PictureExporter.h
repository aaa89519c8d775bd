// PictureExporter.h -- writes every picture of an archive as PNG, with headers and a contact sheet.
#pragma once

#include <string>

namespace wordlark::heaptool {

class PictureExporter {
public:
    // Writes into dir (created when missing): NAME.png for each picture entry, NAME.fNNN.png
    // for each frame of an animation (transparency as alpha), headers.txt with every header,
    // and contact-sheet.png. Entries that are not pictures are passed over. A damaged picture
    // is noted in headers.txt and the rest are still written; the result is then false with
    // a one-line summary in *error, as it is when the archive cannot be opened or a file
    // cannot be written.
    static bool exportArchive(const std::string& archivePath, const std::string& dir,
                              std::string* error);
};

}  // namespace wordlark::heaptool
