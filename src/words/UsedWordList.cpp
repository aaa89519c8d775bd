#include "words/UsedWordList.h"

#include <algorithm>

namespace wordlark::words {

bool UsedWordList::contains(std::string_view word) const
{
    return std::find(words_.begin(), words_.end(), word) != words_.end();
}

}  // namespace wordlark::words
