// JokerStrip.h -- where the alphabet strip for the joker's letter is, and its letter cells.
#pragma once

#include <algorithm>
#include <cstdint>

namespace wordlark::game {

// While the player holds the right button on the joker, the strip shows A to Z in cells 20
// pixels wide from x = 20; the release picks the cell under the pointer, the drawing marks it.
struct JokerStrip {
    static constexpr std::int32_t kX = 280;  // where the picture is drawn
    static constexpr std::int32_t kY = 290;
    static constexpr std::int32_t kCellLeft = 20;
    static constexpr std::int32_t kCellTop = 272;
    static constexpr std::int32_t kCellWidth = 20;
    static constexpr std::int32_t kMarkWidth = 19;
    static constexpr std::int32_t kMarkHeight = 18;

    // The cell (0 for A .. 25 for Z) under x; positions past either end hold at A and Z.
    // The division truncates toward zero, so the few pixels left of the first cell are A too.
    static constexpr std::int32_t cellAt(std::int32_t x)
    {
        return std::clamp((x - kCellLeft) / kCellWidth, 0, 25);
    }
    static constexpr char letterAt(std::int32_t x) { return static_cast<char>('A' + cellAt(x)); }
    static constexpr std::int32_t cellX(std::int32_t cell) { return kCellLeft + kCellWidth * cell; }
};

}  // namespace wordlark::game
