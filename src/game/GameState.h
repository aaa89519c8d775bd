// GameState.h -- the process-wide game values: player, level, computer rating, used words.
#pragma once

#include <cstdint>

#include "game/PlayerRecord.h"
#include "words/UsedWordList.h"

namespace wordlark::game {

// What the game keeps outside the game screen, one instance for the whole run
// (gameState()). Code that changes these values takes the state as a parameter.
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

    // Sets the level and, with it, the computer's rating.
    void setLevel(std::int32_t level);
};

// The one instance, alive for the whole process.
GameState& gameState();

}  // namespace wordlark::game
