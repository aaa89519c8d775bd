#include "heaptool/WordNet.h"

#include <algorithm>
#include <charconv>

#include "archive/RegularFile.h"

namespace wordlark::heaptool {

namespace {

constexpr std::array<const char*, 4> kFileParts = {"noun", "verb", "adj", "adv"};
// Far above WordNet's largest file (data.noun, about 15 MB).
constexpr std::uint64_t kMaxFileSize = 256u << 20;

std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(' ', at);
        if (start == std::string_view::npos) {
            break;
        }
        std::size_t end = line.find(' ', start);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        out.push_back(line.substr(start, end - start));
        at = end;
    }
    return out;
}

bool number(std::string_view text, std::uint32_t* value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end == text.data() + text.size();
}

template <typename Visit>
void forEachLine(std::string_view text, Visit visit)
{
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        // The licence at the head of the index and data files is indented.
        if (!line.empty() && line[0] != ' ') {
            visit(line);
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == ';')) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

void WordNet::parse(Part& part, std::string_view index, std::string data,
                    std::string_view exceptions)
{
    forEachLine(index, [&part](std::string_view line) {
        // lemma pos synset_cnt p_cnt [ptr_symbol...] sense_cnt tagsense_cnt offset...
        const auto f = fields(line);
        std::uint32_t synsets = 0;
        std::uint32_t pointers = 0;
        if (f.size() < 4 || !number(f[2], &synsets) || !number(f[3], &pointers) ||
            f.size() != 4 + std::size_t{pointers} + 2 + synsets) {
            return;
        }
        std::vector<std::uint32_t> offsets;
        for (std::size_t i = f.size() - synsets; i < f.size(); ++i) {
            std::uint32_t offset = 0;
            if (!number(f[i], &offset)) {
                return;
            }
            offsets.push_back(offset);
        }
        part.index[std::string(f[0])] = std::move(offsets);
    });
    forEachLine(exceptions, [&part](std::string_view line) {
        const auto f = fields(line);
        if (f.size() < 2) {
            return;
        }
        auto& bases = part.exceptions[std::string(f[0])];
        for (std::size_t i = 1; i < f.size(); ++i) {
            bases.emplace_back(f[i]);
        }
    });
    part.data = std::move(data);
}

bool WordNet::read(const std::string& folder, std::string* error)
{
    std::array<std::string, 4> indexes;
    std::array<std::string, 4> datas;
    std::array<std::string, 4> exceptionLists;
    for (std::size_t i = 0; i < kFileParts.size(); ++i) {
        const std::string kind = kFileParts[i];
        for (auto [name, text] :
             {std::pair{"index." + kind, &indexes[i]}, std::pair{"data." + kind, &datas[i]},
              std::pair{kind + ".exc", &exceptionLists[i]}}) {
            std::vector<std::uint8_t> bytes;
            std::string reason;
            if (!archive::readRegularFile(folder + "/" + name, &bytes, &reason, kMaxFileSize)) {
                *error = "WordNet: " + reason;
                return false;
            }
            text->assign(bytes.begin(), bytes.end());
        }
    }
    readTexts(indexes, datas, exceptionLists);
    return true;
}

void WordNet::readTexts(const std::array<std::string, 4>& indexes,
                        const std::array<std::string, 4>& datas,
                        const std::array<std::string, 4>& exceptionLists)
{
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        parts_[i] = Part{};
        parse(parts_[i], indexes[i], datas[i], exceptionLists[i]);
    }
}

bool WordNet::has(PartOfSpeech pos, std::string_view lemma) const
{
    const Part& entries = part(pos);
    return entries.index.find(std::string(lemma)) != entries.index.end();
}

const std::vector<std::string>& WordNet::exceptions(PartOfSpeech pos, std::string_view word) const
{
    static const std::vector<std::string> kNone;
    const Part& entries = part(pos);
    const auto found = entries.exceptions.find(std::string(word));
    return found == entries.exceptions.end() ? kNone : found->second;
}

std::vector<std::string> WordNet::glosses(PartOfSpeech pos, std::string_view lemma,
                                          std::size_t limit) const
{
    std::vector<std::string> out;
    const Part& entries = part(pos);
    const auto found = entries.index.find(std::string(lemma));
    if (found == entries.index.end()) {
        return out;
    }
    const std::string_view data = entries.data;
    for (const std::uint32_t offset : found->second) {
        if (out.size() == limit) {
            break;
        }
        if (offset >= data.size()) {
            continue;
        }
        std::string_view line = data.substr(offset);
        line = line.substr(0, line.find('\n'));
        const std::size_t bar = line.find(" | ");
        if (bar == std::string_view::npos) {
            continue;
        }
        std::string gloss = withoutExamples(line.substr(bar + 3));
        if (!gloss.empty()) {
            out.push_back(std::move(gloss));
        }
    }
    return out;
}

std::string WordNet::withoutExamples(std::string_view gloss)
{
    // A semicolon inside an example's quotes does not end a part.
    std::vector<std::string_view> partsOf;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= gloss.size(); ++i) {
        if (i < gloss.size() && gloss[i] == '"') {
            quoted = !quoted;
        }
        if (i == gloss.size() || (gloss[i] == ';' && !quoted)) {
            partsOf.push_back(trimmed(gloss.substr(start, i - start)));
            start = i + 1;
        }
    }
    std::string out;
    for (std::string_view piece : partsOf) {
        // An example starts with its quote; a few lack that one and only end with it.
        if (piece.empty() || piece.front() == '"' ||
            (piece.back() == '"' && std::count(piece.begin(), piece.end(), '"') == 1)) {
            continue;
        }
        // A few follow their definition after a colon or a comma: a quoted sentence at the end.
        if (piece.back() == '"') {
            const std::size_t open = piece.rfind('"', piece.size() - 2);
            if (open != std::string_view::npos &&
                piece.substr(open, piece.size() - open).find(' ') != std::string_view::npos) {
                piece = piece.substr(0, open);
                while (!piece.empty() &&
                       (piece.back() == ' ' || piece.back() == ':' || piece.back() == ',')) {
                    piece.remove_suffix(1);
                }
                if (piece.empty()) {
                    continue;
                }
            }
        }
        if (!out.empty()) {
            out += "; ";
        }
        out += piece;
    }
    // The game's text is single bytes of plain ASCII; WordNet's few others become '?'.
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) {
            c = '?';
        }
    }
    return out;
}

}  // namespace wordlark::heaptool
