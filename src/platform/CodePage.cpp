#include "platform/CodePage.h"

#include <cstdint>

namespace wordlark::platform {

namespace {

// Code points of the bytes 0x80..0x9F; 0xFFFD marks the five bytes the code page leaves out.
constexpr char32_t kHighTable[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,  //
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

unsigned char upperCp1252(unsigned char c)
{
    if (c >= 'a' && c <= 'z') {
        return static_cast<unsigned char>(c - 0x20);
    }
    switch (c) {
        case 0x9A:  // s caron
        case 0x9C:  // oe
        case 0x9E:  // z caron
            return static_cast<unsigned char>(c - 0x10);
        case 0xFF:  // y diaeresis
            return 0x9F;
        case 0xF7:  // division sign has no case
            return c;
        default:
            break;
    }
    if (c >= 0xE0) {
        return static_cast<unsigned char>(c - 0x20);
    }
    return c;
}

void upperCaseCp1252(std::string& text)
{
    for (char& ch : text) {
        ch = static_cast<char>(upperCp1252(static_cast<unsigned char>(ch)));
    }
}

std::string toUpperCp1252(std::string_view text)
{
    std::string copy(text);
    upperCaseCp1252(copy);
    return copy;
}

int compareNoCaseCp1252(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = upperCp1252(static_cast<unsigned char>(a[i]));
        const int cb = upperCp1252(static_cast<unsigned char>(b[i]));
        if (ca != cb) {
            return ca - cb;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

char32_t cp1252ToCodePoint(unsigned char c)
{
    if (c >= 0x80 && c <= 0x9F) {
        return kHighTable[c - 0x80];
    }
    return c;
}

std::optional<unsigned char> codePointToCp1252(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<unsigned char>(cp);
    }
    if (cp == 0xFFFD) {
        return std::nullopt;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighTable[i] == cp) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

std::string cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        appendUtf8(out, cp1252ToCodePoint(static_cast<unsigned char>(ch)));
    }
    return out;
}

std::optional<std::string> utf8ToCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (text.size() - i <= static_cast<std::size_t>(extra)) {
            return std::nullopt;
        }
        for (int k = 1; k <= extra; ++k) {
            const auto cont = static_cast<unsigned char>(text[i + k]);
            if ((cont & 0xC0) != 0x80) {
                return std::nullopt;
            }
            cp = (cp << 6) | (cont & 0x3F);
        }
        // Overlong forms would let two spellings stand for one name.
        static constexpr char32_t kMinimum[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[extra]) {
            return std::nullopt;
        }
        const auto byte = codePointToCp1252(cp);
        if (!byte) {
            return std::nullopt;
        }
        out += static_cast<char>(*byte);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string typedToCp1252(std::string_view text)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        // The shortest run from here that converts is the one whole character starting here;
        // none converts when that character is malformed or outside the code page.
        std::optional<std::string> converted;
        std::size_t length = 0;
        while (!converted && length < 4 && i + length < text.size()) {
            ++length;
            converted = utf8ToCp1252(text.substr(i, length));
        }
        if (converted) {
            out += *converted;
            i += length;
        } else {
            ++i;
        }
    }
    return out;
}

}  // namespace wordlark::platform
