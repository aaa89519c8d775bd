#include "game/Deal.h"

#include <algorithm>
#include <array>

#include "game/GameState.h"
#include "game/HistoryFile.h"
#include "game/LetterPool.h"
#include "game/SaveProblems.h"
#include "game/Scores.h"
#include "game/Verdict.h"
#include "game/WordRow.h"
#include "platform/Desktop.h"
#include "words/Dictionary.h"
#include "words/WordBuffer.h"
#include "words/WordSearch.h"

namespace wordlark::game {

std::int32_t computerWordLength(std::int32_t level, platform::Random& random)
{
    struct Lengths {
        std::int32_t base;
        std::int32_t spread;
    };
    static constexpr std::array<Lengths, 11> table{{
        {3, 0},
        {3, 0},
        {3, 1},
        {3, 2},
        {4, 2},
        {5, 1},
        {5, 2},
        {6, 1},
        {6, 2},
        {7, 1},
        {8, 1},
    }};
    if (level <= 0) {
        return 3;
    }
    const Lengths& row = table[static_cast<std::size_t>(std::min(level, 10))];
    return row.base + random.next() % (row.spread + 1);
}

Deal::Deal(GameState& state, Scores& scores, SaveProblems& problems, LetterPool& pool,
           WordRow& playerRow, WordRow& computerRow, words::Dictionary& dictionary,
           std::string playerFolder)
    : state_(state),
      scores_(scores),
      problems_(problems),
      pool_(pool),
      playerRow_(playerRow),
      computerRow_(computerRow),
      dictionary_(dictionary),
      playerFolder_(std::move(playerFolder))
{
}

void Deal::start(const std::string& letters, std::optional<std::int32_t> daily)
{
    ++state_.currentPlayer.games;
    problems_.clearNotice();
    state_.usedWords.clear();
    while (playerRow_.removeFirst() != 0) {
    }
    while (computerRow_.removeFirst() != 0) {
    }
    if (letters.empty()) {
        words::LetterSet dealt{};
        words::dealLetters(dictionary_, state_.random, dealt);
        pool_.deal(dealt);
    } else {
        pool_.deal(letters);
    }
    dealt_ = pool_.letters();
    daily_ = letters.empty() ? std::nullopt : daily;
    judged_ = false;
    best_.reset();
}

Deal::Judgement Deal::demand()
{
    const std::string word(playerRow_.word());
    if (state_.usedWords.contains(word)) {
        clear();
        return Judgement::Repeat;
    }
    if (!dictionary_.isWord(word)) {
        return Judgement::Unknown;
    }
    state_.usedWords.add(word);
    answer();
    const std::size_t theirs = computerRow_.word().size();
    const Ratings before = ratings();
    std::string why;
    bool saved = false;
    HistoryResult result = HistoryResult::Tie;
    if (word.size() > theirs) {
        saved = recordVictory(state_, scores_, playerFolder_, &why);
        result = HistoryResult::Victory;
    } else if (word.size() < theirs) {
        saved = recordDefeat(state_, scores_, playerFolder_, &why);
        result = HistoryResult::Defeat;
    } else {
        saved = recordTie(state_, scores_, playerFolder_, &why);
    }
    checkSaved(saved, why);
    if (saved) {
        keepHistory(result, word, before);
    }
    return Judgement::Judged;
}

void Deal::pass()
{
    clear();
    answer();
    const Ratings before = ratings();
    std::string why;
    const bool saved = recordDefeat(state_, scores_, playerFolder_, &why);
    checkSaved(saved, why);
    if (saved) {
        keepHistory(HistoryResult::Defeat, "", before);
    }
}

void Deal::clear()
{
    while (const char code = playerRow_.removeFirst()) {
        pool_.giveBack(code);
    }
}

void Deal::saveWordAnswer(bool yes)
{
    const std::string word(playerRow_.word());
    if (word.empty()) {
        return;
    }
    if (!yes) {
        clear();
        return;
    }
    std::string why;
    if (!dictionary_.playerList().appendWord(word, &why)) {
        problems_.report("the word " + word, why);
    }
}

// The computer's answer from all twelve letters, up to the level's length, never a word
// played already in this deal; it counts as played too, even when empty.
void Deal::answer()
{
    const std::int32_t length = computerWordLength(state_.currentLevel, state_.random);
    words::WordBuffer found{};
    words::findComputerWord(dictionary_, state_.random, state_.usedWords, pool_.letters(), found,
                            length);
    const std::string text(found);
    computerRow_.setWord(text);
    state_.usedWords.add(text);
}

Deal::Ratings Deal::ratings() const
{
    return {state_.currentPlayer.rating, state_.computerRating};
}

// The history follows the record that reached the disk (a record that could not be saved has
// been told already, and its folder would refuse the line too). It is the player's story, not
// his record: a line that cannot be written is told, and the verdict stands.
void Deal::keepHistory(HistoryResult result, const std::string& playerWord, Ratings before)
{
    judged_ = true;
    HistoryEntry entry;
    entry.time = platform::desktop().wallClock();
    entry.letters = dealt_.empty() ? pool_.letters() : dealt_;
    entry.level = state_.currentLevel;
    entry.playerWord = playerWord;
    entry.computerWord = computerRow_.word();
    entry.result = result;
    entry.ratingBefore = before.player;
    entry.ratingAfter = state_.currentPlayer.rating;
    entry.computerRatingBefore = before.computer;
    entry.computerRatingAfter = state_.computerRating;
    entry.longest =
        static_cast<std::int32_t>(words::longestMakeableLength(dictionary_, entry.letters));
    entry.daily = daily_;
    if (!best_ || playerWord.size() > best_->word) {
        best_ = Best{playerWord.size(), entry.computerWord.size(), result, entry.longest};
    }
    std::string why;
    const std::string name(state_.currentPlayer.nameView());
    if (!HistoryFile(playerFolder_, name).append(entry, &why)) {
        problems_.report("the history of " + name, why);
    }
}

void Deal::checkSaved(bool saved, const std::string& why)
{
    if (!saved) {
        problems_.report("the record of " + std::string(state_.currentPlayer.nameView()), why);
    }
}

}  // namespace wordlark::game
