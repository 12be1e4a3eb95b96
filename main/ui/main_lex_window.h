// TMainLex: the main window. It owns the widgets and the window core (MainLexCore); each
// handler is a slot of the handler's name that reads the widgets, calls the core, and mirrors
// the core's state back into the widgets. Positions are pixels of the client area; "the window
// width" of the layout rules is the client width (the frame belongs to the window manager).
#pragma once

#include "main/main_lex.h"
#include "main/ui/window_support.h"
#include "platform/platform.h"

#include <QElapsedTimer>
#include <QFont>
#include <QPointer>
#include <QWidget>

#include <array>
#include <filesystem>
#include <memory>
#include <type_traits>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QPrinter;
class QTextEdit;

namespace termdex {

struct CustomEntriesUi;
struct EditStatus;
class TDummyFrm;
struct WindowExtras;
class FolderDialog;
class EntriesListView;
class EntryEdit;
class FocusRing;
class HeadwordListModel;
class LineImage;
class SvgPicture;
class ToolbarButton;

// The toolbar's hover groups 1..14: the buttons of a group and their two geometries.
struct HoverGroupButton
{
    const char *name;
    QRect normal;
    QRect raised;
};
struct HoverGroup
{
    std::vector<HoverGroupButton> buttons; // the first one is the lead
};
const std::array<HoverGroup, 14> &ToolbarHoverGroups();

class TMainLex final : public QWidget
{
    Q_OBJECT
public:
    // FormCreate: the program folder is made the current folder, the core finds the keyboard
    // layouts, the custom paths come from the settings file, and the colours are set.
    TMainLex(PlatformServices services, std::filesystem::path programFolder,
             QWidget *parent = nullptr);
    ~TMainLex() override;

    const MainLexCore &Core() const { return *m_core; }
    MainLexCore &Core() { return *m_core; }

    // Raises group 1..14 and lowers the other raised ones; 0 lowers the raised ones, -1 all.
    void HighlightToolbarButton(int index);
    // The display operations, mirrored from the core.
    void ResetDisplay();
    void FitEntryLabels();
    // How long the full-text search runs before its progress window appears (200 ms).
    void SetSearchProgressDelay(int milliseconds) { m_searchProgressDelay = milliseconds; }
    // The threads the full-text search scans with: 1 or 2, 0 to choose by the machine.
    void SetSearchThreads(int threads) { m_searchThreads = threads; }
    // The hidden form whose PrintText carries the print document; without one the window
    // makes its own at the first print.
    void SetDummyFrm(TDummyFrm *form);
    // The printer that the print dialog makes current; it stays current between prints.
    QPrinter &Printer();
    // The folder dialog the install label asks (tests answer it); nullptr for the window's own
    // TSelectCustomDirForm.
    void SetInstallFolderDialog(FolderDialog *dialog) { m_installFolderDialog = dialog; }

public slots:
    void Lang_ButtonClick();
    void Prev_ButtonClick();
    void PrevMenu_ButtonClick();
    void Next_ButtonClick();
    void NextMenu_ButtonClick();
    void PrevMenuClick(int index);
    void NextMenuClick(int index);
    void Copy_ButtonClick();
    void Paste_ButtonClick();
    void Search_ButtonClick();
    void DescrSearch_ButtonClick();
    void Fill_List_ButtonClick();
    void WholeLex_ButtonClick();
    void Exit_ButtonClick();
    void Entries_ListClick();
    void Entry_TextChange(const QString &text);
    void Entry_TextKeyDown(int key);
    void Entries_ListMouseMove(const QPoint &viewportPosition);
    void Entries_ListEnter();
    // Return with the list focused.
    void Entries_ListReturn();
    void Description_TextEnter();
    void Entry_TextEnter();
    // A headword of the suggestion line, or a link of the description, was clicked: the entry
    // is shown as a jump through the history shows it.
    void Suggestions_LabelClick(const QString &link);
    void Description_TextLinkClick(int record);
    // The custom-entries menu (main_lex_custom_entries.cpp).
    void CustomEntries_ButtonClick();
    void CustomEntriesItemClick();
    void InsertEntryItemClick();
    void ModifyEntryItemClick();
    void DeleteEntryItemClick();
    // The folder of the reader's entries, and backups of them.
    void CustomFolderItemClick();
    void BackupItemClick();
    void RestoreItemClick();
    void RepairEntriesItemClick();
    // Printing (print_support.cpp), quick translation (quick_translation_window.cpp), the
    // figures, tables, help, about window and staying on top (window_documents.cpp).
    void Print_ButtonClick();
    // The print preview of the entry that Print_ButtonClick would print.
    void PrintPreview_Click();
    void AutoTranslate_ButtonClick();
    void WMDrawClipboard();
    void AppDeactivate();
    void Description_TextSelectionChange();
    void Pinakes_ButtonClick();
    void PrefaceMenuClick();
    void AbbreviationsMenuClick();
    void BibliographyMenuClick();
    void Help_ButtonClick();
    void Vorantis_LabelClick();
    void CopyrightLabelClick();
    void Pin_ButtonClick();
    // The installer (main_lex_install.cpp).
    void InstallLabelClick();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate(const std::filesystem::path &programFolder);
    void FormShow();
    void FormResize();
    // Building the window (main_lex_build.cpp).
    void BuildToolbar();
    void BuildToolbarMenus();
    void BuildDisplay();
    // The entry field, the list and the suggestion line under the field.
    void BuildEntryControls();
    // The entry's labels, the banner and the description.
    void BuildDescription();
    // The installer, copyright and publisher at the bottom.
    void BuildBottomBar();
    void BuildHiddenControls();
    ToolbarButton *AddToolbarButton(const char *name, const QString &glyph, const QString &hint,
                                    QRect design, int group);
    // Writes the core's state into the widgets; the widgets' own change handlers stay quiet.
    void Mirror();
    // Runs a step of the core under the busy cursor, then mirrors the core; returns what the
    // step returns.
    template <typename Step> auto BusyThenMirror(Step &&step)
    {
        if constexpr (std::is_void_v<std::invoke_result_t<Step>>) {
            {
                BusyCursor busy;
                step();
            }
            Mirror();
        } else {
            auto result = [&] {
                BusyCursor busy;
                return step();
            }();
            Mirror();
            return result;
        }
    }
    void MirrorDescription();
    void MirrorHistoryMenus();
    // What the last search found, over the empty description (window_documents.cpp).
    void MirrorSearchReport();
    // The suggestion line under the entry field, and the list moved down to make room for it.
    void MirrorSuggestions();
    void LayOutSuggestions();
    // The hover hint named the item that was under the pointer: a new list, or the list
    // scrolled, takes it away, shown or not, until the pointer moves again.
    void ClearListHoverHint();
    void CentreMedicalImage();
    // Places every resizable control for the current client size, from the design anchors
    // alone, so that any sequence of sizes that returns to a size gives the same layout.
    // Returns the description's anchored place, which FormResize fits and applies.
    QRect LayOut();
    // The publisher's picture and label at the right of the bottom bar, clear of the others.
    void PlacePublisher(int width, int bottomTop);
    bool DescriptionAreaShown() const;
    // Moves the focus ring to the control that holds the keyboard focus.
    void SurroundFocus();
    // The editing commands with their dialogs, bound to the custom-entries menu.
    void SetUpCustomEntries();
    // The message of a finished edit, unless the editor showed it already.
    void ShowUnseenMessage(const EditStatus &status);
    // The print, quick-translation, figure, tables, help and about commands' bindings.
    void SetUpExtras();
    // Stops the clipboard notices (quick translation) before the window goes.
    void FormDestroy();
    void ShowPendingFigure();
    // InstallLabel's click.
    void SetUpInstaller();

    PlatformServices m_services;
    std::unique_ptr<MainLexCore> m_core;
    std::filesystem::path m_programFolder;
    // "Termdex", and an imported dictionary's title after it, so that two windows on two
    // dictionaries can be told apart in the taskbar.
    QString m_windowTitle;
    bool m_mirroring = false;
    bool m_formShown = false;
    int m_copyrightLeft = 241; // 5 once the install label is hidden
    int m_bottomBarTop = 301;  // the bottom bar's band, under its labels
    QFont m_canvasFont;        // the font the list's tooltip rule measures item texts in
    int m_searchProgressDelay = 200;
    int m_searchThreads = 0;
    Cp1253 m_shownDocument;
    Cp1253 m_shownHighlight;   // the search word highlighted in m_shownDocument
    int m_suggestionSpace = 0; // pixels the list gave up at its top for the suggestion line
    std::vector<HistoryItem> m_shownPrev, m_shownNext;

    // Toolbar.
    ToolbarButton *m_langButton, *m_prevButton, *m_prevMenuButton, *m_nextButton, *m_nextMenuButton,
        *m_copyButton, *m_pasteButton, *m_printButton, *m_searchButton, *m_descrSearchButton,
        *m_autoTranslateButton, *m_customEntriesButton, *m_pinakesButton, *m_helpButton,
        *m_pinButton, *m_exitButton;
    QMenu *m_prevMenu, *m_nextMenu, *m_customEntriesMenu;
    QAction *m_modifyEntryItem, *m_deleteEntryItem;

    // Display.
    LineImage *m_lineImage, *m_line2Image;
    QFrame *m_panel2;
    EntryEdit *m_entryText;
    EntriesListView *m_entriesList;
    HeadwordListModel *m_listModel;
    QLabel *m_entryLabel, *m_transLabel;
    QLabel *m_suggestionsLabel = nullptr; // "Μήπως εννοείτε: ..."
    SvgPicture *m_medicalImage;
    QTextEdit *m_descriptionText;
    QLabel *m_installLabel, *m_copyrightLabel, *m_vorantisLabel;
    SvgPicture *m_vorantisImage;
    FocusRing *m_focusRing;
    QMetaObject::Connection m_focusWatch;

    // Hidden controls and picture stores.
    SvgPicture *m_grImage, *m_enImage, *m_autoTrImage, *m_cancelAutoTrImage;
    QLineEdit *m_clipBoardEdit;
    QPushButton *m_fillListButton, *m_wholeLexButton;

    // After m_core: it uses the core and goes first.
    std::unique_ptr<CustomEntriesUi> m_customEntries;
    std::unique_ptr<WindowExtras> m_extras; // after m_core, as m_customEntries
    FolderDialog *m_installFolderDialog = nullptr;
    std::string m_chosenFolder; // ChosenFolder: the folder the last installation went to
};

} // namespace termdex
