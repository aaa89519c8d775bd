#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "archive/ArchiveRegistry.h"
#include "archive/Endian.h"
#include "heaptool/DefinitionBuilder.h"
#include "support/TempDir.h"
#include "support/TestArchive.h"
#include "words/DefinitionTable.h"
#include "words/Definitions.h"

namespace wordlark::words {
namespace {

using heaptool::DefinitionBuilder;

// A WordNet of a few lemmas: an index line per lemma pointing at its glosses' lines.
class TinyWordNet {
public:
    void add(std::size_t part, const std::string& lemma, const std::vector<std::string>& glosses)
    {
        std::string offsets;
        for (const std::string& gloss : glosses) {
            offsets += " " + std::to_string(datas_[part].size());
            datas_[part] += "00 n 01 " + lemma + " 0 000 | " + gloss + "\n";
        }
        indexes_[part] += lemma + " x " + std::to_string(glosses.size()) + " 0 " +
                          std::to_string(glosses.size()) + " 0" + offsets + "\n";
    }
    void except(std::size_t part, const std::string& line) { exceptions_[part] += line + "\n"; }
    heaptool::WordNet make() const
    {
        heaptool::WordNet wordNet;
        wordNet.readTexts(indexes_, datas_, exceptions_);
        return wordNet;
    }

private:
    std::array<std::string, 4> indexes_, datas_, exceptions_;
};

std::vector<std::uint8_t> sampleEntry(DefinitionBuilder::Coverage* coverage)
{
    TinyWordNet net;
    net.add(0, "mouse", {"small rodent; \"a mouse ran\"", "a hand-operated device"});
    net.except(0, "mice mouse");
    net.add(1, "rotate", {"turn", "exchange", "perform in turn", "never kept"});
    net.add(2, "brave", {"having courage"});
    net.add(2, "bossy", {"given to ordering others"});
    const heaptool::WordNet wordNet = net.make();
    return DefinitionBuilder(wordNet).build(
        {"MICE", "ROTATE", "ZZZ", "BRAVELY", "BOSSIER", "MOUSE"}, coverage);
}

TEST(Definitions, ReadBackWhatTheToolBuiltOnlyOnFirstUse)
{
    DefinitionBuilder::Coverage coverage;
    const auto entry = sampleEntry(&coverage);
    EXPECT_EQ(coverage.words, 6u);
    EXPECT_EQ(coverage.defined, (std::array<std::size_t, 3>{3, 4, 5}));
    EXPECT_EQ(coverage.missing, std::vector<std::string>{"ZZZ"});

    test::TempDir dir;
    test::writeArchive(dir, "vek.heap", {{"definitions", "defs", entry}});
    archive::ArchiveRegistry registry(dir.folder());
    Definitions definitions(registry);
    archive::Archive* archive = registry.openArchive("vek.heap");
    EXPECT_EQ(archive->entryReferences(kDefinitionsEntry), 0);

    EXPECT_EQ(definitions.text("MICE"), "MICE, noun (mouse): small rodent; a hand-operated device");
    EXPECT_EQ(archive->entryReferences(kDefinitionsEntry), 1);
    EXPECT_EQ(definitions.senseLines("ROTATE"),
              (std::vector<std::string>{"ROTATE, verb: turn", "ROTATE, verb: exchange",
                                        "ROTATE, verb: perform in turn"}));
    EXPECT_EQ(definitions.text("BRAVELY"),
              "BRAVELY, adverb (from brave, adjective): having courage");
    EXPECT_EQ(definitions.text("BOSSIER"), "BOSSIER, adjective (bossy): given to ordering others");
    EXPECT_EQ(definitions.text("MOUSE").rfind("MOUSE, noun: small", 0), 0u);
    for (const char* none : {"ZZZ", "mice", "", "ABCDEFGHIJKLMNOPQ", "MIC"}) {
        EXPECT_TRUE(definitions.lookup(none).empty()) << none;
    }
}

TEST(Definitions, DamagedEntryMeansNoDefinitionNeverACrash)
{
    DefinitionBuilder::Coverage coverage;
    const auto entry = sampleEntry(&coverage);
    const auto intact = DefinitionTable(entry).lookup("MICE");
    ASSERT_EQ(intact.size(), 1u);
    // Cut short anywhere: nothing is read outside, and a word is found whole or not at all.
    for (std::size_t size = 0; size < entry.size(); ++size) {
        const std::vector<std::uint8_t> cut(entry.begin(), entry.begin() + size);
        const DefinitionTable table(cut);
        for (const char* word : {"MICE", "ROTATE", "BRAVELY", "MOUSE"}) {
            const auto meanings = table.lookup(word);
            EXPECT_TRUE(meanings.empty() || meanings.size() == 1u) << size;
        }
    }
    const auto patched = [&](std::size_t at, std::uint32_t value) {
        auto bytes = entry;
        archive::writeLe32(&bytes[at], value);
        return bytes;
    };
    const std::uint32_t words = DefinitionTable(entry).wordCount();
    const std::size_t links = 24 + std::size_t{words} * 20;
    // A word's first link past the links, a link past the groups, a string past the area.
    for (const auto& bad : {patched(24 + 16, 1000), patched(links, 0x00FFFFFF),
                            patched(links, 0x07000000), patched(20, 1000000)}) {
        const DefinitionTable table(bad);
        EXPECT_TRUE(table.lookup("BOSSIER").empty());
    }
    // The last gloss without its NUL: its word has no definition, the others keep theirs.
    auto unended = entry;
    unended.pop_back();
    unended.push_back('x');
    EXPECT_TRUE(DefinitionTable(unended).lookup("ROTATE").empty());
    EXPECT_EQ(DefinitionTable(unended).lookup("MICE"), intact);
    auto magic = entry;
    magic[0] = 'W';
    EXPECT_FALSE(DefinitionTable(magic).valid());
}

TEST(Definitions, AnArchiveWithoutTheEntryHasNoDefinitions)
{
    test::TempDir dir;
    test::writeArchive(dir, "vek.heap", {{"words", "wrds", test::bytesOf("CAT")}});
    archive::ArchiveRegistry registry(dir.folder());
    Definitions definitions(registry);
    EXPECT_FALSE(definitions.load());
    EXPECT_TRUE(definitions.text("CAT").empty());
    archive::ArchiveRegistry empty(dir.folder() + "none/");
    EXPECT_TRUE(Definitions(empty).senseLines("CAT").empty());
}

}  // namespace
}  // namespace wordlark::words
