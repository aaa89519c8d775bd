// Definitions.h -- the meanings of the game's words, from the archive's definitions entry.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "words/DefinitionTable.h"

namespace wordlark::archive {
class Archive;
class ArchiveRegistry;
}  // namespace wordlark::archive

namespace wordlark::words {

inline constexpr std::string_view kDefinitionsEntry = "definitions";

class Definitions {
public:
    // Reads nothing yet: the entry is unpacked on the first lookup, which start-up never
    // makes. The registry must outlive this object.
    explicit Definitions(archive::ArchiveRegistry& registry, std::string archiveFile = "vek.heap");
    ~Definitions();
    Definitions(const Definitions&) = delete;
    Definitions& operator=(const Definitions&) = delete;

    // Loads the entry once; false (and every lookup empty) when the archive has none or it
    // cannot be read or its header is damaged. Later calls answer without reading again.
    bool load();

    // The word's meanings; empty when it has none or the entry is missing or damaged.
    std::vector<Meaning> lookup(std::string_view word);
    // One line for each sense, as the game shows it: "TAB, noun: a short strip of ...".
    std::vector<std::string> senseLines(std::string_view word);
    // Every sense in one text, the word and its part of speech leading each meaning:
    // "TAB, noun: a short strip ...; a bill ...; verb: ...". Empty when there is none.
    std::string text(std::string_view word);

    // "TAB, noun", "MICE, noun (mouse)", "BRAVELY, adverb (from brave, adjective)".
    static std::string heading(std::string_view word, const Meaning& meaning);
    // The unpacked size of the entry once loaded, 0 before or without one.
    std::size_t size() const { return size_; }

private:
    archive::ArchiveRegistry& registry_;
    std::string archiveFile_;
    archive::Archive* archive_ = nullptr;  // holds one reference to the entry while set
    bool tried_ = false;
    std::size_t size_ = 0;
    std::optional<DefinitionTable> table_;
};

}  // namespace wordlark::words
