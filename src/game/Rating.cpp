#include "game/Rating.h"

#include <cmath>

namespace wordlark::game {

namespace {

// The area of the standard normal distribution between 0 and k/10, for k = 0..30, except
// the last value: it stands for every difference of 300 points or more, and is 0.49999
// (not the 0.49865 of the normal table) on purpose.
constexpr double kNormalArea[31] = {
    0.00000, 0.03983, 0.07926, 0.11791, 0.15542, 0.19146, 0.22575, 0.25804,
    0.28814, 0.31594, 0.34134, 0.36433, 0.38493, 0.40320, 0.41924, 0.43319,
    0.44520, 0.45543, 0.46407, 0.47128, 0.47725, 0.48214, 0.48610, 0.48928,
    0.49180, 0.49379, 0.49534, 0.49653, 0.49744, 0.49813, 0.49999,
};
constexpr int kLastStep = 30;

}  // namespace

std::int32_t ratingChange(std::int32_t playerRating, std::int32_t computerRating, Outcome outcome)
{
    // In floating point from the start: the difference of two 32-bit ratings may not fit.
    double d =
        std::fabs(static_cast<double>(playerRating) - static_cast<double>(computerRating)) * 0.1;
    if (d > kLastStep) {
        d = kLastStep;
    }
    const int e = static_cast<int>(d);
    const double f = d - e;
    double g =
        e >= kLastStep ? kNormalArea[kLastStep] : (1 - f) * kNormalArea[e] + f * kNormalArea[e + 1];
    if (playerRating < computerRating) {
        g = -g;
    }
    const double expected = g + 0.5;
    const double score = static_cast<int>(outcome) * 0.5;
    return static_cast<std::int32_t>(16 * (score - expected));
}

}  // namespace wordlark::game
