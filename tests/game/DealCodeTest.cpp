#include "game/DealCode.h"

#include <gtest/gtest.h>

#include <string>

#include "game/DailyDeal.h"

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

}  // namespace
}  // namespace wordlark::game
