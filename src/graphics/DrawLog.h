// DrawLog.h -- what a frame drew, in order: pictures, texts and inverted rectangles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wordlark::graphics {

// Kept only when someone asks (the replay's state); the display writes into it while one is
// installed and costs one test of a pointer per call otherwise.
struct DrawLog {
    struct Picture {
        std::string name;  // the archive entry
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t frame = 0;  // the animation's frame, 0 for a still picture
    };
    struct Text {
        std::string text;  // Windows-1252
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t width = 0;  // the box's size for text centred in a box, else 0
        std::int32_t height = 0;
        bool boxed = false;
    };
    struct Rect {
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
    };

    std::vector<Picture> pictures;
    std::vector<Text> texts;
    std::vector<Rect> inverted;

    void clear()
    {
        pictures.clear();
        texts.clear();
        inverted.clear();
    }
};

}  // namespace wordlark::graphics
