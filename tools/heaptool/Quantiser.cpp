#include "heaptool/Quantiser.h"

#include <libimagequant.h>

#include <memory>

namespace wordlark::heaptool {

namespace {

struct LiqDeleter {
    void operator()(liq_attr* p) const { liq_attr_destroy(p); }
    void operator()(liq_image* p) const { liq_image_destroy(p); }
    void operator()(liq_result* p) const { liq_result_destroy(p); }
};

}  // namespace

bool quantise(const RgbaView& image, std::vector<QuantisedColour>* palette,
              std::vector<std::uint8_t>* indices, std::string* error)
{
    std::unique_ptr<liq_attr, LiqDeleter> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), 256) != LIQ_OK) {
        *error = "cannot set up the colour quantiser";
        return false;
    }
    std::unique_ptr<liq_image, LiqDeleter> input(
        liq_image_create_rgba(attr.get(), image.pixels, image.width, image.height, 0.0));
    if (!input) {
        *error = "cannot hand the picture to the colour quantiser";
        return false;
    }
    liq_result* raw = nullptr;
    if (liq_image_quantize(input.get(), attr.get(), &raw) != LIQ_OK || !raw) {
        *error = "colour quantisation failed";
        return false;
    }
    std::unique_ptr<liq_result, LiqDeleter> result(raw);
    liq_set_dithering_level(result.get(), 0.0f);
    indices->assign(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height),
                    0);
    if (liq_write_remapped_image(result.get(), input.get(), indices->data(), indices->size()) !=
        LIQ_OK) {
        *error = "colour quantisation failed";
        return false;
    }
    const liq_palette* colours = liq_get_palette(result.get());
    palette->clear();
    for (unsigned i = 0; i < colours->count && i < 256; ++i) {
        const liq_color& c = colours->entries[i];
        palette->push_back({c.r, c.g, c.b, c.a});
    }
    return true;
}

}  // namespace wordlark::heaptool
