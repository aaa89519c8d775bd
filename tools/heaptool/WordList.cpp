#include "heaptool/WordList.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "archive/Archive.h"

namespace wordlark::heaptool {

namespace {

constexpr std::size_t kRecordSize = 16;
constexpr std::size_t kMaxLetters = kRecordSize - 1;
constexpr std::size_t kShortestDealt = 3;
constexpr std::size_t kLongestDealt = 7;
// The game refuses an entry larger than this, so a longer list could never be loaded.
constexpr std::size_t kMaxWords = archive::kMaxUnpackedSize / kRecordSize;

bool isBlank(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

bool isCapitals(std::string_view word)
{
    return std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

}  // namespace

bool wordRecordsFromText(std::string_view text, std::vector<std::uint8_t>* records,
                         std::string* error)
{
    records->clear();
    std::array<bool, kMaxLetters + 1> haveLength{};
    std::size_t lineNumber = 0;
    const auto fail = [&](const std::string& reason) {
        records->clear();
        records->shrink_to_fit();
        *error = reason;
        return false;
    };
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (isBlank(line)) {
            continue;
        }
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (!isCapitals(line)) {
            return fail(where + "a word may hold only the capital letters A to Z");
        }
        if (line.size() > kMaxLetters) {
            return fail(where + "a word may have at most " + std::to_string(kMaxLetters) +
                        " letters");
        }
        if (records->size() / kRecordSize >= kMaxWords) {
            return fail(where + "more than " + std::to_string(kMaxWords) + " words");
        }
        const std::size_t at = records->size();
        records->resize(at + kRecordSize, 0);
        std::memcpy(records->data() + at, line.data(), line.size());
        haveLength[line.size()] = true;
    }
    for (std::size_t length = kShortestDealt; length <= kLongestDealt; ++length) {
        if (!haveLength[length]) {
            return fail("no word of " + std::to_string(length) +
                        " letters (the deals need words of " + std::to_string(kShortestDealt) +
                        " to " + std::to_string(kLongestDealt) + " letters)");
        }
    }
    return true;
}

}  // namespace wordlark::heaptool
