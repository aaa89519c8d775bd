#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "game/GameHistory.h"
#include "game/HistoryEntry.h"
#include "game/HistoryExport.h"
#include "game/HistoryFile.h"
#include "game/PlayerRecord.h"
#include "game/RecordFile.h"
#include "support/TempDir.h"

namespace wordlark::game {
namespace {

HistoryEntry sample()
{
    HistoryEntry entry;
    entry.time = 1796801400;  // 2026-12-09T07:30:00Z
    entry.letters = "SNUSUAGLRMI[";
    entry.level = 3;
    entry.playerWord = "LUNGS";
    entry.computerWord = "NIL";
    entry.result = HistoryResult::Victory;
    entry.ratingBefore = 0;
    entry.ratingAfter = 13;
    entry.computerRatingBefore = 300;
    entry.computerRatingAfter = 287;
    entry.longest = 9;
    entry.daily = 343;
    return entry;
}

const std::string kSampleLine =
    "2026-12-09T07:30:00Z\tSNUSUAGLRMI?\t3\tLUNGS\tNIL\tvictory\t0\t13\t300\t287\t9\t343";

std::vector<HistoryEntry> readAll(const HistoryFile& file, std::uint64_t maxBytes,
                                  HistoryFile::Status* status = nullptr)
{
    std::vector<HistoryEntry> entries;
    const auto got =
        file.read([&entries](const HistoryEntry& e) { entries.push_back(e); }, maxBytes);
    if (status != nullptr) {
        *status = got;
    }
    return entries;
}

TEST(HistoryLineTest, LinesReadBackAsWrittenAndAnythingElseIsRefused)
{
    EXPECT_EQ(formatHistoryLine(sample()), kSampleLine + "\n");
    EXPECT_EQ(parseHistoryLine(kSampleLine), sample());
    EXPECT_EQ(parseHistoryLine(kSampleLine + "\r"), sample());
    HistoryEntry pass = sample();
    pass.playerWord.clear();
    pass.computerWord.clear();
    pass.result = HistoryResult::Defeat;
    pass.letters = "ABCDEFGHIJKL";
    pass.time = 0;
    pass.daily.reset();
    const std::string line = formatHistoryLine(pass);
    EXPECT_EQ(line.substr(0, 35), "1970-01-01T00:00:00Z\tABCDEFGHIJKL\t3");
    EXPECT_EQ(line.substr(line.size() - 4), "\t9\t\n");
    EXPECT_EQ(parseHistoryLine(line.substr(0, line.size() - 1)), pass);
    // Lines written before deals had numbers end at the longest word.
    EXPECT_EQ(parseHistoryLine(line.substr(0, line.size() - 2)), pass);
    EXPECT_EQ(parseUtcTime("2024-02-29T23:59:59Z"), 1709251199);

    const auto with = [](std::size_t field, const std::string& value) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = kSampleLine.find('\t', start)) != std::string::npos;
             start = tab + 1) {
            fields.push_back(kSampleLine.substr(start, tab - start));
        }
        fields.push_back(kSampleLine.substr(start));
        fields[field] = value;
        std::string out = fields[0];
        for (std::size_t i = 1; i < fields.size(); ++i) {
            out += '\t' + fields[i];
        }
        return out;
    };
    for (const std::string& bad : {
             std::string(),
             kSampleLine + "\t",
             kSampleLine.substr(0, kSampleLine.rfind('\t', kSampleLine.rfind('\t') - 1)),
             kSampleLine + std::string(300, ' '),
             with(0, "2026-02-30T07:30:00Z"),
             with(0, "2026-12-09 07:30:00"),
             with(0, "1969-12-31T23:59:59Z"),
             with(1, "SNUSUAGLRMI"),
             with(1, "?NUSUAGLRMIL"),
             with(1, "snusuaglrmil"),
             with(2, "-1"),
             with(2, "100"),
             with(3, "lungs"),
             with(3, std::string(16, 'A')),
             with(4, "N L"),
             with(5, "win"),
             with(6, "-5"),
             with(7, "2147483648"),
             with(8, "+3"),
             with(9, "1e3"),
             with(10, "16"),
             with(11, "0"),
             with(11, "0343"),
             with(11, "-1"),
             with(11, "2912444"),
             with(11, " "),
             with(3, std::string("LU\0NG", 5)),
         }) {
        EXPECT_FALSE(parseHistoryLine(bad)) << bad;
    }
    // Ratings anywhere in their 32-bit range and dates far ahead are the file's business.
    EXPECT_TRUE(parseHistoryLine(with(7, "2147483647")));
    EXPECT_TRUE(parseHistoryLine(with(0, "9999-12-31T23:59:59Z")));
}

class HistoryFileTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directory(dir_.file("save")); }
    test::TempDir dir_;
    HistoryFile file_{dir_.folder(), "Ada"};
};

TEST_F(HistoryFileTest, DamagedFilesGiveTheirReadableLinesOnly)
{
    // Garbage, NULs, CR LF, a 1 MB line, a line cut by a crash: each good line survives.
    std::string text = kSampleLine + "\r\n";
    text += std::string("\x01\xFF garbage\t\t\t\n", 14);
    text += std::string("2026-12-09T07:30:00Z\0\tX\n", 24);
    text += std::string(1 << 20, 'A') + kSampleLine + "\n";
    text += kSampleLine + "\n";
    text += kSampleLine.substr(0, kSampleLine.size() - 1);  // "9" of the last field cut
    dir_.writeText("save/Ada.his", text);
    HistoryFile::Status status{};
    EXPECT_EQ(readAll(file_, HistoryFile::kMaxReadBytes, &status).size(), 2u);
    EXPECT_EQ(status, HistoryFile::Status::Read);

    // Only the file's end is read, from the first whole line in it.
    dir_.writeText("save/Ada.his", kSampleLine + "\n" + kSampleLine + "\n" + kSampleLine + "\n");
    EXPECT_EQ(readAll(file_, kSampleLine.size() * 2 + 1).size(), 1u);
    EXPECT_EQ(readAll(file_, kSampleLine.size() * 2 + 2).size(), 2u);

    // An append after a cut line starts a line of its own, and the cut one never reads,
    // wherever the cut fell: in the daily number, in the longest word ("12" to "1"), or
    // just before the break of a line of another deal.
    HistoryEntry twelve = sample();
    twelve.longest = 12;
    twelve.daily.reset();
    const std::string whole = formatHistoryLine(twelve);
    for (const std::string& cut :
         {kSampleLine.substr(0, kSampleLine.size() - 1), whole.substr(0, whole.size() - 1),
          whole.substr(0, whole.size() - 2), whole.substr(0, whole.size() - 3)}) {
        dir_.writeText("save/Ada.his", cut);
        ASSERT_TRUE(file_.append(sample()));
        ASSERT_TRUE(file_.append(sample()));
        EXPECT_EQ(readAll(file_, HistoryFile::kMaxReadBytes), std::vector({sample(), sample()}))
            << cut;
    }
#ifndef _WIN32
    struct stat info {};
    std::filesystem::remove(dir_.file("save/Ada.his"));
    ASSERT_TRUE(file_.append(sample()));
    ASSERT_EQ(::stat(dir_.file("save/Ada.his").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
#endif
}

TEST_F(HistoryFileTest, WhatIsNoRegularFileIsNeitherReadNorWritten)
{
    HistoryFile::Status status{};
    EXPECT_TRUE(readAll(file_, HistoryFile::kMaxReadBytes, &status).empty());
    EXPECT_EQ(status, HistoryFile::Status::Missing);
    std::filesystem::create_directory(dir_.file("save/Ada.his"));
    EXPECT_TRUE(readAll(file_, HistoryFile::kMaxReadBytes, &status).empty());
    EXPECT_EQ(status, HistoryFile::Status::Unreadable);
    std::string why;
    EXPECT_FALSE(file_.append(sample(), &why));
    EXPECT_FALSE(why.empty());
    std::filesystem::remove(dir_.file("save/Ada.his"));
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(dir_.file("save/Ada.his").c_str(), 0600), 0);
    EXPECT_TRUE(readAll(file_, HistoryFile::kMaxReadBytes).empty());  // and does not block
    EXPECT_FALSE(file_.append(sample()));
    std::filesystem::remove(dir_.file("save/Ada.his"));
    std::filesystem::create_symlink(dir_.file("elsewhere"), dir_.file("save/Ada.his"));
    EXPECT_TRUE(readAll(file_, HistoryFile::kMaxReadBytes).empty());
    EXPECT_FALSE(file_.append(sample()));
    EXPECT_FALSE(std::filesystem::exists(dir_.file("elsewhere")));
#endif
    EXPECT_FALSE(HistoryFile(dir_.folder(), "../Ada").path());
}

TEST_F(HistoryFileTest, TheSummaryCountsRunsLevelsLengthsAndTheLongestWord)
{
    GameHistory history;
    const auto add = [&history](HistoryResult result, std::string word, std::int32_t level,
                                std::int64_t time) {
        HistoryEntry entry = sample();
        entry.result = result;
        entry.playerWord = std::move(word);
        entry.level = level;
        entry.time = time;
        entry.ratingAfter = static_cast<std::int32_t>(time);
        history.add(entry);
    };
    add(HistoryResult::Victory, "ELK", 1, 1);
    add(HistoryResult::Victory, "LUNGS", 1, 2);
    add(HistoryResult::Victory, "ALONG", 2, 3);
    add(HistoryResult::Defeat, "", 2, 4);
    add(HistoryResult::Tie, "SLUG", 12, 5);
    add(HistoryResult::Victory, "AT", 10, 6);
    EXPECT_EQ(history.games(), 6u);
    EXPECT_EQ(history.playerRatings(), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(history.bestRun(), 3);
    EXPECT_EQ(history.currentRun(), 1);
    EXPECT_EQ(history.longestWord(), "LUNGS");
    EXPECT_EQ(history.longestWordTime(), 2);
    EXPECT_EQ(history.level(1).victories, 2);
    EXPECT_EQ(history.level(2).defeats, 1);
    EXPECT_EQ(history.level(10).victories, 1);
    EXPECT_EQ(history.level(12).ties, 0);  // no such level: not counted, not out of bounds
    EXPECT_EQ(history.wordLengths()[0], 1);
    EXPECT_EQ(history.wordLengths()[5], 2);
    EXPECT_EQ(history.longestLengths()[9], 6);
}

TEST_F(HistoryFileTest, TheExportIsCsvOfTheReadableLinesAndTheHistoryGoesWithThePlayer)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out != nullptr && err != nullptr);
    const auto text = [](std::FILE* f) {
        std::string s(static_cast<std::size_t>(std::ftell(f)), '\0');
        std::rewind(f);
        s.resize(std::fread(s.data(), 1, s.size(), f));
        return s;
    };
    EXPECT_EQ(exportHistory(dir_.folder(), "Ada", out, err), 1);
    EXPECT_EQ(text(err), "wordlark: no player named Ada\n");
    EXPECT_EQ(text(out), "");

    PlayerRecord record;
    record.setName("Ada");
    ASSERT_TRUE(saveRecord(dir_.folder(), record));
    ASSERT_TRUE(file_.append(sample()));
    dir_.writeText("save/Ada.his", kSampleLine + "\nnot a line\n" + kSampleLine + "\n");
    std::FILE* out2 = std::tmpfile();
    EXPECT_EQ(exportHistory(dir_.folder(), "Ada", out2, err), 0);
    const std::string row =
        "2026-12-09T07:30:00Z,SNUSUAGLRMI?,3,LUNGS,NIL,victory,0,13,300,287,9,343\r\n";
    EXPECT_EQ(text(out2), std::string(kHistoryCsvHeader) + "\r\n" + row + row);
    EXPECT_EQ(csvField("a,\"b\""), "\"a,\"\"b\"\"\"");
    std::fclose(out);
    std::fclose(out2);
    std::fclose(err);

    deletePlayerFiles(dir_.folder(), "Ada");
    EXPECT_FALSE(std::filesystem::exists(dir_.file("save/Ada.his")));
}

}  // namespace
}  // namespace wordlark::game
