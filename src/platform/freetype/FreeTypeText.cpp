#include "platform/freetype/FreeTypeText.h"

#if WORDLARK_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <strings.h>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <tuple>
#include <vector>

#include "platform/CodePage.h"

namespace wordlark::platform::freetype {

namespace {

// How often each of a-z and the space occurs in every thousand characters of English text: the
// weights of the average character width GDI reports for TrueType faces.
constexpr std::array<int, 27> kLetterWeights{64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                                             56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};

// When no height is asked for, the platform's default font is about this tall.
constexpr std::int32_t kDefaultCellHeight = 16;
// Glyphs are cached per size; a runaway number of sizes clears the cache instead of growing it.
constexpr std::size_t kMaxCachedGlyphs = 8192;
// Heights beyond this are not text the game draws; they are clamped instead of rasterised.
constexpr std::int32_t kMaxCellHeight = 512;

struct Glyph {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t rows = 0;
    std::int32_t advance = 0;
    std::vector<std::uint8_t> coverage;  // width * rows, 0..255
};

struct LoadedFace {
    FT_Face face = nullptr;
    std::string path;
    double winAscent = 0;
    double winDescent = 0;
    double unitsPerEm = 0;
    double averageUnits = 0;  // weighted average width in font units
};

// The size a style asks of a face, derived the way GDI reads the font arguments.
struct Sizing {
    double pixelsPerEm = 0;
    double xScale = 1;
    std::int32_t ascent = 0;
    std::int32_t descent = 0;
    std::int32_t averageWidth = 0;
};

#if WORDLARK_FONTCONFIG
bool familyMatches(FcPattern* match, const std::string& family)
{
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &value) == FcResultMatch; ++i) {
        if (::strcasecmp(reinterpret_cast<const char*>(value), family.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

// The file of `family` in the given weight and slant; empty unless fontconfig knows that very
// family (it answers every request with something, often a sans face).
std::pair<std::string, int> findFace(FcConfig* config, const std::string& family, bool bold,
                                     bool italic, bool anyFamily)
{
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) {
        return {};
    }
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return {};
    }
    std::pair<std::string, int> found;
    FcChar8* file = nullptr;
    int index = 0;
    if ((anyFamily || familyMatches(match, family)) &&
        FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        found = {reinterpret_cast<const char*>(file), index};
    }
    FcPatternDestroy(match);
    return found;
}
#endif

// The face in a folder of the game's own: Liberation Serif's four files under their own
// names, the regular one standing in for a style the folder lacks.
std::pair<std::string, int> folderFace(const std::string& folder, bool bold, bool italic)
{
    const char* style = bold && italic ? "BoldItalic"
                        : bold         ? "Bold"
                        : italic       ? "Italic"
                                       : "Regular";
    for (const std::string& name : {std::string("LiberationSerif-") + style + ".ttf",
                                    std::string("LiberationSerif-Regular.ttf")}) {
        std::error_code error;
        const std::filesystem::path path = std::filesystem::path(folder) / name;
        if (std::filesystem::is_regular_file(path, error)) {
            return {path.string(), 0};
        }
    }
    return {};
}

std::uint16_t blend565(std::uint16_t under, std::uint16_t over, unsigned coverage)
{
    if (coverage >= 255) {
        return over;
    }
    const auto mix = [coverage](unsigned a, unsigned b) {
        return (a * (255 - coverage) + b * coverage + 127) / 255;
    };
    const unsigned r = mix((under >> 11) & 0x1F, (over >> 11) & 0x1F);
    const unsigned g = mix((under >> 5) & 0x3F, (over >> 5) & 0x3F);
    const unsigned b = mix(under & 0x1F, over & 0x1F);
    return static_cast<std::uint16_t>((r << 11) | (g << 5) | b);
}

void fillRect(const Surface& frame, const TextRect& clip, std::int32_t left, std::int32_t top,
              std::int32_t right, std::int32_t bottom, std::uint16_t color)
{
    left = std::max({left, clip.left, 0});
    top = std::max({top, clip.top, 0});
    right = std::min({right, clip.right, frame.width});
    bottom = std::min({bottom, clip.bottom, frame.height});
    for (std::int32_t y = top; y < bottom; ++y) {
        std::uint16_t* row = frame.row16(y);
        std::fill(row + left, row + std::max(left, right), color);
    }
}

}  // namespace

struct FreeTypeText::Impl {
    FT_Library library = nullptr;
    std::string folder;  // where the faces are; empty: where fontconfig says
#if WORDLARK_FONTCONFIG
    // Our own fontconfig configuration, so that nothing of it outlives the renderer.
    FcConfig* fonts = nullptr;
#endif
    // Faces by (face name, bold, italic).
    std::map<std::tuple<std::string, bool, bool>, LoadedFace> faces;
    // Glyphs by (face file, 26.6 size, x scale in 1/65536, byte).
    std::map<std::tuple<std::string, long, long, unsigned char>, Glyph> glyphs;

    ~Impl()
    {
        for (auto& entry : faces) {
            if (entry.second.face != nullptr) {
                FT_Done_Face(entry.second.face);
            }
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
#if WORDLARK_FONTCONFIG
        if (fonts != nullptr) {
            FcConfigDestroy(fonts);
        }
#endif
    }

    // The file of the face the game names, as fontconfig finds it.
    std::pair<std::string, int> systemFace(const std::string& faceName, bool bold, bool italic)
    {
#if WORDLARK_FONTCONFIG
        if (fonts == nullptr) {
            fonts = FcInitLoadConfigAndFonts();
            if (fonts == nullptr) {
                return {};
            }
        }
        // The face asked for, then its metric-compatible stand-ins, then any serif.
        std::vector<std::string> families{faceName};
        if (faceName.size() > 4 && faceName.compare(faceName.size() - 4, 4, " Cyr") == 0) {
            families.push_back(faceName.substr(0, faceName.size() - 4));
        }
        families.push_back("Liberation Serif");
        for (const std::string& family : families) {
            std::pair<std::string, int> file = findFace(fonts, family, bold, italic, false);
            if (!file.first.empty()) {
                return file;
            }
        }
        return findFace(fonts, "serif", bold, italic, true);
#else
        (void)faceName;
        (void)bold;
        (void)italic;
        return {};
#endif
    }

    LoadedFace* face(const TextStyle& style)
    {
        const bool bold = style.font.weight >= 600;
        const bool italic = style.font.italic != 0;
        const auto key = std::make_tuple(style.faceName, bold, italic);
        auto found = faces.find(key);
        if (found != faces.end()) {
            return found->second.face != nullptr ? &found->second : nullptr;
        }
        LoadedFace& loaded = faces[key];
        if (library == nullptr && FT_Init_FreeType(&library) != 0) {
            library = nullptr;
            return nullptr;
        }
        const std::pair<std::string, int> file = folder.empty()
                                                     ? systemFace(style.faceName, bold, italic)
                                                     : folderFace(folder, bold, italic);
        if (file.first.empty() ||
            FT_New_Face(library, file.first.c_str(), file.second, &loaded.face) != 0) {
            loaded.face = nullptr;
            return nullptr;
        }
        FT_Select_Charmap(loaded.face, FT_ENCODING_UNICODE);
        loaded.path = file.first;
        loaded.unitsPerEm = loaded.face->units_per_EM > 0 ? loaded.face->units_per_EM : 2048;
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(loaded.face, FT_SFNT_OS2));
        if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
            loaded.winAscent = os2->usWinAscent;
            loaded.winDescent = os2->usWinDescent;
        } else {
            loaded.winAscent = loaded.face->ascender;
            loaded.winDescent = -loaded.face->descender;
        }
        if (loaded.winAscent + loaded.winDescent <= 0) {
            loaded.winAscent = loaded.unitsPerEm * 0.9;
            loaded.winDescent = loaded.unitsPerEm * 0.2;
        }
        double weighted = 0;
        for (std::size_t i = 0; i < kLetterWeights.size(); ++i) {
            const char32_t ch = i < 26 ? static_cast<char32_t>('a' + i) : U' ';
            FT_Fixed advance = 0;
            const FT_UInt index = FT_Get_Char_Index(loaded.face, ch);
            if (FT_Get_Advance(loaded.face, index, FT_LOAD_NO_SCALE, &advance) == 0) {
                weighted += static_cast<double>(advance) * kLetterWeights[i];
            }
        }
        loaded.averageUnits = weighted / 1000.0;
        return &loaded;
    }

    static Sizing sizing(const LoadedFace& face, const TextStyle& style)
    {
        Sizing size;
        const double cellUnits = face.winAscent + face.winDescent;
        std::int32_t height = style.font.height;
        if (height < 0) {
            // A negative height asks for the em size; the cell follows from it.
            const double em = std::min<double>(-static_cast<double>(height), kMaxCellHeight);
            size.pixelsPerEm = em;
            height = static_cast<std::int32_t>(std::lround(em * cellUnits / face.unitsPerEm));
        } else {
            if (height == 0) {
                height = kDefaultCellHeight;
            }
            height = std::min(height, kMaxCellHeight);
            size.pixelsPerEm = height * face.unitsPerEm / cellUnits;
        }
        size.ascent = static_cast<std::int32_t>(
            std::lround(face.winAscent * size.pixelsPerEm / face.unitsPerEm));
        size.ascent = std::min(size.ascent, height);
        size.descent = height - size.ascent;
        const double natural = face.averageUnits * size.pixelsPerEm / face.unitsPerEm;
        size.averageWidth = static_cast<std::int32_t>(std::lround(natural));
        const auto wanted = static_cast<std::int32_t>(
            std::min<std::int64_t>(std::abs(std::int64_t{style.font.width}), kMaxCellHeight));
        if (wanted != 0 && wanted != size.averageWidth && natural > 0) {
            size.xScale = wanted / natural;
            size.averageWidth = wanted;
        }
        return size;
    }

    const Glyph* glyph(LoadedFace& face, const Sizing& size, unsigned char byte)
    {
        const long size26 = std::lround(size.pixelsPerEm * 64);
        const long scale16 = std::lround(size.xScale * 65536);
        const auto key = std::make_tuple(face.path, size26, scale16, byte);
        auto found = glyphs.find(key);
        if (found != glyphs.end()) {
            return &found->second;
        }
        if (glyphs.size() >= kMaxCachedGlyphs) {
            glyphs.clear();
        }
        Glyph& made = glyphs[key];
        if (FT_Set_Char_Size(face.face, 0, size26, 72, 72) != 0) {
            return &made;
        }
        FT_Matrix matrix{static_cast<FT_Fixed>(scale16), 0, 0, 0x10000};
        FT_Set_Transform(face.face, &matrix, nullptr);
        const FT_UInt index = FT_Get_Char_Index(face.face, cp1252ToCodePoint(byte));
        if (FT_Load_Glyph(face.face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0 ||
            FT_Render_Glyph(face.face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
            return &made;
        }
        const FT_GlyphSlot slot = face.face->glyph;
        made.advance = static_cast<std::int32_t>((slot->advance.x + 32) >> 6);
        made.left = slot->bitmap_left;
        made.top = slot->bitmap_top;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.buffer != nullptr) {
            made.width = static_cast<std::int32_t>(bitmap.width);
            made.rows = static_cast<std::int32_t>(bitmap.rows);
            made.coverage.resize(static_cast<std::size_t>(made.width) * made.rows);
            for (std::int32_t y = 0; y < made.rows; ++y) {
                const unsigned char* row =
                    bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
                std::copy(row, row + made.width,
                          made.coverage.begin() + static_cast<std::ptrdiff_t>(y) * made.width);
            }
        }
        return &made;
    }
};

FreeTypeText::FreeTypeText(std::string fontFolder) : impl_(std::make_unique<Impl>())
{
    impl_->folder = std::move(fontFolder);
}
FreeTypeText::~FreeTypeText() = default;

bool FreeTypeText::available()
{
    TextStyle style;
    style.font.height = kDefaultCellHeight;
    style.faceName = "Times New Roman Cyr";
    return impl_->face(style) != nullptr;
}

std::string FreeTypeText::facePath()
{
    TextStyle style;
    style.font.weight = 400;
    style.faceName = "Times New Roman Cyr";
    LoadedFace* face = impl_->face(style);
    return face != nullptr ? face->path : std::string();
}

TextMetrics FreeTypeText::metrics(const TextStyle& style)
{
    TextMetrics metrics;
    LoadedFace* face = impl_->face(style);
    if (face == nullptr) {
        return metrics;
    }
    const Sizing size = Impl::sizing(*face, style);
    metrics.ascent = size.ascent;
    metrics.descent = size.descent;
    metrics.averageWidth = size.averageWidth;
    return metrics;
}

std::int32_t FreeTypeText::lineWidth(const TextStyle& style, std::string_view text)
{
    LoadedFace* face = impl_->face(style);
    if (face == nullptr) {
        return 0;
    }
    const Sizing size = Impl::sizing(*face, style);
    std::int32_t width = 0;
    for (const char c : text) {
        width += impl_->glyph(*face, size, static_cast<unsigned char>(c))->advance;
    }
    return width;
}

std::int32_t FreeTypeText::drawLine(const Surface& frame, std::int32_t x, std::int32_t y,
                                    std::string_view text, const TextStyle& style,
                                    const TextRect& clip)
{
    LoadedFace* face = impl_->face(style);
    if (face == nullptr || frame.pixels == nullptr) {
        return 0;
    }
    const Sizing size = Impl::sizing(*face, style);
    const std::int32_t width = lineWidth(style, text);
    // Anything this far out is off the frame; keeping it near keeps the arithmetic in range.
    constexpr std::int32_t kFar = 1 << 24;
    x = std::clamp(x, -kFar, kFar);
    y = std::clamp(y, -kFar, kFar);
    const TextRect bounds{std::max({clip.left, 0}), std::max({clip.top, 0}),
                          std::min(clip.right, frame.width), std::min(clip.bottom, frame.height)};
    if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) {
        return width;
    }
    const std::int32_t cellHeight = size.ascent + size.descent;
    if (style.opaque) {
        fillRect(frame, bounds, x, y, x + width, y + cellHeight, colorRefTo565(style.backColor));
    }
    const std::uint16_t ink = colorRefTo565(style.textColor);
    const std::int32_t baseline = y + size.ascent;
    std::int32_t pen = x;
    for (const char c : text) {
        const Glyph* glyph = impl_->glyph(*face, size, static_cast<unsigned char>(c));
        const std::int32_t gx = pen + glyph->left;
        const std::int32_t gy = baseline - glyph->top;
        const std::int32_t x0 = std::max(gx, bounds.left);
        const std::int32_t x1 = std::min(gx + glyph->width, bounds.right);
        const std::int32_t y0 = std::max(gy, bounds.top);
        const std::int32_t y1 = std::min(gy + glyph->rows, bounds.bottom);
        for (std::int32_t py = y0; py < y1; ++py) {
            std::uint16_t* row = frame.row16(py);
            const std::uint8_t* cover =
                glyph->coverage.data() + static_cast<std::ptrdiff_t>(py - gy) * glyph->width;
            for (std::int32_t px = x0; px < x1; ++px) {
                const unsigned coverage = cover[px - gx];
                if (coverage != 0) {
                    row[px] = blend565(row[px], ink, coverage);
                }
            }
        }
        pen += glyph->advance;
    }
    // Underline one pixel below the baseline; strike-out through the middle of the small letters.
    const std::int32_t thickness = std::max(1, cellHeight / 16);
    if (style.font.underline != 0) {
        fillRect(frame, bounds, x, baseline + 1, x + width, baseline + 1 + thickness, ink);
    }
    if (style.font.strikeOut != 0) {
        const std::int32_t strike = baseline - size.ascent / 3;
        fillRect(frame, bounds, x, strike, x + width, strike + thickness, ink);
    }
    return width;
}

}  // namespace wordlark::platform::freetype
