// GameState.h -- the game's values beside its screen: player, level, ratings, used words, dice.
#pragma once

#include <cstdint>

#include "game/PlayerRecord.h"
#include "platform/Random.h"
#include "words/UsedWordList.h"

namespace wordlark::game {

// What the game keeps besides its screen. The Game owns the one instance and hands it to the
// rules and screens that read or change it.
struct GameState {
    // The record of the player in play; written to the player's file after every verdict.
    PlayerRecord currentPlayer = PlayerRecord::anonymous();
    std::int32_t currentLevel = 1;
    // The computer side's rating: 100 times the level whenever the level is set, moved by
    // every verdict, never stored.
    std::int32_t computerRating = 100;
    // The words played in the current deal by either side; emptied at every deal.
    words::UsedWordList usedWords;
    // True while the player holds the right button after pressing it on the joker of the
    // player's row: the alphabet strip is up and the release picks the letter.
    bool jokerPick = false;
    // The deals and the computer's answer lengths draw from this; start-up seeds it once from
    // the clock or --seed.
    platform::Random random;

    // Sets the level and, with it, the computer's rating.
    void setLevel(std::int32_t level);
};

}  // namespace wordlark::game
