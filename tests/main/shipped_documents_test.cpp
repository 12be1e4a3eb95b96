#include "main/quick_translation.h"
#include "main/shipped_documents.h"

#include "lib/files.h"
#include "tests/main/dictionary_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace termdex {
namespace {

using testing::DemoIsBuilt;
using testing::DemoPaths;

TEST(ShippedDocumentsTest, EveryCommandNamesAShippedFile)
{
    const ProgramPaths paths = DemoPaths();
    ASSERT_TRUE(DemoIsBuilt(paths));
    struct Row
    {
        ShippedDocument document;
        const char *file;
    };
    for (const Row &row :
         {Row{ShippedDocument::Help, "Termdex.htm"}, Row{ShippedDocument::Preface, "Preface.htm"},
          Row{ShippedDocument::Abbreviations, "PinAbbrev.htm"},
          Row{ShippedDocument::Bibliography, "Biblio.htm"}}) {
        const DocumentCommand command = ShippedDocumentCommand(paths, row.document);
        EXPECT_EQ(command.file.filename(), row.file);
        EXPECT_TRUE(FileExists(command.file)) << command.file;
        EXPECT_NE(std::string(command.failureMessage).find("δε βρέθηκε"), std::string::npos);
    }
    const ProgramCommand presentation = Vorantis_LabelClick(paths);
    EXPECT_TRUE(FileExists(presentation.program));
    EXPECT_TRUE(ReadRightsText(paths).has_value());
}

TEST(ShippedDocumentsTest, LinksInAShownDocumentStayInsideOnlyForDocuments)
{
    using A = DocumentLinkAction;
    const struct
    {
        const char *scheme, *path;
        A action;
    } rows[] = {
        {"", "", A::Scroll},         // "#print"
        {"", "Biblio.htm", A::Show}, // the other shipped documents
        {"file", "/opt/termdex/content/Preface.HTML", A::Show},
        {"", "Fig_Budgetline.bmp", A::Desktop},
        {"HTTPS", "/", A::Address},
        {"mailto", "info@vorantis.example", A::Address},
        {"javascript", "alert(1)", A::Ignore},
        {"ftp", "/x.htm", A::Ignore},
    };
    for (const auto &row : rows)
        EXPECT_EQ(ClassifyDocumentLink(row.scheme, row.path), row.action)
            << row.scheme << ":" << row.path;
}

TEST(ShippedDocumentsTest, EachDocumentHasItsOwnMessage)
{
    ProgramPaths paths;
    paths.programFolder = "/nowhere";
    std::vector<std::string> messages;
    for (ShippedDocument document : {ShippedDocument::Help, ShippedDocument::Preface,
                                     ShippedDocument::Abbreviations, ShippedDocument::Bibliography})
        messages.push_back(ShippedDocumentCommand(paths, document).failureMessage);
    EXPECT_EQ(messages, (std::vector<std::string>{"Το αρχείο βοήθειας δε βρέθηκε",
                                                  "Το αρχείο προλόγου δε βρέθηκε",
                                                  "Ο Πίνακας Συντομογραφιών δε βρέθηκε",
                                                  "Το αρχείο βιβλιογραφίας δε βρέθηκε"}));
}

TEST(ShippedDocumentsTest, PresentationGetsTheQuotedProgramFolder)
{
    ProgramPaths paths;
    paths.programFolder = "/opt/Termdex";
    ProgramCommand command = Vorantis_LabelClick(paths);
    EXPECT_EQ(command.program, std::filesystem::path("/opt/Termdex/content/VorantisPres"));
    EXPECT_EQ(command.arguments, std::vector<std::string>{"\"/opt/Termdex/\""});
    paths.programFolder = "/opt/Termdex/";
    EXPECT_EQ(Vorantis_LabelClick(paths).arguments, std::vector<std::string>{"\"/opt/Termdex/\""});
    EXPECT_STREQ(command.failureMessage, "Το πρόγραμμα της παρουσίασης δε βρέθηκε");
}

TEST(ShippedDocumentsTest, LinksAreTheWebAndMailAddresses)
{
    EXPECT_TRUE(std::string(SiteLabelClick().address).starts_with("https://"));
    EXPECT_TRUE(std::string(MailLabelClick().address).starts_with("mailto:"));
    EXPECT_NE(std::string(MailLabelClick().address).find(MailLabelClick().caption),
              std::string::npos);
}

class RightsTextTest : public testing::ProgramFolderTest
{
protected:
    std::filesystem::path Rights() const { return paths.programFolder / "content/copyright.rtf"; }
};

TEST_F(RightsTextTest, OnlyABoundedRichTextIsTaken)
{
    EXPECT_EQ(ReadRightsText(paths), std::nullopt); // no content folder
    std::filesystem::create_directories(paths.programFolder / "Content");
    WriteFile(paths.programFolder / "Content/COPYRIGHT.RTF", "{\\rtf1 rights}");
    EXPECT_EQ(ReadRightsText(paths), "{\\rtf1 rights}");
    WriteFile(paths.programFolder / "Content/COPYRIGHT.RTF", "plain words");
    EXPECT_EQ(ReadRightsText(paths), std::nullopt);
    WriteFile(paths.programFolder / "Content/COPYRIGHT.RTF",
              "{\\rtf1 " + std::string(kMaxRightsTextBytes, 'x') + "}");
    EXPECT_EQ(ReadRightsText(paths), std::nullopt);
}

TEST(QuickTranslationTest, ToggleShowsEachModesTexts)
{
    QuickTranslation mode;
    EXPECT_FALSE(mode.QuickTranslationOn());
    const QuickTranslationLook &on = mode.AutoTranslate_ButtonClick();
    EXPECT_TRUE(mode.QuickTranslationOn());
    EXPECT_STREQ(on.applicationTitle, "Γρήγορη Μετάφραση - Termdex");
    EXPECT_STREQ(on.caption, "Termdex - Γρήγορη Μετάφραση");
    EXPECT_STREQ(on.hint, "Τερματισμός Γρήγορης Μετάφρασης");
    EXPECT_TRUE(on.cancelGlyph);
    const QuickTranslationLook &off = mode.AutoTranslate_ButtonClick();
    EXPECT_FALSE(mode.QuickTranslationOn());
    EXPECT_STREQ(off.applicationTitle, "Termdex");
    EXPECT_STREQ(off.caption, "Termdex");
    EXPECT_STREQ(off.hint, "Γρήγορη Μετάφραση");
    EXPECT_FALSE(off.cancelGlyph);
}

TEST(QuickTranslationTest, OnlyOtherProgramsTextIsTakenAndOnlyWhileOn)
{
    QuickTranslation mode;
    EXPECT_FALSE(mode.WMDrawClipboard(true, false));
    EXPECT_FALSE(mode.AppDeactivate());
    mode.AutoTranslate_ButtonClick();
    EXPECT_TRUE(mode.WMDrawClipboard(true, false));
    EXPECT_FALSE(mode.WMDrawClipboard(true, true));   // the program's own copy
    EXPECT_FALSE(mode.WMDrawClipboard(false, false)); // a picture or files
    EXPECT_TRUE(mode.AppDeactivate());
}

TEST(QuickTranslationTest, PastedTextEndsAtTheFirstLineBreak)
{
    EXPECT_EQ(SingleLinePaste("demand"), "demand");
    EXPECT_EQ(SingleLinePaste("demand\r\nsupply"), "demand");
    EXPECT_EQ(SingleLinePaste("demand\nsupply"), "demand");
    EXPECT_EQ(SingleLinePaste("demand\rsupply"), "demand");
    EXPECT_EQ(SingleLinePaste("\nsupply"), "");
    EXPECT_EQ(SingleLinePaste(""), "");
}

} // namespace
} // namespace termdex
