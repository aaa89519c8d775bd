// WordNet.h -- the parts of a WordNet 3.0 dictionary folder that definitions are made from.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wordlark::heaptool {

// The four parts of speech, in the order definitions list them.
enum class PartOfSpeech : std::uint8_t { Noun = 1, Verb = 2, Adjective = 3, Adverb = 4 };
inline constexpr std::array<PartOfSpeech, 4> kPartsOfSpeech = {
    PartOfSpeech::Noun, PartOfSpeech::Verb, PartOfSpeech::Adjective, PartOfSpeech::Adverb};

class WordNet {
public:
    // Reads index.POS, data.POS and POS.exc of the folder for the four parts of speech
    // (noun, verb, adj, adv). False with one line in *error when one is missing or cannot be
    // read; a line that does not parse is skipped, as WordNet's own tools do.
    bool read(const std::string& folder, std::string* error);
    // The same from texts in memory, for tests: index, data and exceptions of each part of
    // speech, in kPartsOfSpeech order.
    void readTexts(const std::array<std::string, 4>& indexes,
                   const std::array<std::string, 4>& datas,
                   const std::array<std::string, 4>& exceptionLists);

    // Whether the lower-case lemma has an entry of that part of speech.
    bool has(PartOfSpeech pos, std::string_view lemma) const;
    // The base forms the exception list gives for a lower-case inflected form; empty if none.
    const std::vector<std::string>& exceptions(PartOfSpeech pos, std::string_view word) const;
    // The glosses of the lemma's first `limit` senses, in WordNet's order, without the quoted
    // examples; senses whose gloss is empty once cut are left out.
    std::vector<std::string> glosses(PartOfSpeech pos, std::string_view lemma,
                                     std::size_t limit) const;

    // A gloss without its examples: the parts between "; " that start with a quote go.
    static std::string withoutExamples(std::string_view gloss);

private:
    struct Part {
        std::unordered_map<std::string, std::vector<std::uint32_t>> index;  // lemma -> offsets
        std::unordered_map<std::string, std::vector<std::string>> exceptions;
        std::string data;  // data.POS, addressed by the byte offsets of the index
    };
    const Part& part(PartOfSpeech pos) const { return parts_[static_cast<std::size_t>(pos) - 1]; }
    static void parse(Part& part, std::string_view index, std::string data,
                      std::string_view exceptions);

    std::array<Part, 4> parts_;
};

}  // namespace wordlark::heaptool
