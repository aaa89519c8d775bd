#include "words/DefinitionTable.h"

#include <array>
#include <cstring>

#include "archive/Endian.h"

namespace wordlark::words {

namespace format = definition_format;
using archive::readLe32;

namespace {

// No word of the game comes near these; a damaged count must not make a lookup long.
constexpr std::uint32_t kMaxLinksPerWord = 64;

}  // namespace

DefinitionTable::DefinitionTable(std::span<const std::uint8_t> bytes) : bytes_(bytes)
{
    if (bytes.size() < format::kHeaderSize ||
        std::memcmp(bytes.data(), format::kMagic, sizeof format::kMagic) != 0) {
        return;
    }
    const std::uint8_t* p = bytes.data();
    words_ = readLe32(p + 4);
    links_ = readLe32(p + 8);
    groups_ = readLe32(p + 12);
    refs_ = readLe32(p + 16);
    stringsSize_ = readLe32(p + 20);
    // 64-bit sums of 32-bit counts cannot overflow.
    const std::uint64_t wordsAt = format::kHeaderSize;
    const std::uint64_t linksAt = wordsAt + std::uint64_t{words_} * format::kWordRecordSize;
    const std::uint64_t groupsAt = linksAt + std::uint64_t{links_} * format::kLinkSize;
    const std::uint64_t refsAt = groupsAt + std::uint64_t{groups_} * format::kGroupSize;
    const std::uint64_t stringsAt = refsAt + std::uint64_t{refs_} * format::kRefSize;
    if (stringsAt + stringsSize_ > bytes.size()) {
        return;
    }
    wordsAt_ = wordsAt;
    linksAt_ = linksAt;
    groupsAt_ = groupsAt;
    refsAt_ = refsAt;
    stringsAt_ = stringsAt;
    valid_ = true;
}

std::string_view DefinitionTable::partOfSpeechName(std::uint8_t partOfSpeech)
{
    static constexpr std::array<std::string_view, 4> kNames = {"noun", "verb", "adjective",
                                                               "adverb"};
    return partOfSpeech >= 1 && partOfSpeech <= 4 ? kNames[partOfSpeech - 1] : std::string_view{};
}

bool DefinitionTable::stringAt(std::uint32_t offset, std::string* out) const
{
    if (offset >= stringsSize_) {
        return false;
    }
    const auto* start = bytes_.data() + stringsAt_ + offset;
    const void* nul = std::memchr(start, 0, stringsSize_ - offset);
    if (nul == nullptr) {
        return false;
    }
    out->assign(reinterpret_cast<const char*>(start),
                static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - start));
    return true;
}

bool DefinitionTable::meaningOf(std::uint32_t link, Meaning* out) const
{
    const std::uint32_t value = readLe32(bytes_.data() + linksAt_ + std::size_t{link} * 4);
    const std::uint32_t group = value & format::kMaxGroup;
    const std::uint8_t kind = static_cast<std::uint8_t>(value >> 24);
    if (group >= groups_ || kind > static_cast<std::uint8_t>(DefinitionKind::AdverbFromAdjective)) {
        return false;
    }
    const std::uint8_t* g = bytes_.data() + groupsAt_ + std::size_t{group} * format::kGroupSize;
    out->partOfSpeech = g[4];
    out->kind = static_cast<DefinitionKind>(kind);
    const std::uint32_t senses = g[5];
    const std::uint32_t firstRef = readLe32(g + 8);
    if (partOfSpeechName(out->partOfSpeech).empty() || senses == 0 || firstRef > refs_ ||
        senses > refs_ - firstRef || !stringAt(readLe32(g), &out->base)) {
        return false;
    }
    out->glosses.resize(senses);
    for (std::uint32_t i = 0; i < senses; ++i) {
        const std::uint8_t* ref = bytes_.data() + refsAt_ + std::size_t{firstRef + i} * 4;
        if (!stringAt(readLe32(ref), &out->glosses[i])) {
            return false;
        }
    }
    return true;
}

std::vector<Meaning> DefinitionTable::lookup(std::string_view word) const
{
    if (!valid_ || word.empty() || word.size() >= format::kWordField) {
        return {};
    }
    std::array<std::uint8_t, format::kWordField> key{};
    std::memcpy(key.data(), word.data(), word.size());
    // Binary search over the sorted records; damaged order only makes words unfindable.
    std::uint32_t low = 0;
    std::uint32_t high = words_;
    const std::uint8_t* base = bytes_.data() + wordsAt_;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        const int order = std::memcmp(base + std::size_t{middle} * format::kWordRecordSize,
                                      key.data(), key.size());
        if (order == 0) {
            low = middle;
            high = middle;
            break;
        }
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low >= words_ || std::memcmp(base + std::size_t{low} * format::kWordRecordSize, key.data(),
                                     key.size()) != 0) {
        return {};
    }
    const std::uint8_t* record = base + std::size_t{low} * format::kWordRecordSize;
    const std::uint32_t first = readLe32(record + format::kWordField);
    const std::uint32_t end =
        low + 1 < words_ ? readLe32(record + format::kWordRecordSize + format::kWordField) : links_;
    if (first >= end || end > links_ || end - first > kMaxLinksPerWord) {
        return {};
    }
    std::vector<Meaning> meanings(end - first);
    for (std::uint32_t i = 0; i < meanings.size(); ++i) {
        if (!meaningOf(first + i, &meanings[i])) {
            return {};
        }
    }
    return meanings;
}

}  // namespace wordlark::words
