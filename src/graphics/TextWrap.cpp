#include "graphics/TextWrap.h"

namespace wordlark::graphics {

namespace {

// How many bytes of `text` fit the width, at least one so that every line makes progress.
std::size_t fittingPrefix(std::string_view text, std::int32_t width,
                          const std::function<std::int32_t(std::string_view)>& measure)
{
    std::size_t size = 1;
    while (size < text.size() && measure(text.substr(0, size + 1)) <= width) {
        ++size;
    }
    return size;
}

}  // namespace

std::vector<std::string> wrapText(std::string_view text, std::int32_t width, std::size_t maxLines,
                                  const std::function<std::int32_t(std::string_view)>& measure)
{
    std::vector<std::string> lines;
    const auto skipSpaces = [&text] {
        while (!text.empty() && text.front() == ' ') {
            text.remove_prefix(1);
        }
    };
    skipSpaces();
    while (!text.empty() && lines.size() < maxLines) {
        // The longest run of whole words that fits; else as much of the first word as fits.
        std::size_t end = 0;
        for (std::size_t space = text.find(' '); end < text.size();
             space = text.find(' ', space + 1)) {
            const std::size_t candidate = space == std::string_view::npos ? text.size() : space;
            if (measure(text.substr(0, candidate)) > width) {
                break;
            }
            end = candidate;
            if (space == std::string_view::npos) {
                break;
            }
        }
        if (end == 0) {
            end = fittingPrefix(text, width, measure);
        }
        lines.emplace_back(text.substr(0, end));
        text.remove_prefix(end);
        skipSpaces();
    }
    if (text.empty() || lines.empty()) {
        return lines;
    }
    // More remains than the lines hold: the last one gives up words, then letters, for the
    // ellipsis.
    std::string& last = lines.back();
    while (!last.empty() && measure(last + kEllipsis) > width) {
        const std::size_t space = last.rfind(' ');
        last.resize(space == std::string::npos || space == 0 ? last.size() - 1 : space);
    }
    while (!last.empty() && (last.back() == ' ' || last.back() == ';' || last.back() == ',')) {
        last.pop_back();
    }
    last += kEllipsis;
    return lines;
}

}  // namespace wordlark::graphics
