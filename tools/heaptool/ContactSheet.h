// ContactSheet.h -- lays pictures out on one labelled review sheet.
#pragma once

#include <string>
#include <vector>

#include "platform/png/PngImage.h"

namespace wordlark::heaptool {

class ContactSheet {
public:
    // Queues a picture (copied) with the label printed under it.
    void add(std::string label, const platform::PngImage& picture);

    // The sheet: pictures in rows, left to right in the order added, each over a checkerboard
    // that shows its transparent pixels, its label under it. Pictures longer than 1024 pixels
    // on a side are shown scaled down (the label says by how much); the sheet stops growing at
    // platform::kPngMaxSide rows, and *omitted (when given) counts the pictures left off.
    platform::PngImage compose(int* omitted = nullptr) const;

    int size() const { return static_cast<int>(items_.size()); }

private:
    struct Item {
        std::string label;
        platform::PngImage picture;
    };
    std::vector<Item> items_;
};

}  // namespace wordlark::heaptool
