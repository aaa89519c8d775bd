#include "game/PlayerRecord.h"

#include <algorithm>
#include <cstring>

#include "archive/Endian.h"

namespace wordlark::game {

namespace {

constexpr std::size_t kPasswordOffset = PlayerRecord::kTextSize;
constexpr std::size_t kNumbersOffset = 2 * PlayerRecord::kTextSize;

}  // namespace

PlayerRecord PlayerRecord::anonymous()
{
    PlayerRecord record;
    record.setName("Anonim");
    return record;
}

void PlayerRecord::holdInRange()
{
    level = std::clamp(level, kMinLevel, kMaxLevel);
    rating = std::clamp(rating, -kMaxMagnitude, kMaxMagnitude);
    for (std::int32_t* count : {&games, &victories, &defeats, &ties}) {
        *count = std::clamp(*count, 0, kMaxMagnitude);
    }
}

std::string_view PlayerRecord::textView(const std::array<char, kTextSize>& text)
{
    const auto end = std::find(text.begin(), text.end(), '\0');
    return {text.data(), static_cast<std::size_t>(end - text.begin())};
}

void PlayerRecord::setText(std::array<char, kTextSize>& field, std::string_view text)
{
    const std::size_t size = std::min(text.size(), kTextSize - 1);
    std::copy_n(text.begin(), size, field.begin());
    field[size] = '\0';
}

void PlayerRecord::toBytes(std::uint8_t* out) const
{
    std::memcpy(out, name.data(), kTextSize);
    std::memcpy(out + kPasswordOffset, password.data(), kTextSize);
    const std::int32_t numbers[] = {rating, level, games, victories, defeats, ties, reserved};
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
        archive::writeLe32(out + kNumbersOffset + 4 * i, static_cast<std::uint32_t>(numbers[i]));
    }
}

PlayerRecord PlayerRecord::fromBytes(const std::uint8_t* in)
{
    PlayerRecord record;
    std::memcpy(record.name.data(), in, kTextSize);
    std::memcpy(record.password.data(), in + kPasswordOffset, kTextSize);
    std::int32_t* numbers[] = {&record.rating,  &record.level, &record.games,   &record.victories,
                               &record.defeats, &record.ties,  &record.reserved};
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
        *numbers[i] = static_cast<std::int32_t>(archive::readLe32(in + kNumbersOffset + 4 * i));
    }
    return record;
}

}  // namespace wordlark::game
