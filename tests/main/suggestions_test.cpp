#include "main/suggestions.h"

#include "dictionary_fixture.h"
#include "main/quick_translation.h"
#include "richtext/plain_text.h"

namespace termdex {
namespace {
using namespace termdex::testing;

TEST(EditDistanceTest, CountsSwapsAsOneEditAndStopsAboveTheBound)
{
    struct Row
    {
        const char *a, *b;
        int bound, expected;
    };
    const Row rows[] = {
        {"inflatoin", "inflation", 2, 1}, // two neighbours swapped
        {"inflation", "inflation", 2, 0},
        {"tax", "taxes", 2, 2},
        {"prce", "price", 1, 1},
        {"prc", "price", 1, 2}, // beyond the bound: bound + 1
        {"kitten", "sitting", 2, 3},
        {"ca", "abc", 3, 3}, // no byte edited twice after a swap
        {"", "ab", 2, 2},
        {"abcdef", "badcfe", 2, 3},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(BoundedEditDistance(row.a, row.b, row.bound), row.expected) << row.a << row.b;
        EXPECT_EQ(BoundedEditDistance(row.b, row.a, row.bound), row.expected) << row.b << row.a;
    }
}

TEST(WordFormsTest, GreekEndingsLeadToTheirNominativesAndAccentsAreTriedEverywhere)
{
    auto has = [](const std::vector<Cp1253> &forms, const char *utf8) {
        return std::find(forms.begin(), forms.end(), Cp(utf8)) != forms.end();
    };
    EXPECT_TRUE(has(GreekFormCandidates(Cp("πληθωρισμου")), "πληθωρισμος"));
    EXPECT_TRUE(has(GreekFormCandidates(Cp("φορων")), "φορος"));
    EXPECT_TRUE(has(GreekFormCandidates(Cp("τιμες")), "τιμη"));
    EXPECT_TRUE(has(GreekFormCandidates(Cp("χρηματος")), "χρημα"));
    EXPECT_TRUE(GreekFormCandidates(Cp("ου")).empty()); // no stem to speak of
    EXPECT_EQ(GreekAccentVariants(Cp("φορος")),
              (std::vector<Cp1253>{Cp("φορος"), Cp("φόρος"), Cp("φορός")}));
}

class SuggestionsTest : public DictionaryTest
{
protected:
    void SetUp() override
    {
        DictionaryTest::SetUp();
        WriteShipped({
            {"inflation", Cp("πληθωρισμός"), "a"},
            {"price", Cp("τιμή"), "b"},
            {"prices", Cp("τιμές"), "c"},
            {"tax", Cp("φόρος"), "d"},
            {"tax base", Cp("φορολογική βάση"), "e"},
            {"taxation", Cp("φορολογία"), "f"},
            {"acid-test ratio", Cp("δείκτης άμεσης ρευστότητας"), "g"},
            {"tap", "", "h"},
            {"tab", "", "i"},
            {"tar", "", "j"},
            {"tan", "", "k"},
            {"ta", "", "l"},
        });
        Open();
    }
    std::vector<Suggestion> Typed(const std::string &utf8)
    {
        core->Entry_TextChange(Cp(utf8));
        return core->State().suggestions;
    }
    Suggestion S(const char *english, const char *text, SuggestionReason reason)
    {
        return {RecordOf(english), Cp(text), reason};
    }
};

TEST_F(SuggestionsTest, NearSpellingsComeNearestFirstAndOnlyWhenNothingIsNamed)
{
    EXPECT_EQ(Typed("inflatoin"),
              (std::vector<Suggestion>{S("inflation", "inflation", SuggestionReason::Spelling)}));
    EXPECT_EQ(core->State().shownRecord, 0);
    EXPECT_FALSE(core->State().listItems.empty()); // the list is the lookup's, as ever
    EXPECT_TRUE(Typed("inflation").empty());
    EXPECT_TRUE(Typed("Acid-Test Ratio").empty()); // named, punctuation and all
    // Four letters allow one edit, so "prc" is too far from "price".
    EXPECT_EQ(Typed("prce").front(), S("price", "price", SuggestionReason::Spelling));
    // At most five, the nearest first: "tax" and its one-letter neighbours.
    const std::vector<Suggestion> tay = Typed("tay");
    ASSERT_EQ(tay.size(), 5u);
    EXPECT_EQ(tay[0].text, "tax");
    // Greek headwords are compared folded, in the Greek table.
    EXPECT_EQ(Typed("πληθορισμός"),
              (std::vector<Suggestion>{S("inflation", "πληθωρισμός", SuggestionReason::Spelling)}));
    // The next keystroke that names a headword empties them.
    core->Entry_TextChange(Cp("φόρος"));
    EXPECT_TRUE(core->State().suggestions.empty());
    EXPECT_TRUE(core->SuggestHeadwords(Cp("ΦΟΡΟΣ")).empty());
}

TEST_F(SuggestionsTest, DictionaryFormsOfTheLastWordComeFirst)
{
    ASSERT_TRUE(std::filesystem::exists(kHunspellFolder / "el_GR.dic"))
        << "hunspell-el and hunspell-en-us are build dependencies";
    EXPECT_EQ(Typed("taxes").front(), S("tax", "tax", SuggestionReason::Form));
    EXPECT_EQ(Typed("πληθωρισμού"),
              (std::vector<Suggestion>{S("inflation", "πληθωρισμός", SuggestionReason::Form)}));
    EXPECT_EQ(Typed("ΦΌΡΩΝ").front(), S("tax", "φόρος", SuggestionReason::Form));
    EXPECT_EQ(Typed("φορολογική βάσης").front(),
              S("tax base", "φορολογική βάση", SuggestionReason::Form));
    // The same through the one call that other commands use.
    EXPECT_EQ(core->SuggestHeadwords(Cp("πληθωρισμών")),
              (std::vector<Suggestion>{S("inflation", "πληθωρισμός", SuggestionReason::Form)}));
}

TEST_F(SuggestionsTest, WithoutTheHunspellDictionariesOnlySpellingsAreSuggested)
{
    core->UseHunspellFolder(m_root / "no-dictionaries");
    EXPECT_EQ(Typed("taxes"),
              (std::vector<Suggestion>{S("tax", "tax", SuggestionReason::Spelling)}));
    EXPECT_EQ(Typed("πληθωρισμού"),
              (std::vector<Suggestion>{S("inflation", "πληθωρισμός", SuggestionReason::Spelling)}));
}

TEST_F(SuggestionsTest, AChosenSuggestionIsShownAsAHistoryJump)
{
    core->Entry_TextChange("price");
    const std::vector<Suggestion> suggestions = Typed("inflatoin");
    ASSERT_FALSE(suggestions.empty());
    ASSERT_TRUE(core->JumpToRecord(suggestions[0].record));
    EXPECT_EQ(core->State().entryText, "inflation");
    EXPECT_EQ(core->State().shownRecord, RecordOf("inflation"));
    EXPECT_TRUE(core->State().suggestions.empty());
    ASSERT_FALSE(core->State().PrevMenu.empty());
    EXPECT_EQ(core->State().PrevMenu[0].caption, "price");
    EXPECT_FALSE(core->JumpToRecord(999));
}

TEST_F(SuggestionsTest, PasteAndQuickTranslationTakeTheTextAsTheReaderMeantIt)
{
    EXPECT_EQ(TrimPastedText(Cp("«inflation.»")), "inflation");
    EXPECT_EQ(TrimPastedText(Cp(" “tax”, ")), "tax");
    EXPECT_EQ(TrimPastedText(Cp("(the) economy")), "(the) economy");
    EXPECT_EQ(TrimPastedText(Cp("(inflation)")), "inflation");
    EXPECT_EQ(TrimPastedText(Cp("acid-test ratio;")), "acid-test ratio");
    EXPECT_EQ(TrimPastedText(Cp("...")), "");

    core->Paste_ButtonClick(Cp("inflation."));
    EXPECT_EQ(core->State().shownRecord, RecordOf("inflation"));
    core->QuickTranslate(Cp("«πληθωρισμού»"));
    EXPECT_EQ(core->State().shownRecord, RecordOf("inflation"));
    EXPECT_EQ(core->State().entryText, Cp("πληθωρισμός"));
    // Only spellings to offer: the reader chooses.
    core->QuickTranslate("inflatoin");
    EXPECT_EQ(core->State().shownRecord, 0);
    EXPECT_EQ(core->State().suggestions.size(), 1u);
}

} // namespace
} // namespace termdex

namespace termdex {
namespace {

TEST(EntryLinksTest, BoldHeadwordsAfterSeeUpToItsClosingParenthesisBecomeLinks)
{
    const std::string document =
        "{\\rtf1\\ansi {\\b Tax} " + RtfEscape(Cp("είναι (βλ. ")) +
        "{\\b Tax base}, {\\b Value added tax (VAT)},{\\b  Unknown , Tax rate}). {\\b Tax base}}";
    const auto recordOf = [](Cp1253View text) {
        return text == "Tax base"                ? 2
               : text == "Value added tax (VAT)" ? 3
               : text == "Tax rate"              ? 4
                                                 : 0;
    };
    const std::vector<EntryLink> links = FindEntryLinks(document, recordOf);
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links[0].text, "Tax base");
    EXPECT_EQ(links[1].record, 3);
    EXPECT_EQ(links[2].text, "Tax rate");
    const Cp1253 plain = RtfToPlainText(document);
    for (const EntryLink &link : links)
        EXPECT_EQ(plain.substr(link.offset, link.text.size()), link.text);
    EXPECT_TRUE(FindEntryLinks("{\\rtf1 {\\b Tax base}}", recordOf).empty());

    // A headword with a comma of its own is one link; what names nothing is handed back.
    const std::string fifo =
        "{\\rtf1 (" + RtfEscape(Cp("βλ. ")) + "{\\b First in, first out (FIFO), Nowhere})}";
    std::vector<Cp1253> unmatched;
    const auto fifoLinks = FindEntryLinks(
        fifo,
        [](Cp1253View text) {
            return text == "First in, first out (FIFO), Nowhere" ? 0
                   : text == "Nowhere"                           ? 0
                   : text == "first out (FIFO)"                  ? 7
                                                                 : 0;
        },
        &unmatched);
    EXPECT_EQ(unmatched, (std::vector<Cp1253>{"First in", "Nowhere"}));
    ASSERT_EQ(fifoLinks.size(), 1u);
    const auto whole = FindEntryLinks(
        "{\\rtf1 (" + RtfEscape(Cp("βλ. ")) + "{\\b First in, first out (FIFO)})}",
        [](Cp1253View text) { return text == "First in, first out (FIFO)" ? 5 : 0; });
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].record, 5);
}

TEST(EntryLinksTest, SearchWordSpansAreWholeWordsOfTheFoldedText)
{
    const Cp1253 text = Cp("Ο ΦΌΡΟΣ, φόρος-φόρος και φόροςx φόρους.");
    std::vector<Cp1253> found;
    for (const TextSpan &span : WholeWordSpans(text, Cp("φορος"), true))
        found.push_back(text.substr(span.start, span.length));
    // Folded as the search folds: "φόρος-φόρος" is one word, the Latin "x" is dropped.
    EXPECT_EQ(found, (std::vector<Cp1253>{Cp("ΦΌΡΟΣ"), Cp("φόρος")}));
}

} // namespace
} // namespace termdex
