#include "heaptool/Quantiser.h"

namespace wordlark::heaptool {

bool quantise(const RgbaView&, std::vector<QuantisedColour>*, std::vector<std::uint8_t>*,
              std::string* error)
{
    *error = "this build cannot reduce a picture to 256 colours";
    return false;
}

}  // namespace wordlark::heaptool
