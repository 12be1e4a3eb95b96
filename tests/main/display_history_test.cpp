#include "main/main_lex.h"

#include "data/description_store.h"
#include "dictionary_fixture.h"
#include "main/menu_position.h"

namespace termdex {
namespace {
using namespace termdex::testing;

class DisplayTest : public DictionaryTest
{
protected:
    void SetUp() override
    {
        DictionaryTest::SetUp();
        std::vector<ShippedEntry> entries = {
            {"alpha", Cp("άλφα"), "first"},
            {"beta", Cp("βήτα"), "second \\par line"},
            {"gamma", Cp("γάμμα"), "third"},
            {"lonely", "", "no rendering"},
        };
        for (int i = 1; i <= 17; ++i)
            entries.push_back({"w" + Digits(i, 2), "", "word " + std::to_string(i)});
        WriteShipped(entries);
        WriteCustom({{2, 20001, "delta", Cp("δέλτα"), "{\\'e4 mine}"}}, {{3, "{added}"}});
        Open();
    }
    // Shows an entry as a click in a list holding it does, in the current language.
    void Show(const Cp1253 &english) { ASSERT_TRUE(core->ShowRecord(RecordOf(english))); }
    std::vector<Cp1253> Captions(const std::vector<HistoryItem> &menu) const
    {
        std::vector<Cp1253> captions;
        for (const HistoryItem &item : menu)
            captions.push_back(item.caption);
        return captions;
    }
    std::vector<Cp1253> Prev() const { return Captions(core->State().PrevMenu); }
    std::vector<Cp1253> Next() const { return Captions(core->State().NextMenu); }
    const MainLexState &S() const { return core->State(); }
};

TEST_F(DisplayTest, LabelsFollowTheLanguageAndAMissingRenderingLeavesItsLabelEmpty)
{
    Show("beta");
    EXPECT_EQ(S().entryLabel, "beta");
    EXPECT_EQ(S().transLabel, Cp("βήτα"));
    EXPECT_FALSE(S().medicalImageVisible);
    core->SetLanguageMode(true);
    Show("beta");
    EXPECT_EQ(S().entryLabel, Cp("βήτα"));
    EXPECT_EQ(S().transLabel, "beta");
    core->SetLanguageMode(false);
    Show("lonely");
    EXPECT_EQ(S().entryLabel, "lonely");
    EXPECT_EQ(S().transLabel, "");
    EXPECT_EQ(S().descriptionText, "no rendering\r\n\r\n");
}

TEST_F(DisplayTest, EachKindShowsItsTextAndOnlyOwnEntriesCanBeDeleted)
{
    Show("beta");
    EXPECT_TRUE(S().modifyEntryEnabled);
    EXPECT_FALSE(S().deleteEntryEnabled);
    EXPECT_EQ(S().descriptionDocument,
              core->Dict().preamble + "\r\nsecond \\par line" + kDocumentClosing + "\r\n");
    EXPECT_EQ(S().descriptionText, "second \r\nline\r\n\r\n");

    Show("delta");
    EXPECT_TRUE(S().modifyEntryEnabled);
    EXPECT_TRUE(S().deleteEntryEnabled);
    EXPECT_EQ(S().descriptionText, Cp("δ mine\r\n\r\n"));
    EXPECT_EQ(S().listItems, std::vector<Cp1253>{"delta *"});

    Show("gamma");
    EXPECT_FALSE(S().deleteEntryEnabled);
    EXPECT_EQ(S().descriptionText, Cp("third \r\nΣυμπλήρωση δική σας: \r\nadded \r\n\r\n"));
}

TEST_F(DisplayTest, UnreadableDescriptionKeepsWhatWasShown)
{
    Show("alpha");
    const Cp1253 shown = S().descriptionText;
    std::filesystem::remove(paths.customDescriptionPath);
    // The list keeps its items and the display keeps its text; the labels change.
    Show("delta");
    EXPECT_EQ(S().entryLabel, "delta");
    EXPECT_EQ(S().descriptionText, ""); // ShowRecord began with an empty display
    core->Entry_TextChange("alph");
    core->SelectListItem(0);
    core->Entries_ListClick();
    EXPECT_EQ(S().descriptionText, shown);
    core->WholeLex_ButtonClick();
    core->SelectListItem(2);
    ASSERT_EQ(S().listItems[2], "delta");
    core->SelectListItem(0);
    core->Entries_ListClick();
    core->SelectListItem(2);
    core->Entries_ListClick();
    EXPECT_EQ(S().entryLabel, "delta");
    EXPECT_EQ(S().descriptionText, shown);
    EXPECT_TRUE(S().deleteEntryEnabled);
}

TEST_F(DisplayTest, DocumentThatReadsBackAsItsSourceEmptiesTheDescription)
{
    // A preamble that the reader takes as text beginning with the document's own source.
    WriteShipped({{"alpha", Cp("άλφα"), "first"}}, HeaderBlock("\\rtf1 \\{\\\\rtf1 broken"));
    Open();
    Show("alpha");
    EXPECT_EQ(S().descriptionDocument, "");
    EXPECT_EQ(S().descriptionText, "");
    EXPECT_EQ(S().entryLabel, "alpha");
}

TEST_F(DisplayTest, HiddenDescriptionAreaPutsTheWholeEntryIntoTheListHint)
{
    core->SetDescriptionAreaShown(false);
    Show("alpha");
    // The description's closing blank lines stay out of the hint.
    EXPECT_EQ(S().listHint, Cp("alpha [άλφα]\r\nfirst"));
    Show("lonely");
    EXPECT_EQ(S().listHint, "lonely\r\nno rendering");
    core->ResetDisplay(); // a new lookup: the hint of the old list goes with it
    EXPECT_EQ(S().listHint, "");
    Show("lonely");
    core->SetDescriptionAreaShown(true);
    Show("alpha");
    EXPECT_EQ(S().listHint, "");
}

TEST_F(DisplayTest, RecordNumbersFromOutsideAreChecked)
{
    EXPECT_FALSE(core->ShowRecord(0));
    EXPECT_FALSE(core->ShowRecord(core->Index().englishCount + 1));
    core->WriteEntryText("alpha");
    core->FillEntryList(LookupMode::Specific, 30001, false);
    EXPECT_TRUE(S().listItems.empty());
    EXPECT_TRUE(S().medicalImageVisible);
    core->PrevMenuClick(0);
    core->NextMenuClick(-1);
    EXPECT_EQ(S().CurrentEntryRecord, 0);
}

TEST_F(DisplayTest, FirstDisplayRecordsNothingAndRepeatingAnEntryRecordsItOnce)
{
    Show("alpha");
    EXPECT_TRUE(Prev().empty());
    Show("alpha");
    Show("alpha");
    EXPECT_EQ(Prev(), std::vector<Cp1253>{"alpha"});
    // Back then shows that same entry again.
    core->Prev_ButtonClick();
    EXPECT_EQ(S().entryLabel, "alpha");
}

TEST_F(DisplayTest, PrevMenuKeepsTheFifteenEntriesBeforeTheCurrentOne)
{
    for (int i = 1; i <= 16; ++i)
        Show("w" + Digits(i, 2));
    ASSERT_EQ(Prev().size(), 15u);
    EXPECT_EQ(Prev().front(), "w15");
    EXPECT_EQ(Prev().back(), "w01");
    Show("w17");
    ASSERT_EQ(Prev().size(), 15u);
    EXPECT_EQ(Prev().front(), "w16");
    EXPECT_EQ(Prev().back(), "w02");
    // An entry already listed moves to the front instead of standing twice.
    Show("w05");
    Show("w06");
    EXPECT_EQ(Prev()[0], "w05");
    EXPECT_EQ(Prev()[1], "w17");
    const std::vector<Cp1253> prev = Prev();
    EXPECT_EQ(std::count(prev.begin(), prev.end(), "w05"), 1);
    EXPECT_EQ(Prev().size(), 15u);
}

TEST_F(DisplayTest, BackAndForwardWithEmptyListsDoNothing)
{
    core->Prev_ButtonClick();
    core->Next_ButtonClick();
    EXPECT_TRUE(S().listItems.empty());
    Show("alpha");
    core->Next_ButtonClick();
    core->Prev_ButtonClick();
    EXPECT_EQ(S().entryLabel, "alpha");
    EXPECT_TRUE(Next().empty());
    EXPECT_FALSE(S().SuppressEntryChange);
}

TEST_F(DisplayTest, BackThenForwardMovesEntriesBetweenTheTwoMenus)
{
    Show("alpha");
    Show("beta");
    Show("gamma");
    core->Prev_ButtonClick();
    EXPECT_EQ(S().entryLabel, "beta");
    EXPECT_EQ(S().entryText, "beta");
    EXPECT_EQ(S().listItems, std::vector<Cp1253>{"beta"});
    EXPECT_EQ(S().itemIndex, 0);
    EXPECT_EQ(Next(), std::vector<Cp1253>{"gamma"});
    EXPECT_EQ(Prev(), std::vector<Cp1253>{"alpha"});
    core->Next_ButtonClick();
    EXPECT_EQ(S().entryLabel, "gamma");
    EXPECT_TRUE(Next().empty());
    EXPECT_EQ(Prev(), (std::vector<Cp1253>{"beta", "alpha"}));
    EXPECT_FALSE(S().SuppressEntryChange);

    // Two steps back, then typing: the forward entries are gone.
    core->Prev_ButtonClick();
    core->Prev_ButtonClick();
    EXPECT_EQ(S().entryLabel, "alpha");
    EXPECT_EQ(Next(), (std::vector<Cp1253>{"beta", "gamma"}));
    core->Entry_TextChange("w0");
    EXPECT_TRUE(Next().empty());
    core->Next_ButtonClick();
    EXPECT_EQ(S().listItems.size(), 9u); // still the typed lookup
}

TEST_F(DisplayTest, MenuChoicesJumpAndEmptyTheForwardEntries)
{
    Show("alpha");
    Show("beta");
    Show("gamma");
    Show("w01");
    core->PrevMenuClick(1); // beta
    EXPECT_EQ(S().entryLabel, "beta");
    EXPECT_EQ(Prev(), (std::vector<Cp1253>{"w01", "gamma", "alpha"}));
    EXPECT_TRUE(Next().empty());

    core->Prev_ButtonClick();
    core->Prev_ButtonClick();
    ASSERT_EQ(Next(), (std::vector<Cp1253>{"w01", "beta"}));
    core->NextMenuClick(1); // beta: the entries before it are lost
    EXPECT_EQ(S().entryLabel, "beta");
    EXPECT_TRUE(Next().empty());
    EXPECT_EQ(Prev().front(), "gamma");
}

TEST_F(DisplayTest, ChoosingTheEntryOnDisplayKeepsItsNewRecord)
{
    Show("alpha");
    Show("beta");
    Show("alpha");
    ASSERT_EQ(Prev(), (std::vector<Cp1253>{"beta", "alpha"}));
    // Recording the entry left (alpha) removes the chosen item itself and puts alpha in front;
    // that new item stays.
    core->PrevMenuClick(1);
    EXPECT_EQ(S().entryLabel, "alpha");
    EXPECT_EQ(Prev(), (std::vector<Cp1253>{"alpha", "beta"}));
}

TEST_F(DisplayTest, HistoryKeepsTheMarkAndTheLanguageOfItsCaption)
{
    Show("delta");
    core->SetLanguageMode(true);
    Show("beta");
    core->SetLanguageMode(false);
    Show("alpha");
    EXPECT_EQ(Prev(), (std::vector<Cp1253>{Cp("βήτα"), "delta *"}));
    core->Prev_ButtonClick();
    EXPECT_EQ(S().LanguageMode, Language::Greek); // the caption's first letter is Greek
    EXPECT_EQ(S().entryLabel, Cp("βήτα"));
    EXPECT_EQ(S().listItems, std::vector<Cp1253>{Cp("βήτα")});
    core->Prev_ButtonClick();
    EXPECT_EQ(S().LanguageMode, Language::English);
    EXPECT_EQ(S().listItems, std::vector<Cp1253>{"delta *"});
    EXPECT_EQ(S().entryText, "delta");
    EXPECT_EQ(S().entryLabel, "delta");
    EXPECT_TRUE(S().deleteEntryEnabled);
}

TEST(HistoryMenuTest, MenusPopUpUnderTheirButtons)
{
    const MenuPoint prev = MenuBelowButton(200, 100, 60, 2, 39); // Prev_Button
    EXPECT_EQ(prev.x, 264);
    EXPECT_EQ(prev.y, 163);
    const MenuPoint pinakes = MenuBelowButton(100, 50, 437, 2, 39); // Pinakes_Button
    EXPECT_EQ(pinakes.x, 100 + 437 + 4);
    EXPECT_EQ(pinakes.y, 50 + 2 + 39 + 22);
}

} // namespace
} // namespace termdex
