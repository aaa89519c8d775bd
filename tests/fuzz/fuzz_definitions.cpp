// The bytes as the definitions entry: every word it lists, and a few it may not, looked up.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "words/DefinitionTable.h"

using namespace wordlark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const words::DefinitionTable table(std::span<const std::uint8_t>(data, size));
    std::size_t found = 0;
    for (const char* word : {"MICE", "TAB", "", "ABCDEFGHIJKLMNOP"}) {
        found += table.lookup(word).size();
    }
    // The stored words themselves, read from where the layout puts them when they lie inside.
    constexpr std::size_t kWords = words::definition_format::kHeaderSize;
    for (std::uint32_t i = 0; i < table.wordCount() && i < 64; ++i) {
        const std::size_t at = kWords + std::size_t{i} * words::definition_format::kWordRecordSize;
        if (at + words::definition_format::kWordField > size) {
            break;
        }
        const char* field = reinterpret_cast<const char*>(data + at);
        found += table.lookup(std::string(field, strnlen(field, 15))).size();
    }
    return found > 1u << 30 ? -1 : 0;
}
