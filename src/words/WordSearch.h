// WordSearch.h -- letter sets: what can be laid out of them, the deal, the computer's answer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "words/WordBuffer.h"

namespace wordlark::platform {
class Random;
}  // namespace wordlark::platform

namespace wordlark::words {

class Dictionary;
class UsedWordList;

// The joker tile: the byte after 'Z'. It stands for any one letter and occurs only in
// letter sets, never in a word.
inline constexpr char kJoker = '[';

// A dealt set: exactly twelve letters, the joker (if any) in the last place, then a NUL.
inline constexpr std::size_t kLetterSetSize = 12;
using LetterSet = char[kLetterSetSize + 1];

// Whether word can be laid out of letters: each character takes a matching letter while one
// is left, else a joker. The empty word can always be made.
bool canMake(std::string_view letters, std::string_view word);

// A random word of exactly that length from the records or the player's list: a random
// start, then short words are skipped forward more often than long ones. False when no word
// of that length exists anywhere. Leaves the search cursor after the word returned.
bool pickWordOfLength(Dictionary& dictionary, platform::Random& random, std::size_t length,
                      WordBuffer& out);

// Deals twelve letters made of the words of a random pattern row, shuffled, the last one
// replaced by the joker in about one deal of twenty. A row that cannot be filled (a length
// missing from the dictionary and the player's list) gives way to another row; when none
// can be filled the letters are drawn at random. Never loops forever.
void dealLetters(Dictionary& dictionary, platform::Random& random, LetterSet& out);

// The computer's answer: the longest word of at most `longest` letters that can be laid out
// of letters and is not in used, ties going to the first met from a random start (the
// records after it, the player's list, then the records up to it). out is empty when there
// is none or longest is 1 or less. Leaves the player's list closed.
void findComputerWord(Dictionary& dictionary, platform::Random& random, const UsedWordList& used,
                      std::string_view letters, WordBuffer& out, int longest);

// Every word of the listing (records in stored order, then the player's list in file order)
// that can be laid out of letters, as often as it occurs: the analysis list.
std::vector<std::string> makeableWords(Dictionary& dictionary, std::string_view letters);

// The length of the longest word of that listing: what the best answer to the letters was. 0
// when no word can be made.
std::size_t longestMakeableLength(Dictionary& dictionary, std::string_view letters);

}  // namespace wordlark::words
