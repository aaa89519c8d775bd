#include "game/DealCode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/DailyDeal.h"
#include "game/HistoryFile.h"
#include "support/TempDir.h"

namespace wordlark::game {
namespace {

TEST(DealCodeTest, ReadsTwelveSymbolsInAnyCaseWithTheJokerLast)
{
    const auto code = DealCode::parse("abc?efghijkl");
    ASSERT_TRUE(code);
    EXPECT_EQ(code->letters(), "ABCEFGHIJKL[");
    EXPECT_EQ(code->text(), "ABCEFGHIJKL?");
    EXPECT_EQ(DealCode::parse("RMMA-EUSI BKS?"), DealCode::parse("rmmaeusibks?"));
    EXPECT_EQ(DealCode::parse(" - RMMAEUSIBKSZ - ")->text(), "RMMAEUSIBKSZ");
    EXPECT_EQ(DealCode::parse("?abcdefghijk")->text(), "ABCDEFGHIJK?");
    // What the game deals comes back as the same code.
    EXPECT_EQ(DealCode::fromLetters("RMMAEUSIBKS[")->text(), "RMMAEUSIBKS?");
    EXPECT_EQ(DealCode::parse(DealCode::fromLetters("RMMAEUSIBKS[")->text()),
              DealCode::fromLetters("RMMAEUSIBKS["));
}

TEST(DealCodeTest, RefusesEveryOtherFormWithAReason)
{
    for (const std::string& bad : {
             std::string(),
             std::string("  --  "),
             std::string("ABCDEFGHIJK"),
             std::string("ABCDEFGHIJKLM"),
             std::string("ABCDEFGHIJ??"),
             std::string("????????????"),
             std::string("ABCDEFGHIJK1"),
             std::string("ABCDEFGHIJK["),
             std::string("ABCDEF_GHIJK"),
             std::string("ABCDEF\tGHIJKL"),
             std::string("ABCDEFGHIJKL\n"),
             std::string("ABCDEF\0GHIJKL", 13),
             std::string("ABCDEFGHIJK\xC9"),
             std::string("\xEF\xBC\xA1"
                         "BCDEFGHIJKL"),
             std::string(100000, 'A'),
         }) {
        std::string why;
        EXPECT_FALSE(DealCode::parse(bad, &why)) << bad;
        EXPECT_FALSE(why.empty()) << bad;
        EXPECT_EQ(why.find('\n'), std::string::npos);
    }
    for (const std::string& notDealt :
         {std::string("ABCDEFGHIJK"), std::string("ABCDE[GHIJKL"), std::string("abcdefghijkl")}) {
        EXPECT_FALSE(DealCode::fromLetters(notDealt)) << notDealt;
    }
}

TEST(DailyDealTest, DaysCountFromTheFirstOf2026)
{
    EXPECT_EQ(DailyDeal::parseDate("2026-01-01"), 0);
    EXPECT_EQ(DailyDeal::parseDate("2026-12-09"), 342);
    EXPECT_EQ(DailyDeal::number(342), 343);
    EXPECT_EQ(DailyDeal::parseDate("9999-12-31"), DailyDeal::kLastDay);
    for (const char* bad : {"2025-12-31", "2026-02-29", "2026-1-01", "2026-01-01T00:00:00Z",
                            "20260101", "", "2026-13-01", "+026-01-01"}) {
        EXPECT_FALSE(DailyDeal::parseDate(bad)) << bad;
    }
    // Midnight UTC starts the day; a clock set before 2026 sees the first day.
    EXPECT_EQ(DailyDeal::dayOf((DailyDeal::kFirstDay + 342) * 86400 - 1), 341);
    EXPECT_EQ(DailyDeal::dayOf((DailyDeal::kFirstDay + 342) * 86400), 342);
    EXPECT_EQ(DailyDeal::dayOf(-1), 0);
}

// Only a daily verdict given on its own day counts; a past day's deal played later does not
// extend the run, and a day without one ends it.
TEST(DailyDealTest, TheStreakCountsDaysPlayedOnTheirOwnDay)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("save"));
    const HistoryFile file(dir.folder(), "Ada");
    const auto verdict = [&file](std::int64_t daily, std::int64_t playedOn) {
        HistoryEntry entry;
        entry.time = (DailyDeal::kFirstDay + playedOn) * 86400 + 3600;
        entry.letters = "ABCDEFGHIJKL";
        entry.daily = static_cast<std::int32_t>(DailyDeal::number(daily));
        ASSERT_TRUE(file.append(entry));
    };
    EXPECT_EQ(DailyDeal::streak(dir.folder(), "Ada", 10), 0);
    verdict(10, 10);
    verdict(11, 11);
    verdict(11, 11);
    verdict(12, 12);
    verdict(9, 12);  // day 9's deal, played on day 12
    EXPECT_EQ(DailyDeal::streak(dir.folder(), "Ada", 12), 3);
    EXPECT_EQ(DailyDeal::streak(dir.folder(), "Ada", 13), 3);  // today's still to play
    EXPECT_EQ(DailyDeal::streak(dir.folder(), "Ada", 14), 0);
    verdict(13, 14);
    EXPECT_EQ(DailyDeal::streak(dir.folder(), "Ada", 13), 3);
    verdict(14, 14);
    EXPECT_EQ(DailyDeal::streak(dir.folder(), "Ada", 14), 1);
}

}  // namespace
}  // namespace wordlark::game
