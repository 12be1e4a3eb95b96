// The history of shown entries: the previous and next buttons and their menus.
#include "main/ui/main_lex_window.h"

#include "dialogs/pictures.h"
#include "dialogs/text_convert.h"
#include "main/ui/window_support.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace termdex {

namespace {

// A menu caption shown exactly as stored: "&" is no mnemonic.
QString MenuCaption(const Cp1253 &caption)
{
    return ToQString(caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

void TMainLex::MirrorHistoryMenus()
{
    const MainLexState &state = m_core->State();
    auto same = [](const std::vector<HistoryItem> &a, const std::vector<HistoryItem> &b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                                  [](const HistoryItem &x, const HistoryItem &y) {
                                                      return x.serial == y.serial &&
                                                             x.caption == y.caption;
                                                  });
    };
    auto rebuild = [this](QMenu *menu, const std::vector<HistoryItem> &items, bool previous) {
        menu->clear();
        for (size_t i = 0; i < items.size(); ++i) {
            QAction *action = menu->addAction(MenuCaption(items[i].caption));
            action->setData(items[i].tag);
            const int index = static_cast<int>(i);
            // After the menu is done with the action: the jump rebuilds the menu.
            connect(
                action, &QAction::triggered, this,
                [this, index, previous] { previous ? PrevMenuClick(index) : NextMenuClick(index); },
                Qt::QueuedConnection);
        }
    };
    if (!same(state.PrevMenu, m_shownPrev)) {
        m_shownPrev = state.PrevMenu;
        rebuild(m_prevMenu, state.PrevMenu, true);
    }
    if (!same(state.NextMenu, m_shownNext)) {
        m_shownNext = state.NextMenu;
        rebuild(m_nextMenu, state.NextMenu, false);
    }
    // With nothing to go back or forward to, the buttons say so.
    for (ToolbarButton *control : {m_prevButton, m_prevMenuButton})
        control->setEnabled(!state.PrevMenu.empty());
    for (ToolbarButton *control : {m_nextButton, m_nextMenuButton})
        control->setEnabled(!state.NextMenu.empty());
}

void TMainLex::Prev_ButtonClick()
{
    BusyThenMirror([&] { m_core->Prev_ButtonClick(); });
    FitEntryLabels();
}

void TMainLex::Next_ButtonClick()
{
    BusyThenMirror([&] { m_core->Next_ButtonClick(); });
    FitEntryLabels();
}

void TMainLex::PrevMenuClick(int index)
{
    BusyThenMirror([&] { m_core->PrevMenuClick(index); });
    FitEntryLabels();
}

void TMainLex::NextMenuClick(int index)
{
    BusyThenMirror([&] { m_core->NextMenuClick(index); });
    FitEntryLabels();
}

void TMainLex::PrevMenu_ButtonClick()
{
    if (m_prevMenu->isEmpty())
        return; // an empty pop-up would hold the menu open unseen
    m_prevMenu->hide();
    PopUpBelow(*m_prevMenu, *this, *m_prevButton);
}

void TMainLex::NextMenu_ButtonClick()
{
    if (m_nextMenu->isEmpty())
        return;
    m_nextMenu->hide();
    PopUpBelow(*m_nextMenu, *this, *m_nextButton);
}

} // namespace termdex
