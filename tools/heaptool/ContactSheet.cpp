#include "heaptool/ContactSheet.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>

namespace wordlark::heaptool {

namespace {

constexpr int kSheetWidth = 1280;
constexpr int kMaxShown = 1024;  // longest side of a picture as shown
constexpr int kGap = 8;
constexpr int kMinCellWidth = 120;
constexpr int kLabelHeight = 16;
constexpr int kLabelPixels = 11;
constexpr std::uint8_t kSheetGrey = 0x40;
constexpr std::uint8_t kLabelInk = 0xF0;

// Labels in a sans face found through fontconfig. Without fonts the sheet has no labels but is
// otherwise the same: review should not fail for want of a font.
class LabelFont {
public:
    LabelFont()
    {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            return;
        }
        const std::string file = fontFile();
        if (file.empty() || FT_New_Face(library_, file.c_str(), 0, &face_) != 0 ||
            FT_Set_Pixel_Sizes(face_, 0, kLabelPixels) != 0) {
            face_ = nullptr;
        }
    }
    ~LabelFont()
    {
        if (face_) {
            FT_Done_Face(face_);
        }
        if (library_) {
            FT_Done_FreeType(library_);
        }
    }
    LabelFont(const LabelFont&) = delete;
    LabelFont& operator=(const LabelFont&) = delete;

    // Draws text with its baseline at y, from x, clipped to x .. limit - 1.
    void draw(platform::PngImage& sheet, int x, int y, int limit, const std::string& text) const
    {
        if (!face_) {
            return;
        }
        for (const char c : text) {
            const unsigned char code = static_cast<unsigned char>(c) < 0x80 ? c : '?';
            if (FT_Load_Char(face_, code, FT_LOAD_RENDER) != 0) {
                continue;
            }
            const FT_GlyphSlot glyph = face_->glyph;
            const FT_Bitmap& bitmap = glyph->bitmap;
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                for (unsigned column = 0; column < bitmap.width; ++column) {
                    const int px = x + glyph->bitmap_left + static_cast<int>(column);
                    const int py = y - glyph->bitmap_top + static_cast<int>(row);
                    if (px < 0 || px >= limit || px >= sheet.width || py < 0 ||
                        py >= sheet.height) {
                        continue;
                    }
                    const unsigned coverage = bitmap.buffer[row * bitmap.pitch + column];
                    std::uint8_t* p = sheet.pixel(px, py);
                    for (int k = 0; k < 3; ++k) {
                        p[k] = static_cast<std::uint8_t>(
                            (p[k] * (255 - coverage) + kLabelInk * coverage) / 255);
                    }
                }
            }
            x += static_cast<int>(glyph->advance.x >> 6);
            if (x >= limit) {
                return;
            }
        }
    }

private:
    // A configuration of our own, destroyed afterwards: the library's default one would stay
    // allocated until exit.
    static std::string fontFile()
    {
        FcConfig* config = FcInitLoadConfigAndFonts();
        if (!config) {
            return {};
        }
        std::string file;
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
        if (pattern) {
            FcConfigSubstitute(config, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            FcPattern* match = FcFontMatch(config, pattern, &result);
            FcChar8* path = nullptr;
            if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
                file = reinterpret_cast<const char*>(path);
            }
            if (match) {
                FcPatternDestroy(match);
            }
            FcPatternDestroy(pattern);
        }
        FcConfigDestroy(config);
        return file;
    }

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

int shrinkFactor(const platform::PngImage& picture)
{
    const int longest = std::max(picture.width, picture.height);
    return longest <= kMaxShown ? 1 : (longest + kMaxShown - 1) / kMaxShown;
}

struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;  // shown size
    int height = 0;
    int factor = 1;
};

}  // namespace

void ContactSheet::add(std::string label, const platform::PngImage& picture)
{
    items_.push_back(Item{std::move(label), picture});
}

platform::PngImage ContactSheet::compose(int* omitted) const
{
    // Shelf layout: a row takes pictures until the next one would pass the sheet's width.
    std::vector<Placement> placements;
    int x = kGap;
    int y = kGap;
    int rowHeight = 0;
    int sheetHeight = kGap;
    for (const Item& item : items_) {
        Placement p;
        p.factor = shrinkFactor(item.picture);
        p.width = std::max(1, item.picture.width / p.factor);
        p.height = std::max(1, item.picture.height / p.factor);
        const int cellWidth = std::max(p.width, kMinCellWidth);
        const int cellHeight = p.height + kLabelHeight;
        if (x > kGap && x + cellWidth + kGap > kSheetWidth) {
            x = kGap;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        if (y + cellHeight + kGap > platform::kPngMaxSide) {
            break;
        }
        p.x = x;
        p.y = y;
        placements.push_back(p);
        x += cellWidth + kGap;
        rowHeight = std::max(rowHeight, cellHeight);
        sheetHeight = std::max(sheetHeight, y + cellHeight + kGap);
    }
    if (omitted) {
        *omitted = static_cast<int>(items_.size() - placements.size());
    }
    platform::PngImage sheet(kSheetWidth, sheetHeight);
    for (std::size_t i = 0; i < sheet.rgba.size(); i += 4) {
        sheet.rgba[i] = sheet.rgba[i + 1] = sheet.rgba[i + 2] = kSheetGrey;
        sheet.rgba[i + 3] = 255;
    }
    const LabelFont font;
    for (std::size_t i = 0; i < placements.size(); ++i) {
        const Placement& p = placements[i];
        const platform::PngImage& picture = items_[i].picture;
        for (int row = 0; row < p.height; ++row) {
            for (int column = 0; column < p.width && p.x + column < sheet.width; ++column) {
                const std::uint8_t* from = picture.pixel(column * p.factor, row * p.factor);
                std::uint8_t* to = sheet.pixel(p.x + column, p.y + row);
                // Checks of 8 pixels behind the picture make its transparent pixels visible.
                const std::uint8_t check = ((row / 8 + column / 8) % 2) ? 0xC0 : 0x90;
                for (int k = 0; k < 3; ++k) {
                    to[k] = static_cast<std::uint8_t>(
                        (from[k] * from[3] + check * (255 - from[3])) / 255);
                }
            }
        }
        std::string label = items_[i].label;
        if (p.factor > 1) {
            label += " (1/" + std::to_string(p.factor) + ")";
        }
        const int limit = std::min(sheet.width, p.x + std::max(p.width, kMinCellWidth));
        font.draw(sheet, p.x, p.y + p.height + kLabelHeight - 4, limit, label);
    }
    return sheet;
}

}  // namespace wordlark::heaptool
