// DefinitionTable.h -- the definitions entry of vek.heap, read in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wordlark::words {

// The entry's layout. All numbers are 32-bit little-endian unless said otherwise; "string"
// means an offset into the string area, where every text ends with a NUL.
//   header   24 bytes: magic "wdf1", word count W, link count L, group count G,
//            reference count R, string area size S
//   words    W x 20: the word in capitals, NUL-padded to 16 bytes, in ascending byte order;
//            the index of its first link (its links run up to the next word's first)
//   links    L x 4: bits 0-23 a group, bits 24-31 how the word reaches it (DefinitionKind)
//   groups   G x 12: the base form (string); part of speech (1 byte: 1 noun, 2 verb,
//            3 adjective, 4 adverb); sense count (1 byte); 2 bytes 0; the index of its first
//            reference
//   refs     R x 4: one sense's gloss (string)
//   strings  S bytes
namespace definition_format {
inline constexpr char kMagic[4] = {'w', 'd', 'f', '1'};
inline constexpr std::size_t kHeaderSize = 24;
inline constexpr std::size_t kWordRecordSize = 20;
inline constexpr std::size_t kWordField = 16;
inline constexpr std::size_t kLinkSize = 4;
inline constexpr std::size_t kGroupSize = 12;
inline constexpr std::size_t kRefSize = 4;
inline constexpr std::uint32_t kMaxGroup = (1u << 24) - 1;
}  // namespace definition_format

enum class DefinitionKind : std::uint8_t {
    Form = 0,            // the word is the base form or one of its inflections
    AdverbFromAdjective  // an -ly adverb, defined by the adjective it is made from
};

// One base form and part of speech the word is defined under, with its senses in order.
struct Meaning {
    std::string base;  // lower case
    std::uint8_t partOfSpeech = 0;
    DefinitionKind kind = DefinitionKind::Form;
    std::vector<std::string> glosses;
    bool operator==(const Meaning&) const = default;
};

class DefinitionTable {
public:
    // Checks only the header against the size: the rest is checked field by field as a
    // lookup reads it, so a damaged part costs the words that use it and nothing else.
    // The bytes must outlive the table.
    explicit DefinitionTable(std::span<const std::uint8_t> bytes);

    // Whether the header is whole and its areas fit the bytes.
    bool valid() const { return valid_; }
    std::uint32_t wordCount() const { return words_; }

    // The meanings of a word in capitals, in stored order; empty for a word without an
    // entry, and for one whose entry points outside the bytes or lacks a NUL.
    std::vector<Meaning> lookup(std::string_view word) const;

    // The name of a part of speech ("noun"); empty for a value outside 1 to 4.
    static std::string_view partOfSpeechName(std::uint8_t partOfSpeech);

private:
    // The string at an offset of the string area; false when it lies outside or has no NUL.
    bool stringAt(std::uint32_t offset, std::string* out) const;
    bool meaningOf(std::uint32_t link, Meaning* out) const;

    std::span<const std::uint8_t> bytes_;
    bool valid_ = false;
    std::uint32_t words_ = 0;
    std::uint32_t links_ = 0;
    std::uint32_t groups_ = 0;
    std::uint32_t refs_ = 0;
    std::uint32_t stringsSize_ = 0;
    std::size_t wordsAt_ = 0;
    std::size_t linksAt_ = 0;
    std::size_t groupsAt_ = 0;
    std::size_t refsAt_ = 0;
    std::size_t stringsAt_ = 0;
};

}  // namespace wordlark::words
