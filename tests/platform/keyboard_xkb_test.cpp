#include "platform/keyboard_xkb.h"

#include "platform/fakes.h"

#include <gtest/gtest.h>

namespace termdex {
namespace {

struct SymbolsRow
{
    const char *symbols;
    int groups;
    std::vector<std::string> layouts;
};

TEST(XkbLayouts, SymbolsNameGivesEachGroupItsLayout)
{
    const std::vector<SymbolsRow> rows = {
        {"pc+us+gr:2+inet(evdev)", 2, {"us", "gr"}},
        {"pc+gb+us(intl):2+gr:3+inet(evdev)+group(alt_shift_toggle)", 3, {"gb", "us", "gr"}},
        {"pc+gr(polytonic)+us:2", 2, {"gr", "us"}},
        {"evdev+us", 1, {"us"}},
        {"pc+us+gr:2", 1, {"us"}},            // a group past the count is not listed
        {"pc+us+gr:9+de:2", 2, {"us", "de"}}, // a group number XKB cannot have is passed over
        {"", 2, {"", ""}},
        {"pc+inet(evdev)", 1, {""}},
        {"us+gr:2", 7, {"us", "gr", "", ""}}, // never more than XKB's four groups
    };
    for (const SymbolsRow &row : rows) {
        SCOPED_TRACE(row.symbols);
        EXPECT_EQ(LayoutsOfSymbolsName(row.symbols, row.groups), row.layouts);
    }
}

TEST(XkbLayouts, LanguageOfALayout)
{
    EXPECT_EQ(LanguageOfLayout("gr"), "Greek");
    EXPECT_EQ(LanguageOfLayout("us"), "English");
    EXPECT_EQ(LanguageOfLayout("gb"), "English");
    EXPECT_EQ(LanguageOfLayout("de"), "de"); // neither: passed over by the search
    EXPECT_EQ(LanguageOfLayout(""), "");     // unreadable: counts as English there
}

TEST(XkbLayouts, DesktopWithEnglishAndGreekGroups)
{
    auto server = std::make_unique<FakeXkbServer>();
    FakeXkbServer *fake = server.get();
    fake->symbolsName = "pc+us+gr:2+inet(evdev)";
    fake->groupCount = 2;
    XkbKeyboardLayouts layouts(std::move(server));

    EXPECT_EQ(layouts.InstalledLayouts(), (std::vector<LayoutHandle>{1, 2}));
    const ModeKeyboards found = FindKeyboardLayouts(&layouts);
    EXPECT_EQ(found.englishLayout, 1u);
    EXPECT_EQ(found.greekLayout, 2u);
    EXPECT_EQ(fake->locks, (std::vector<int>{0, 1})); // the last group stays active
    EXPECT_EQ(layouts.ActiveLanguageName(), "Greek");

    EXPECT_TRUE(layouts.Activate(1));
    EXPECT_EQ(fake->activeGroup, 0);
    EXPECT_EQ(layouts.ActiveLanguageName(), "English");
    EXPECT_FALSE(layouts.Activate(0)); // "none"
    EXPECT_FALSE(layouts.Activate(3)); // no third group
    EXPECT_EQ(fake->activeGroup, 0);
}

TEST(XkbLayouts, ChoiceOfGroupsOnOtherDesktops)
{
    struct Row
    {
        const char *symbols;
        int groups;
        LayoutHandle english, greek;
    };
    const std::vector<Row> rows = {
        {"pc+gr+gr(polytonic):2+us:3", 3, 3, 1}, // the first Greek group is taken
        {"pc+de+gr:2", 2, 0, 2},                 // German is neither
        {"pc+us", 1, 1, 0},                      // Xvfb's one English group
        {"", 2, 1, 0},                           // unreadable names: the first counts as English
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.symbols);
        auto server = std::make_unique<FakeXkbServer>();
        server->symbolsName = row.symbols;
        server->groupCount = row.groups;
        XkbKeyboardLayouts layouts(std::move(server));
        const ModeKeyboards found = FindKeyboardLayouts(&layouts);
        EXPECT_EQ(found.englishLayout, row.english);
        EXPECT_EQ(found.greekLayout, row.greek);
    }
}

TEST(XkbLayouts, NoServerMeansNoLayouts)
{
    XkbKeyboardLayouts layouts(nullptr);
    EXPECT_TRUE(layouts.InstalledLayouts().empty());
    EXPECT_FALSE(layouts.Activate(1));
    EXPECT_EQ(layouts.ActiveLanguageName(), "");
    const ModeKeyboards found = FindKeyboardLayouts(&layouts);
    EXPECT_EQ(found.englishLayout, 0u);
    EXPECT_EQ(found.greekLayout, 0u);
}

} // namespace
} // namespace termdex
