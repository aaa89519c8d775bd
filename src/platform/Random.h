// Random.h -- the game's pseudo-random generator: values 0..32767, seedable.
#pragma once

#include <cstdint>

namespace wordlark::platform {

// The game's formulas (rand() * count / 32768, rand() % 6) assume a generator whose
// values run from 0 to 32767. glibc's rand() goes up to 2^31-1, so we keep our own:
// the classic linear congruential generator with that range.
class Random {
public:
    static constexpr int kMax = 32767;

    explicit Random(std::uint32_t seed = 1) : state_(seed) {}

    void seed(std::uint32_t seed) { state_ = seed; }

    // Next value, 0..32767.
    int next()
    {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }

private:
    std::uint32_t state_;
};

}  // namespace wordlark::platform
