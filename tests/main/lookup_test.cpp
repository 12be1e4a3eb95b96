#include "main/main_lex.h"

#include "dictionary_fixture.h"
#include "platform/fakes.h"

#include <string>

namespace termdex {
namespace {
using namespace termdex::testing;
using List = std::vector<Cp1253>;

class LookupTest : public DictionaryTest
{
protected:
    void SetUp() override
    {
        DictionaryTest::SetUp();
        WriteShipped({
            {"tariff", Cp("δασμός"), "a tariff"},
            {"tax", Cp("φόρος"), "a tax"},
            {"tax credit", Cp("φορολογική πίστωση"), "a credit"},
            {"taxation", Cp("φορολογία"), "taxing"},
            {"tax rate", Cp("φορολογικός συντελεστής"), "a rate"},
            {"cost-benefit analysis", Cp("ανάλυση κόστους-οφέλους"), "costs"},
            {"(the) economy", Cp("οικονομία"), "economy", 7},
            {"e@mail tax", "", "mail"},
            {"price", Cp("τιμή"), "price"},
            {"prices", Cp("τιμές"), "prices"},
        });
        WriteCustom({{3, 20001, "tax haven", Cp("φορολογικός παράδεισος"), "{mine}"}},
                    {{4, "{more}"}});
        Open();
    }
    // Types text key by key into the entry field, as the reader does.
    void Type(const Cp1253 &text)
    {
        for (char c : text)
            core->Entry_TextChange(core->State().entryText + c);
    }
    // The lookup of mode on text written into the entry field by the program.
    List Lookup(const Cp1253 &text, LookupMode mode, bool customOnly = false)
    {
        core->WriteEntryText(text);
        core->FillEntryList(mode, 0, customOnly);
        return Items();
    }
    bool Shown() const { return !core->State().medicalImageVisible; }
};

TEST_F(LookupTest, StartComparesFromMatchStartAndRecordsEachItemsEnglishRecord)
{
    EXPECT_EQ(Lookup("eco", LookupMode::Start), List{"(the) economy"});
    EXPECT_EQ(Lookup("tax", LookupMode::Start),
              (List{"tax", "tax credit", "tax haven *", "taxation", "tax rate"}));
    const auto &records = core->State().ListRecords;
    ASSERT_EQ(records.size(), 5u);
    for (size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(Cp1253(core->Index().english[records[i]].headword) + (i == 2 ? " *" : ""),
                  core->State().listItems[i]);
    EXPECT_EQ(core->State().itemIndex, -1); // nothing is selected by the lookup itself
}

TEST_F(LookupTest, TrailingBlankIsPartOfTheKeyUntilShorteningDropsIt)
{
    EXPECT_EQ(Lookup("tax ", LookupMode::Start), (List{"tax credit", "tax haven *", "tax rate"}));
    // "tax q" finds nothing, then "tax " does: the blank still counts after one shortening.
    EXPECT_EQ(Lookup("tax q", LookupMode::Start), (List{"tax credit", "tax haven *", "tax rate"}));
    // "taxa " finds nothing, "taxa" does.
    EXPECT_EQ(Lookup("taxa ", LookupMode::Start), List{"taxation"});
    EXPECT_EQ(Lookup("taxatiom", LookupMode::Start), List{"taxation"});
    // A key whose first character begins no headword lists nothing.
    EXPECT_EQ(Lookup("zebra", LookupMode::Start), List{});
    // A pasted paragraph is shortened to the longest beginning that a listed headword has:
    // "tax credit" shares "tax c" but is no edited entry, so the edited list stops at "tax ".
    const std::string pasted(20000, 'z');
    EXPECT_EQ(Lookup("tax q" + pasted, LookupMode::Start),
              (List{"tax credit", "tax haven *", "tax rate"}));
    EXPECT_EQ(Lookup("tax c" + pasted, LookupMode::Start), List{"tax credit"});
    EXPECT_EQ(Lookup("tax c" + pasted, LookupMode::Start, true), List{"tax haven *"});
}

TEST_F(LookupTest, BlanksOnlyEntryIsEmptiedAndListsNothingOrTheEditedEntries)
{
    EXPECT_EQ(Lookup("   ", LookupMode::Start), List{});
    EXPECT_EQ(core->State().entryText, "");
    EXPECT_EQ(Lookup("   ", LookupMode::Start, true), (List{"tax haven *", "taxation"}));
    EXPECT_EQ(Lookup("  tax r", LookupMode::Start), List{"tax rate"});
    EXPECT_EQ(core->State().entryText, "tax r");
}

TEST_F(LookupTest, GreekAccentsAndCapitalsDoNotMatter)
{
    Type(Cp("ΤΙΜΉ"));
    const List capitals = Items();
    Type(Cp("")); // no change
    core->Entry_TextChange("");
    Type(Cp("τιμη"));
    EXPECT_EQ(capitals, List{Cp("τιμή")});
    EXPECT_EQ(Items(), List{Cp("τιμή")});
    EXPECT_EQ(core->State().LanguageMode, Language::Greek);
    core->Entry_TextChange(Cp("Φόρος"));
    EXPECT_EQ(Items(), List{Cp("φόρος")});
    EXPECT_TRUE(Shown());
    EXPECT_EQ(core->State().entryLabel, Cp("φόρος"));
    EXPECT_EQ(core->State().transLabel, "tax");
}

TEST_F(LookupTest, CapitalSigmaEndingAWordIsFinalInLookupAndCriteria)
{
    WriteShipped({{"tax", Cp("φόρος"), "a"},
                  {"income tax", Cp("ΦΟΡΟΣ ΕΙΣΟΔΗΜΑΤΟΣ"), "b"},
                  {"taxation", Cp("φορολογία"), "c"}});
    Open();
    core->Entry_TextChange(Cp("ΦΟΡΟΣ"));
    EXPECT_EQ(Items(), (List{Cp("φόρος"), Cp("ΦΟΡΟΣ ΕΙΣΟΔΗΜΑΤΟΣ")}));
    EXPECT_TRUE(Shown());
    EXPECT_EQ(core->State().entryLabel, Cp("φόρος"));
    // "σ" and "ς" stay different letters.
    core->Entry_TextChange(Cp("φοροσ"));
    EXPECT_EQ(Items()[0], Cp("φόρος"));
    EXPECT_FALSE(Shown());
    EXPECT_EQ(Lookup(Cp("ΜΑΤΟΣ"), LookupMode::End), List{Cp("ΦΟΡΟΣ ΕΙΣΟΔΗΜΑΤΟΣ")});
    EXPECT_EQ(Lookup(Cp("ΟΣ Ε"), LookupMode::Contain), List{Cp("ΦΟΡΟΣ ΕΙΣΟΔΗΜΑΤΟΣ")});
    core->Search_ButtonClick(SearchCriteria{Cp("φορος "), "", Cp("ματος")});
    EXPECT_EQ(Items(), List{Cp("ΦΟΡΟΣ ΕΙΣΟΔΗΜΑΤΟΣ")});
}

TEST_F(LookupTest, OwnEntriesAreMarkedInBothLanguagesAndSupplementedOnesAreNot)
{
    EXPECT_EQ(Lookup("tax h", LookupMode::Start), List{"tax haven *"});
    EXPECT_EQ(Lookup(Cp("φορολογικός π"), LookupMode::Start), List{Cp("φορολογικός παράδεισος *")});
    EXPECT_EQ(core->State().ListRecords, std::vector<int>{RecordOf("tax haven")});
    EXPECT_EQ(Lookup("taxat", LookupMode::Start), List{"taxation"});
    EXPECT_EQ(core->Index().english[RecordOf("taxation")].kind, EntryKind::Supplemented);
}

TEST_F(LookupTest, ContainFindsTheKeyAnywhereAndHeadwordsWithAtAlways)
{
    EXPECT_EQ(Lookup("credit", LookupMode::Contain), (List{"tax credit", "e@mail tax"}));
    EXPECT_EQ(Lookup("CREDIT", LookupMode::Contain), (List{"tax credit", "e@mail tax"}));
    EXPECT_EQ(Lookup(Cp("λογικ"), LookupMode::Contain),
              (List{Cp("φορολογική πίστωση"), Cp("φορολογικός παράδεισος *"),
                    Cp("φορολογικός συντελεστής")}));
}

TEST_F(LookupTest, EndNeverListsAHeadwordShorterThanTheKey)
{
    EXPECT_EQ(Lookup("tax", LookupMode::End), (List{"tax", "e@mail tax"}));
    EXPECT_EQ(Lookup("the tax", LookupMode::End), List{});
    EXPECT_EQ(Lookup(Cp("ία"), LookupMode::End), (List{Cp("φορολογία"), Cp("οικονομία")}));
    EXPECT_EQ(Lookup("ax", LookupMode::End, true), List{});
}

TEST_F(LookupTest, CustomOnlyRestrictsScansAndListsEditedEntriesInTheCurrentLanguage)
{
    EXPECT_EQ(Lookup("tax", LookupMode::Start, true), (List{"tax haven *", "taxation"}));
    EXPECT_EQ(Lookup("n", LookupMode::Contain, true), (List{"tax haven *", "taxation"}));
    core->SetLanguageMode(true);
    EXPECT_EQ(Lookup("", LookupMode::Start, true),
              (List{Cp("φορολογικός παράδεισος *"), Cp("φορολογία")}));
    EXPECT_EQ(core->State().ListRecords,
              (std::vector<int>{RecordOf("tax haven"), RecordOf("taxation")}));
    // Without customOnly an empty field lists nothing in every mode but MULTI.
    EXPECT_EQ(Lookup("", LookupMode::Contain), List{});
}

TEST_F(LookupTest, TypingShowsTheEntryOnlyWhenTheTextNamesItsHeadwordExactly)
{
    Type("Ta");
    EXPECT_EQ(core->State().itemIndex, 0);
    EXPECT_FALSE(Shown());
    Type("x");
    EXPECT_TRUE(Shown());
    EXPECT_EQ(core->State().entryLabel, "tax");
    EXPECT_EQ(core->State().transLabel, Cp("φόρος"));
    EXPECT_EQ(core->State().CurrentEntryRecord, RecordOf("tax"));
    // Both sides lose their punctuation, so a hyphenated headword typed in full is shown.
    core->Entry_TextChange("Cost-Benefit analysis");
    EXPECT_EQ(Items(), List{"cost-benefit analysis"});
    EXPECT_TRUE(Shown());
    core->Entry_TextChange("costbenefit analysis ");
    EXPECT_TRUE(Shown());
}

TEST_F(LookupTest, EndCriterionAloneIsWrittenIntoTheEntryFieldWithoutATypedLookup)
{
    core->Entry_TextChange("tax");
    ASSERT_FALSE(Items().empty());
    core->Search_ButtonClick(SearchCriteria{"", "", "rate"});
    EXPECT_EQ(core->State().entryText, "rate");
    EXPECT_EQ(Items(), List{"tax rate"});
    EXPECT_FALSE(core->State().SuppressEntryChange);
}

TEST_F(LookupTest, CombinedCriteriaAreComparedUnfoldedAndChooseTheLanguage)
{
    core->Search_ButtonClick(SearchCriteria{"tax", "", "rate"});
    EXPECT_EQ(Items(), List{"tax rate"});
    EXPECT_EQ(core->State().entryText, "");
    core->Search_ButtonClick(SearchCriteria{"Tax", "", "Rate"});
    EXPECT_EQ(Items(), List{});
    core->Search_ButtonClick(SearchCriteria{"", Cp("λογικ"), Cp("συντελεστης")});
    EXPECT_EQ(core->State().LanguageMode, Language::Greek);
    EXPECT_EQ(Items(), List{Cp("φορολογικός συντελεστής")});
    core->Search_ButtonClick(SearchCriteria{"", Cp("λογικ"), Cp("συντελεστής")});
    EXPECT_EQ(Items(), List{});
    // A blank is a given criterion, and it is not trimmed.
    core->Search_ButtonClick(SearchCriteria{"tax", " ", ""});
    EXPECT_EQ(core->State().LanguageMode, Language::English);
    EXPECT_EQ(Items(), (List{"tax credit", "tax haven *", "tax rate"}));
    // After a combined search the empty field starts a normal lookup again.
    core->Entry_TextChange("pri");
    EXPECT_EQ(Items(), (List{"price", "prices"}));
}

TEST_F(LookupTest, OneCriterionStandsInTheEntryFieldAndIsFoldedAsTyped)
{
    core->Search_ButtonClick(SearchCriteria{"Tax", "", ""});
    EXPECT_EQ(core->State().entryText, "Tax");
    EXPECT_EQ(Items(), (List{"tax", "tax credit", "tax haven *", "taxation", "tax rate"}));
    EXPECT_EQ(core->State().itemIndex, -1);
    core->Search_ButtonClick(SearchCriteria{"", Cp("ΦΟΡΟΛ"), ""});
    EXPECT_EQ(Items().size(), 4u);
}

TEST_F(LookupTest, EmptyCriteriaOnlyEmptyTheNextEntriesAndCancelChangesNothing)
{
    core->Entry_TextChange("tax");
    core->Entry_TextChange("price");
    core->Prev_ButtonClick();
    ASSERT_EQ(core->State().NextMenu.size(), 1u);
    const List before = Items();
    core->Search_ButtonClick(std::nullopt);
    EXPECT_EQ(core->State().NextMenu.size(), 1u);
    core->Search_ButtonClick(SearchCriteria{"x", "y", "z"});
    core->Entry_TextChange("tax");
    core->Prev_ButtonClick();
    core->Search_ButtonClick(std::nullopt);
    EXPECT_EQ(core->State().SearchStartText, "x");
    core->Search_ButtonClick(SearchCriteria{});
    EXPECT_TRUE(core->State().NextMenu.empty());
    EXPECT_EQ(core->State().entryText, "tax");
    EXPECT_EQ(core->State().SearchStartText, "");
    EXPECT_EQ(before, List{"tax"});
}

TEST_F(LookupTest, GreekRecordWithoutEnglishRecordIsNeverListed)
{
    // A Greek line whose id no English record carries.
    WriteShippedIndex("TermdexHI.tbo", {GreekLine(2, Cp("φόρος")), GreekLine(77, Cp("φορτίο"))});
    Open();
    EXPECT_EQ(core->Index().greek[2].englishIndex, 0);
    EXPECT_EQ(Lookup(Cp("φορ"), LookupMode::Start), List{Cp("φόρος")});
    EXPECT_EQ(Lookup(Cp("ο"), LookupMode::Contain), List{Cp("φόρος")});
    EXPECT_EQ(Lookup(Cp("ιο"), LookupMode::End), List{});
}

TEST_F(LookupTest, ItemLimitStopsEveryListing)
{
    Open(nullptr, MainLexLimits{3, kMaxSearchMatches});
    EXPECT_EQ(Lookup("t", LookupMode::Start), (List{"tariff", "tax", "tax credit"}));
    EXPECT_EQ(core->State().ListRecords.size(), 3u);
    EXPECT_EQ(Lookup("a", LookupMode::Contain).size(), 3u);
    core->WholeLex_ButtonClick();
    EXPECT_EQ(Items(), (List{"tariff", "tax", "tax credit"}));
    EXPECT_EQ(core->State().ListRecords, (std::vector<int>{1, 2, 3}));
}

TEST_F(LookupTest, ReloadedIndexIsWhatTheNextLookupsCompare)
{
    EXPECT_EQ(Lookup("tax", LookupMode::End), (List{"tax", "e@mail tax"}));
    EXPECT_EQ(Lookup(Cp("φορ"), LookupMode::Start).size(), 5u);
    WriteCustom({{1, 20002, "import tax", Cp("φόρος εισαγωγής"), "{i}"}}, {});
    core->ReloadIndex();
    EXPECT_EQ(Lookup("tax", LookupMode::End), (List{"import tax *", "tax", "e@mail tax"}));
    EXPECT_EQ(Lookup(Cp("φορος ε"), LookupMode::Start), List{Cp("φόρος εισαγωγής *")});
    core->Entry_TextChange("import tax");
    EXPECT_EQ(core->State().entryLabel, "import tax");

    core->WholeLex_ButtonClick();
    core->SelectListItem(3);
    core->RemoveListItem(1);
    EXPECT_EQ(core->State().itemIndex, 2);
    EXPECT_EQ(Items().size(), core->State().ListRecords.size());
    EXPECT_EQ(Items()[1], "tax");
    EXPECT_EQ(core->State().ListRecords[1], RecordOf("tax"));
    core->RemoveListItem(2);
    EXPECT_EQ(core->State().itemIndex, -1);
}

TEST_F(LookupTest, WholeLexListsEveryEnglishHeadwordUnmarkedInAnyLanguage)
{
    core->SetLanguageMode(true);
    core->WholeLex_ButtonClick();
    ASSERT_EQ(Items().size(), 11u);
    EXPECT_EQ(Items()[3], "tax haven");
    EXPECT_EQ(core->State().ListRecords.back(), 11);
    EXPECT_EQ(core->State().LanguageMode, Language::Greek);
}

TEST_F(LookupTest, ArrowAndPageKeysMoveTheSelectionAndShowTheEntry)
{
    Lookup("t", LookupMode::Start); // 6 items
    ASSERT_EQ(Items().size(), 6u);
    EXPECT_FALSE(core->Entry_TextKeyDown(EntryKey::Up, 4));
    EXPECT_FALSE(core->Entry_TextKeyDown(EntryKey::PageUp, 4));
    EXPECT_TRUE(core->Entry_TextKeyDown(EntryKey::Down, 4));
    EXPECT_EQ(core->State().itemIndex, 0);
    EXPECT_EQ(core->State().LastFocusName, FocusName::Entries_List);
    EXPECT_EQ(core->State().entryLabel, "tariff");
    EXPECT_TRUE(core->Entry_TextKeyDown(EntryKey::PageDown, 4));
    EXPECT_EQ(core->State().itemIndex, 4);
    EXPECT_TRUE(core->Entry_TextKeyDown(EntryKey::PageDown, 4)); // near the end: the last
    EXPECT_EQ(core->State().itemIndex, 5);
    EXPECT_FALSE(core->Entry_TextKeyDown(EntryKey::Down, 4));
    EXPECT_FALSE(core->Entry_TextKeyDown(EntryKey::PageDown, 4));
    EXPECT_TRUE(core->Entry_TextKeyDown(EntryKey::PageUp, 4));
    EXPECT_EQ(core->State().itemIndex, 1);
    EXPECT_TRUE(core->Entry_TextKeyDown(EntryKey::PageUp, 4)); // 1 <= page: to the top
    EXPECT_EQ(core->State().itemIndex, 0);
    EXPECT_FALSE(core->Entry_TextKeyDown(EntryKey::Other, 4));
    EXPECT_EQ(core->State().entryLabel, "tariff");
}

TEST_F(LookupTest, DownOpensTheItemOfAOneItemListOnce)
{
    core->Entry_TextChange("taxat"); // one item, selected but not shown
    ASSERT_EQ(Items(), List{"taxation"});
    ASSERT_EQ(core->State().shownRecord, 0);
    EXPECT_TRUE(core->Entry_TextKeyDown(EntryKey::Down, 4));
    EXPECT_EQ(core->State().entryLabel, "taxation");
    EXPECT_EQ(core->State().shownRecord, core->State().ListRecords[0]);
    // Shown already: nothing happens, and the history gains no copy of it.
    const size_t previous = core->State().PrevMenu.size();
    EXPECT_FALSE(core->Entry_TextKeyDown(EntryKey::Down, 4));
    EXPECT_EQ(core->State().PrevMenu.size(), previous);
}

TEST_F(LookupTest, EnterRunsTheDefaultModeAndEmptiesTheNextEntries)
{
    core->Entry_TextChange("tax");
    core->Entry_TextChange("price");
    core->Prev_ButtonClick();
    ASSERT_FALSE(core->State().NextMenu.empty());
    core->WriteEntryText("pric");
    core->Fill_List_ButtonClick();
    EXPECT_TRUE(core->State().NextMenu.empty());
    EXPECT_EQ(Items(), (List{"price", "prices"}));
}

TEST_F(LookupTest, FirstCharacterChoosesTheLanguage)
{
    struct Row
    {
        const char *text;
        bool greek;
    };
    for (const Row &row :
         {Row{"άλφα", true}, Row{"ϊ", true}, Row{"Ϋ", true}, Row{"Ωb", true}, Row{"ΐ", false},
          Row{"ΰ", false}, Row{"3 φόροι", false}, Row{"aφόρος", false}}) {
        core->SetLanguageMode(!row.greek);
        core->WriteEntryText(Cp(row.text));
        core->DetectLanguage();
        EXPECT_EQ(core->State().LanguageMode == Language::Greek, row.greek) << row.text;
    }
    core->WriteEntryText("");
    core->DetectLanguage();
    EXPECT_EQ(core->State().LanguageMode, Language::English); // an empty field changes nothing
}

TEST_F(LookupTest, LanguageButtonFlipsTheModeAndEmptiesTheEntryField)
{
    core->Entry_TextChange("tax");
    core->Lang_ButtonClick();
    EXPECT_EQ(core->State().LanguageMode, Language::Greek);
    EXPECT_EQ(core->State().entryText, "");
    EXPECT_TRUE(Items().empty());
    core->Lang_ButtonClick();
    EXPECT_EQ(core->State().LanguageMode, Language::English);
    EXPECT_EQ(core->State().entryText, "");
}

TEST(KeyboardLayoutsTest, FirstGreekAndFirstEnglishOrUnnamedLayoutsAreKept)
{
    RecordingKeyboardLayouts keyboard;
    keyboard.layouts = {{11, "French"}, {12, "Greek"}, {13, ""}, {14, "Greek"}, {15, "English"}};
    const ModeKeyboards found = FindKeyboardLayouts(&keyboard);
    EXPECT_EQ(found.greekLayout, 12u);
    EXPECT_EQ(found.englishLayout, 13u); // unreadable before any English one counts as English
    EXPECT_EQ(keyboard.activations, (std::vector<LayoutHandle>{11, 12, 13, 14, 15}));

    RecordingKeyboardLayouts crowded;
    for (LayoutHandle h = 1; h <= 25; ++h)
        crowded.layouts.push_back({h, h == 22 ? "Greek" : "German"});
    EXPECT_EQ(FindKeyboardLayouts(&crowded).greekLayout, 0u); // only the first 20 are asked
    EXPECT_EQ(FindKeyboardLayouts(nullptr).greekLayout, 0u);
}

TEST_F(LookupTest, ModeKeyboardFollowsTheLanguageAndCopyBracketsEnglishCopies)
{
    RecordingKeyboardLayouts keyboard;
    keyboard.layouts = {{1, "English"}, {2, "Greek"}};
    Open(&keyboard);
    ASSERT_EQ(keyboard.activations, (std::vector<LayoutHandle>{1, 2, 1}));
    keyboard.activations.clear();
    core->Entry_TextChange(Cp("φόρος"));
    core->SetLanguageMode(true); // already Greek: the layout is activated again
    EXPECT_EQ(keyboard.activations, (std::vector<LayoutHandle>{2, 2}));

    keyboard.activations.clear();
    bool ownDuringWrite = false;
    CopyDecision copied;
    core->Copy_ButtonClick(false, false, [&](const CopyDecision &decision) {
        ownDuringWrite = core->State().OwnClipboardWrite;
        copied = decision;
    });
    EXPECT_TRUE(ownDuringWrite);
    EXPECT_FALSE(core->State().OwnClipboardWrite);
    EXPECT_TRUE(keyboard.activations.empty()); // Greek mode: the layout is not touched
    EXPECT_EQ(copied.source, CopySource::ListItem);
    EXPECT_EQ(copied.text, Cp("φόρος"));

    core->Entry_TextChange("tax h");
    core->Copy_ButtonClick(false, false, [&](const CopyDecision &decision) { copied = decision; });
    EXPECT_EQ(keyboard.activations, (std::vector<LayoutHandle>{1, 2, 1}));
    EXPECT_EQ(copied.text, "tax haven *");
}

TEST_F(LookupTest, CopyTakesTheDescriptionTheSelectedItemOrTheEntryField)
{
    core->Entry_TextChange("tax");
    core->Entry_TextEnter();
    core->WriteEntryText("other text");
    EXPECT_EQ(core->ChooseCopySource(true, true).source, CopySource::ListItem);
    EXPECT_EQ(core->ChooseCopySource(true, true).text, "tax");
    core->Description_TextEnter();
    EXPECT_EQ(core->ChooseCopySource(true, false).source, CopySource::DescriptionSelection);
    EXPECT_EQ(core->ChooseCopySource(false, false).source, CopySource::WholeDescription);
    core->Entries_ListEnter();
    core->SelectListItem(-1);
    EXPECT_EQ(core->ChooseCopySource(false, true).source, CopySource::EntrySelection);
    EXPECT_EQ(core->ChooseCopySource(false, false).source, CopySource::WholeEntry);
    core->Entry_TextChange("");
    EXPECT_EQ(core->ChooseCopySource(false, false).source, CopySource::Nothing);
}

TEST_F(LookupTest, PasteEmptiesTheFieldThenLooksUpThePastedText)
{
    core->Entry_TextChange("price");
    core->Paste_ButtonClick("tax");
    EXPECT_EQ(core->State().entryText, "tax");
    EXPECT_EQ(core->State().entryLabel, "tax");
    // Emptying the field listed nothing and kept the current entry, so "price" is recorded
    // once, when "tax" is shown.
    ASSERT_EQ(core->State().PrevMenu.size(), 1u);
    EXPECT_EQ(core->State().PrevMenu[0].caption, "price");
}

} // namespace
} // namespace termdex
