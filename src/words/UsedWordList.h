// UsedWordList.h -- the words already played in the current deal, by either side.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wordlark::words {

// Private copies of the words, compared byte for byte. The empty word is a word here too:
// an empty computer answer is played like any other and makes an empty row a repeat.
class UsedWordList {
public:
    void add(std::string_view word) { words_.emplace_back(word); }
    void clear() { words_.clear(); }
    bool contains(std::string_view word) const;

    std::size_t size() const { return words_.size(); }
    bool empty() const { return words_.empty(); }

private:
    std::vector<std::string> words_;
};

}  // namespace wordlark::words
