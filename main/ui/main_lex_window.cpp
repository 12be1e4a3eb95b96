#include "main/ui/main_lex_window.h"

#include "custom/ui/custom_entries_ui.h"
#include "data/paths.h"
#include "dialogs/pictures.h"
#include "dialogs/text_convert.h"
#include "install/installer.h"
#include "main/quick_translation.h"
#include "main/ui/description_marks.h"
#include "main/ui/entry_edit.h"
#include "main/ui/headword_list.h"
#include "main/ui/main_lex_design.h"
#include "main/ui/window_extras.h"
#include "main/ui/window_support.h"
#include "richtext/qt/rtf_writer.h"
#include "richtext/qt/text_document_sink.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>
#include <QToolTip>

namespace termdex {

namespace {

constexpr int kListHintMilliseconds = 10000;

} // namespace

TMainLex::TMainLex(PlatformServices services, std::filesystem::path programFolder, QWidget *parent)
    : QWidget(parent), m_services(services), m_programFolder(std::move(programFolder))
{
    setObjectName(QStringLiteral("TMainLex"));
    const std::string title = DictionaryTitle(m_programFolder);
    m_windowTitle = title.empty() ? QStringLiteral("Termdex")
                                  : QStringLiteral("Termdex — ") + QString::fromStdString(title);
    setWindowTitle(m_windowTitle);
    setWindowIcon(ProgramIcon());
    setFont(PixelFont(font(), 11));
    resize(kDesignSize);
    setMinimumSize(kMinimumSize);
    setMouseTracking(true);

    BuildToolbar();
    BuildDisplay();
    BuildHiddenControls();
    FormCreate(m_programFolder);
    SetUpCustomEntries();
    SetUpExtras();
    SetUpInstaller();
    Mirror();
}

TMainLex::~TMainLex()
{
    FormDestroy();
    disconnect(m_focusWatch);
    // The children outlive the window's own part: no focus change may reach the core now.
    m_entriesList->removeEventFilter(this);
    m_descriptionText->removeEventFilter(this);
    m_entryText->removeEventFilter(this);
}

void TMainLex::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TMainLex::FormShow()
{
    // Only the first showing, or every showing while no description file was found.
    if (!m_core->Dict().preamble.empty())
        return;
    setWindowTitle(m_windowTitle);
    HighlightToolbarButton(-1);
    if (!m_formShown) {
        m_formShown = true;
        if (const QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
    resize(m_exitButton->x() + m_exitButton->width() + 12, height());
    m_canvasFont = m_entriesList->font();
    BusyThenMirror([&] { m_core->FormShow(); });
    m_entryText->setFocus(Qt::OtherFocusReason);
    // A program that runs from a writable disk has been installed: no install offer. Nor has
    // one the package manager installed, whose program file lies elsewhere, nor a dictionary
    // that termdex-cli imported, whose folder holds no program to install.
    if (IsSystemProgramFolder(m_programFolder) || !m_core->Dict().paths.dictionaryName.empty() ||
        (m_services.files != nullptr &&
         !InstallOffered(m_services.files->IsReadOnly(m_programFolder / kProgramFileName)))) {
        m_installLabel->hide();
        m_copyrightLeft = 5;
        FormResize();
    }
}

void TMainLex::ResetDisplay()
{
    m_core->ResetDisplay();
    Mirror();
}

void TMainLex::Mirror()
{
    const MainLexState &state = m_core->State();
    m_mirroring = true;

    if (ToCp1253(m_entryText->text()) != state.entryText)
        m_entryText->setText(ToQString(state.entryText));

    if (m_listModel->SetItems(state.listItems))
        ClearListHoverHint();
    const QModelIndex current =
        state.itemIndex >= 0 ? m_listModel->index(state.itemIndex) : QModelIndex();
    if (current.isValid()) {
        if (m_entriesList->currentIndex() != current ||
            !m_entriesList->selectionModel()->isSelected(current))
            m_entriesList->setCurrentIndex(current);
        m_entriesList->scrollTo(current);
    } else {
        m_entriesList->selectionModel()->clear();
    }

    m_entryLabel->setText(ToQString(state.entryLabel));
    m_transLabel->setText(ToQString(state.transLabel));
    // The plate shows only under a caption, so the banner is never framed by an empty one.
    const bool captions = !state.entryLabel.empty() || !state.transLabel.empty();
    m_entryLabel->setAutoFillBackground(captions);
    m_transLabel->setAutoFillBackground(captions);
    MirrorDescription();

    if (state.medicalImageVisible) {
        CentreMedicalImage();
        m_medicalImage->show();
    } else {
        m_medicalImage->hide();
    }
    m_modifyEntryItem->setEnabled(state.modifyEntryEnabled);
    m_deleteEntryItem->setEnabled(state.deleteEntryEnabled);

    const QString langGlyph =
        state.LanguageMode == Language::Greek ? m_grImage->Resource() : m_enImage->Resource();
    if (m_langButton->Glyph() != langGlyph) {
        m_langButton->SetGlyph(langGlyph);
        m_entryText->ResetGreekTyping();
    }

    // With the description squeezed away the list's hint holds the whole entry.
    if (!state.descriptionAreaShown) {
        m_entriesList->setToolTip(ToQString(state.listHint).trimmed());
        m_entriesList->setToolTipDuration(kListHintMilliseconds);
    }
    MirrorHistoryMenus();
    MirrorSearchReport();
    MirrorSuggestions();
    m_mirroring = false;
}

void TMainLex::MirrorSuggestions()
{
    const std::vector<Suggestion> &suggestions = m_core->State().suggestions;
    QString line;
    for (const Suggestion &s : suggestions) {
        line += line.isEmpty() ? QStringLiteral("Μήπως εννοείτε: ") : QStringLiteral(", ");
        // Dark blue on the line's white, as the description's links: the rich text would take
        // the desktop's link colour, which a dark scheme makes light.
        line += QStringLiteral("<a href=\"%1\" style=\"color: #003399\">%2</a>")
                    .arg(s.record)
                    .arg(ToQString(s.text).toHtmlEscaped());
    }
    if (line != m_suggestionsLabel->text())
        m_suggestionsLabel->setText(line);
    m_suggestionsLabel->setVisible(!line.isEmpty());
    LayOutSuggestions();
}

void TMainLex::Suggestions_LabelClick(const QString &link)
{
    bool ok = false;
    const int record = link.toInt(&ok);
    if (!ok)
        return;
    m_core->JumpToRecord(record);
    Mirror();
    FitEntryLabels();
}

void TMainLex::Description_TextLinkClick(int record)
{
    if (!m_core->JumpToRecord(record))
        return;
    Mirror();
    FitEntryLabels();
}

void TMainLex::MirrorDescription()
{
    const MainLexState &state = m_core->State();
    const Cp1253 &document = state.descriptionDocument;
    if (document == m_shownDocument) {
        if (state.highlightWord != m_shownHighlight) {
            m_shownHighlight = state.highlightWord;
            HighlightSearchWord(*m_descriptionText, state.highlightWord, state.highlightGreek);
        }
        return;
    }
    m_shownDocument = document;
    m_shownHighlight = state.highlightWord;
    QTextDocument *view = m_descriptionText->document();
    if (document.empty()) {
        view->clear();
    } else if (!LoadRtfDocument(document, *view)) {
        // Not rich text: the view holds the source, unless that is a document it failed on.
        const QString source = ToQString(document);
        if (source.startsWith(QStringLiteral("{\\rtf1")))
            view->clear();
        else
            m_descriptionText->setPlainText(source);
    }
    m_descriptionText->verticalScrollBar()->setValue(0);
    if (!state.links.empty())
        MarkEntryLinks(*view, state.descriptionText, state.links);
    HighlightSearchWord(*m_descriptionText, state.highlightWord, state.highlightGreek);
}

void TMainLex::Entries_ListClick()
{
    const QModelIndex current = m_entriesList->currentIndex();
    m_core->SelectListItem(current.isValid() ? current.row() : -1);
    m_core->Entries_ListClick();
    m_canvasFont = m_entryLabel->font();
    Mirror();
    FitEntryLabels();
}

void TMainLex::Entry_TextChange(const QString &text)
{
    if (m_mirroring)
        return;
    BusyThenMirror([&] { m_core->Entry_TextChange(ToCp1253(text)); });
    FitEntryLabels();
}

void TMainLex::Entry_TextKeyDown(int key)
{
    EntryKey entryKey = EntryKey::Other;
    switch (key) {
    case Qt::Key_Down:
        entryKey = EntryKey::Down;
        break;
    case Qt::Key_Up:
        entryKey = EntryKey::Up;
        break;
    case Qt::Key_PageUp:
        entryKey = EntryKey::PageUp;
        break;
    case Qt::Key_PageDown:
        entryKey = EntryKey::PageDown;
        break;
    default:
        return;
    }
    const int page = m_entriesList->height() / kListItemHeight;
    if (!m_core->Entry_TextKeyDown(entryKey, page))
        return;
    m_entriesList->setFocus(Qt::OtherFocusReason);
    m_canvasFont = m_entryLabel->font();
    Mirror();
    FitEntryLabels();
}

void TMainLex::keyPressEvent(QKeyEvent *event)
{
    // Fill_List_Button is the window's default button: Enter runs it from any control.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_fillListButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TMainLex::Entries_ListReturn()
{
    // Return on the list shows its selected item; the entry already on display stays as it is.
    const int record = m_core->SelectedRecord();
    if (record != 0 && record == m_core->State().shownRecord)
        return;
    Entries_ListClick();
}

void TMainLex::Fill_List_ButtonClick()
{
    BusyThenMirror([&] { m_core->Fill_List_ButtonClick(); });
}

void TMainLex::WholeLex_ButtonClick()
{
    m_fillListButton->setFocus(Qt::OtherFocusReason);
    BusyThenMirror([&] { m_core->WholeLex_ButtonClick(); });
}

void TMainLex::Entries_ListMouseMove(const QPoint &viewportPosition)
{
    HighlightToolbarButton(0);
    if (!DescriptionAreaShown())
        return; // the display step put the whole entry into the hint
    const QModelIndex item = m_entriesList->indexAt(viewportPosition);
    QString hint;
    if (item.isValid()) {
        const QString text = item.data(Qt::DisplayRole).toString();
        // Also an item that the list elides, whatever the canvas font says.
        if (QFontMetrics(m_canvasFont).horizontalAdvance(text) > m_entriesList->width() ||
            m_entriesList->IsElided(item))
            hint = text;
    }
    m_entriesList->setToolTip(hint);
    m_entriesList->setToolTipDuration(-1);
}

void TMainLex::ClearListHoverHint()
{
    if (!DescriptionAreaShown())
        return; // the hint is the entry's summary, which Mirror keeps
    m_entriesList->setToolTip(QString());
    if (QToolTip::isVisible())
        QToolTip::hideText();
}

void TMainLex::Lang_ButtonClick()
{
    m_entryText->setFocus(Qt::OtherFocusReason);
    BusyThenMirror([&] { m_core->Lang_ButtonClick(); });
}

bool TMainLex::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_descriptionText->viewport()) {
        if (event->type() == QEvent::MouseMove) {
            const auto *move = static_cast<QMouseEvent *>(event);
            const bool overLink = LinkRecordAt(*m_descriptionText, move->position().toPoint()) != 0;
            m_descriptionText->viewport()->setCursor(overLink ? Qt::PointingHandCursor
                                                              : Qt::IBeamCursor);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *release = static_cast<QMouseEvent *>(event);
            const int record = LinkRecordAt(*m_descriptionText, release->position().toPoint());
            // A drag that selected text over a link is a selection, not a click.
            if (release->button() == Qt::LeftButton && record != 0 &&
                !m_descriptionText->textCursor().hasSelection()) {
                Description_TextLinkClick(record);
                return true;
            }
        }
    }
    if (event->type() == QEvent::FocusIn) {
        if (watched == m_entriesList)
            Entries_ListEnter();
        else if (watched == m_descriptionText)
            Description_TextEnter();
        else if (watched == m_entryText)
            Entry_TextEnter();
    }
    return QWidget::eventFilter(watched, event);
}

void TMainLex::Entries_ListEnter() { m_core->Entries_ListEnter(); }

void TMainLex::Description_TextEnter() { m_core->Description_TextEnter(); }

void TMainLex::Entry_TextEnter()
{
    m_core->Entry_TextEnter();
    // After the mouse press that gave the focus, which would place the caret instead.
    QTimer::singleShot(0, m_entryText, [edit = QPointer<EntryEdit>(m_entryText)] {
        if (edit)
            edit->selectAll();
    });
    m_entryText->selectAll();
}

void TMainLex::Copy_ButtonClick()
{
    Clipboard *clipboard = m_services.clipboard;
    QTextCursor selection = m_descriptionText->textCursor();
    const bool descriptionSelected = selection.hasSelection();
    const bool entrySelected = m_entryText->hasSelectedText();
    m_core->Copy_ButtonClick(descriptionSelected, entrySelected, [&](const CopyDecision &decision) {
        if (clipboard == nullptr)
            return;
        switch (decision.source) {
        case CopySource::Nothing:
            break;
        case CopySource::DescriptionSelection:
            clipboard->SetText(selection.selection().toPlainText().toStdString());
            break;
        case CopySource::WholeDescription: {
            // Everything, with its formatting; the selection collapses afterwards.
            QTextDocument *document = m_descriptionText->document();
            RichClip clip;
            clip.rtf = WriteRtf(*document);
            clip.html = document->toHtml().toStdString();
            clip.plain = document->toPlainText().toStdString();
            clipboard->SetRich(clip);
            QTextCursor collapsed(document);
            m_descriptionText->setTextCursor(collapsed);
            break;
        }
        case CopySource::EntrySelection:
            clipboard->SetText(m_entryText->selectedText().toStdString());
            break;
        case CopySource::WholeEntry:
            clipboard->SetText(m_entryText->text().toStdString());
            m_entryText->deselect();
            break;
        case CopySource::ListItem:
            clipboard->SetText(ToQString(decision.text).toStdString());
            break;
        }
    });
}

void TMainLex::Paste_ButtonClick()
{
    QString pasted;
    if (m_services.clipboard != nullptr)
        pasted = QString::fromStdString(SingleLinePaste(m_services.clipboard->Text()));
    BusyThenMirror([&] { m_core->Paste_ButtonClick(ToCp1253(pasted)); });
    FitEntryLabels();
    if (m_entryText->hasFocus())
        Entry_TextEnter();
    else
        m_entryText->setFocus(Qt::OtherFocusReason);
}

void TMainLex::Exit_ButtonClick() { close(); }

} // namespace termdex
