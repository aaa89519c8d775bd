#include "words/Definitions.h"

#include <algorithm>
#include <cctype>

#include "archive/Archive.h"
#include "archive/ArchiveRegistry.h"

namespace wordlark::words {

Definitions::Definitions(archive::ArchiveRegistry& registry, std::string archiveFile)
    : registry_(registry), archiveFile_(std::move(archiveFile))
{
}

Definitions::~Definitions()
{
    if (archive_ != nullptr) {
        archive_->unloadEntry(kDefinitionsEntry);
    }
}

bool Definitions::load()
{
    if (tried_) {
        return table_.has_value();
    }
    tried_ = true;
    archive::Archive* archive = registry_.openArchive(archiveFile_);
    const archive::DirectoryRecord* record =
        archive != nullptr ? archive->findEntry(kDefinitionsEntry) : nullptr;
    if (record == nullptr) {
        return false;
    }
    std::uint32_t tag = 0;
    const std::uint8_t* data = archive->loadEntry(kDefinitionsEntry, &tag);
    if (data == nullptr) {
        return false;
    }
    archive_ = archive;
    DefinitionTable table({data, record->unpackedSize});
    if (!table.valid()) {
        return false;
    }
    size_ = record->unpackedSize;
    table_.emplace(table);
    return true;
}

std::vector<Meaning> Definitions::lookup(std::string_view word)
{
    return load() ? table_->lookup(word) : std::vector<Meaning>{};
}

std::string Definitions::heading(std::string_view word, const Meaning& meaning)
{
    std::string out(word);
    out += ", ";
    if (meaning.kind == DefinitionKind::AdverbFromAdjective) {
        out += "adverb (from " + meaning.base + ", ";
        out += DefinitionTable::partOfSpeechName(meaning.partOfSpeech);
        out += ")";
        return out;
    }
    out += DefinitionTable::partOfSpeechName(meaning.partOfSpeech);
    std::string lower(word);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (meaning.base != lower) {
        out += " (" + meaning.base + ")";
    }
    return out;
}

std::vector<std::string> Definitions::senseLines(std::string_view word)
{
    std::vector<std::string> lines;
    for (const Meaning& meaning : lookup(word)) {
        const std::string lead = heading(word, meaning) + ": ";
        for (const std::string& gloss : meaning.glosses) {
            lines.push_back(lead + gloss);
        }
    }
    return lines;
}

std::string Definitions::text(std::string_view word)
{
    std::string out;
    for (const Meaning& meaning : lookup(word)) {
        // The word leads once; later meanings start at their part of speech.
        std::string lead = heading(word, meaning);
        if (!out.empty()) {
            out += "; ";
            lead.erase(0, word.size() + 2);
        }
        out += lead + ": ";
        for (std::size_t i = 0; i < meaning.glosses.size(); ++i) {
            out += (i > 0 ? "; " : "") + meaning.glosses[i];
        }
    }
    return out;
}

}  // namespace wordlark::words
