#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "heaptool/Morphology.h"
#include "heaptool/WordNet.h"

namespace wordlark::heaptool {
namespace {

// WordNet as the build reads it (Debian's wordnet-base, which the bootstrap installs).
class MorphologyTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        wordNet_ = std::make_unique<WordNet>();
        std::string error;
        ASSERT_TRUE(wordNet_->read("/usr/share/wordnet", &error)) << error;
    }
    static void TearDownTestSuite() { wordNet_.reset(); }

    static bool has(const std::vector<BaseForm>& forms, PartOfSpeech pos, const std::string& lemma,
                    BaseRule rule = BaseRule::WordNet)
    {
        return std::find(forms.begin(), forms.end(), BaseForm{pos, lemma, rule}) != forms.end();
    }
    static std::vector<BaseForm> of(const char* word, BaseRule own = BaseRule::AdverbInLy)
    {
        return Morphology(*wordNet_).baseForms(word, own);
    }

    static std::unique_ptr<WordNet> wordNet_;
};

std::unique_ptr<WordNet> MorphologyTest::wordNet_;

TEST_F(MorphologyTest, IrregularFormsComeFromTheExceptionLists)
{
    EXPECT_EQ(of("MICE"), (std::vector<BaseForm>{{PartOfSpeech::Noun, "mouse"}}));
    EXPECT_EQ(of("GEESE"), (std::vector<BaseForm>{{PartOfSpeech::Noun, "goose"}}));
    EXPECT_TRUE(has(of("WENT"), PartOfSpeech::Verb, "go"));
    const auto better = of("BETTER");
    EXPECT_TRUE(has(better, PartOfSpeech::Noun, "better"));  // the word itself first
    EXPECT_TRUE(has(better, PartOfSpeech::Adjective, "good"));
    EXPECT_TRUE(has(better, PartOfSpeech::Adjective, "well"));
    EXPECT_TRUE(has(better, PartOfSpeech::Adverb, "well"));
    EXPECT_EQ(better.front(), (BaseForm{PartOfSpeech::Noun, "better"}));
}

TEST_F(MorphologyTest, DetachmentRulesTakeTheFirstDefinedBase)
{
    EXPECT_TRUE(has(of("BOXES"), PartOfSpeech::Noun, "box"));
    EXPECT_TRUE(has(of("CHURCHES"), PartOfSpeech::Noun, "church"));
    EXPECT_TRUE(has(of("BUSES"), PartOfSpeech::Noun, "bus"));  // "buse" is tried first
    EXPECT_TRUE(has(of("WOMEN"), PartOfSpeech::Noun, "woman"));
    EXPECT_TRUE(has(of("ROTATED"), PartOfSpeech::Verb, "rotate"));
    EXPECT_TRUE(has(of("HOPING"), PartOfSpeech::Verb, "hope"));
    EXPECT_TRUE(has(of("WALKS"), PartOfSpeech::Verb, "walk"));
    EXPECT_TRUE(has(of("TALLEST"), PartOfSpeech::Adjective, "tall"));
    // A noun in -ss is no plural.
    EXPECT_FALSE(has(of("GLASS"), PartOfSpeech::Noun, "glas"));
    EXPECT_TRUE(of("QWXZ").empty());
}

TEST_F(MorphologyTest, OurRulesFillInOnlyWhereWordNetLeavesNothing)
{
    EXPECT_TRUE(of("ACHIER", BaseRule::WordNet).empty());
    EXPECT_EQ(of("ACHIER", BaseRule::Comparative),
              (std::vector<BaseForm>{{PartOfSpeech::Adjective, "achy", BaseRule::Comparative}}));
    EXPECT_TRUE(of("HAUNTINGLY", BaseRule::Comparative).empty());
    EXPECT_EQ(of("HAUNTINGLY"),
              (std::vector<BaseForm>{{PartOfSpeech::Adjective, "haunting", BaseRule::AdverbInLy}}));
    EXPECT_TRUE(has(of("FANCILY"), PartOfSpeech::Adjective, "fancy", BaseRule::AdverbInLy));
    EXPECT_TRUE(has(of("COUNTABLY"), PartOfSpeech::Adjective, "countable", BaseRule::AdverbInLy));
    // WordNet's own adverb wins over ours.
    EXPECT_EQ(of("BRAVELY"), (std::vector<BaseForm>{{PartOfSpeech::Adverb, "bravely"}}));
}

TEST(WordNetGloss, LosesItsQuotedExamplesOnly)
{
    EXPECT_EQ(WordNet::withoutExamples("a tab; a bill; \"pay the tab; now\"; \"he left\"  "),
              "a tab; a bill");
    EXPECT_EQ(WordNet::withoutExamples("\"only an example\""), "");
    EXPECT_EQ(WordNet::withoutExamples("focus anew; The beam was refocused\""), "focus anew");
    EXPECT_EQ(WordNet::withoutExamples("the letter \"a\""), "the letter \"a\"");
    EXPECT_EQ(WordNet::withoutExamples("travel up, \"We ascended the hill\""), "travel up");
    EXPECT_EQ(WordNet::withoutExamples("caf\xE9 owner"), "caf? owner");
}

}  // namespace
}  // namespace wordlark::heaptool
