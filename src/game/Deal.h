// Deal.h -- the rules of a deal: dealing, judging the player's word, passing, clearing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/HistoryEntry.h"

namespace wordlark::platform {
class Random;
}
namespace wordlark::words {
class Dictionary;
}

namespace wordlark::game {

class LetterPool;
class SaveProblems;
class WordRow;
struct GameState;
struct Scores;

// The target length of the computer's answer at a level; draws from `random` for the levels
// whose lengths vary. Levels outside 0..10 count as the nearest end.
std::int32_t computerWordLength(std::int32_t level, platform::Random& random);

// What a deal does to the letters, the rows, the used words, the counts and the player's
// files. It knows no buttons, panels or windows: the game screen maps its buttons and input
// onto these operations and sets its buttons from their results.
class Deal {
public:
    // Everything is the game's and outlives the deal.
    Deal(GameState& state, Scores& scores, SaveProblems& problems, LetterPool& pool,
         WordRow& playerRow, WordRow& computerRow, words::Dictionary& dictionary,
         std::string playerFolder);

    // A new deal: counts a game, forgets the used words, empties both rows (the letters are
    // dropped) and deals twelve letters, the last perhaps the joker: `letters` when given (a
    // code or the daily deal, whose number `daily` is then), else new ones.
    void start(const std::string& letters = {}, std::optional<std::int32_t> daily = {});

    // The letters as dealt (before any sorting); empty before the first deal.
    const std::string& dealt() const { return dealt_; }
    // The number of the daily deal in play; none for any other deal.
    std::optional<std::int32_t> daily() const { return daily_; }
    // Whether this deal has a verdict that reached the player's files.
    bool judged() const { return judged_; }

    // The player's best verdict of this deal: his longest accepted word (none for a pass),
    // the computer's answer to it, and the longest word the letters allowed.
    struct Best {
        std::size_t word = 0;
        std::size_t computer = 0;
        HistoryResult result = HistoryResult::Defeat;
        std::int32_t longest = 0;
    };
    const std::optional<Best>& best() const { return best_; }

    enum class Judgement {
        Repeat,   // played already in this deal: its letters went back to the pool
        Unknown,  // neither the dictionary nor the player's list knows it: nothing changed
        Judged,   // accepted, answered by the computer, the verdict recorded and saved
    };
    // Judges the word of the player's row.
    Judgement demand();

    // Gives the deal up: the player's letters go back, the computer answers, and it counts as
    // a defeat whatever the answer.
    void pass();

    // Every letter of the player's row back to the pool.
    void clear();

    // The answer to "keep this unknown word?": yes appends it to the player's list (a new
    // demand then accepts it), no clears the row. Nothing with an empty row.
    void saveWordAnswer(bool yes);

private:
    struct Ratings {
        std::int32_t player;
        std::int32_t computer;
    };
    Ratings ratings() const;
    void answer();
    void checkSaved(bool saved, const std::string& why);
    // Appends the verdict just recorded to the player's history.
    void keepHistory(HistoryResult result, const std::string& playerWord, Ratings before);

    GameState& state_;
    Scores& scores_;
    SaveProblems& problems_;
    LetterPool& pool_;
    WordRow& playerRow_;
    WordRow& computerRow_;
    words::Dictionary& dictionary_;
    std::string playerFolder_;
    // The letters of the deal as they were dealt, before any sorting.
    std::string dealt_;
    std::optional<std::int32_t> daily_;
    bool judged_ = false;
    std::optional<Best> best_;
};

}  // namespace wordlark::game
