// TMainLex's commands beyond the dictionary proper: the figures of a description, the tables
// menu, the help, the publisher's presentation, the about window and staying on top. It also
// binds these and the print and quick-translation commands to their controls.
#include "main/ui/main_lex_window.h"

#include "dialogs/copyright_form.h"
#include "dialogs/dummy_frm.h"
#include "dialogs/fig_form.h"
#include "dialogs/pictures.h"
#include "dialogs/problem_message.h"
#include "dialogs/text_convert.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "main/figures.h"
#include "main/shipped_documents.h"
#include "main/ui/document_window.h"
#include "main/ui/entry_edit.h"
#include "main/ui/search_status.h"
#include "main/ui/window_extras.h"
#include "main/ui/window_support.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace termdex {

WindowExtras::WindowExtras() = default;
WindowExtras::~WindowExtras() = default;

namespace {

// One code page byte per character of the view, so that indices are the view's positions;
// a character the code page cannot hold becomes "?".
Cp1253 OneBytePerCharacter(const QString &text)
{
    Cp1253 out;
    out.reserve(static_cast<size_t>(text.size()));
    for (const QChar ch : text) {
        const std::optional<unsigned char> byte = CodePointToCp1253(ch.unicode());
        out += byte ? static_cast<char>(*byte) : '?';
    }
    return out;
}

// Shows the document in the dictionary's own window, raising the one already open for it.
void ShowDocumentHere(TMainLex *window, WindowExtras &extras, Shell *shell,
                      ShippedDocument document, const DocumentCommand &command)
{
    QPointer<QWidget> &shown = extras.documentWindows[static_cast<size_t>(document)];
    if (shown.isNull()) {
        shown = new TDocumentWindow(window, shell, command.file, QString::fromUtf8(command.title));
        shown->move(window->geometry().center() - shown->rect().center());
    }
    shown->show();
    shown->raise();
    shown->activateWindow();
}

// The desktop's program for the document, or the dictionary's own window where the desktop
// has none; the failure message only for a file that is not there.
void OpenDocumentOrShow(TMainLex *window, WindowExtras &extras, Shell *shell,
                        ShippedDocument document, const DocumentCommand &command)
{
    if (!FileExists(command.file)) {
        ShowProblemMessage(window, QString::fromUtf8(command.failureMessage));
        return;
    }
    // The opener may find no program only after it has run; the window may be gone by then.
    const QPointer<TMainLex> guard(window);
    WindowExtras *kept = &extras;
    auto showLater = [guard, kept, shell, document, command] {
        if (!guard.isNull())
            ShowDocumentHere(guard.data(), *kept, shell, document, command);
    };
    if (shell == nullptr || !shell->OpenDocument(command.file, showLater))
        ShowDocumentHere(window, extras, shell, document, command);
}

} // namespace

void TMainLex::SetUpExtras()
{
    m_extras = std::make_unique<WindowExtras>();
    connect(m_printButton, &QAbstractButton::clicked, this, &TMainLex::Print_ButtonClick);
    connect(m_autoTranslateButton, &QAbstractButton::clicked, this,
            &TMainLex::AutoTranslate_ButtonClick);
    connect(m_pinakesButton, &QAbstractButton::clicked, this, &TMainLex::Pinakes_ButtonClick);
    connect(m_helpButton, &QAbstractButton::clicked, this, &TMainLex::Help_ButtonClick);
    connect(m_pinButton, &QAbstractButton::clicked, this, &TMainLex::Pin_ButtonClick);
    connect(m_descriptionText, &QTextEdit::selectionChanged, this,
            &TMainLex::Description_TextSelectionChange);
    // The application's loss of activation (the reader went to another program).
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive)
                    AppDeactivate();
            });

    m_extras->pinakesMenu = new QMenu(this);
    m_extras->pinakesMenu->setObjectName(QStringLiteral("PinakesMenu"));
    const struct
    {
        const char *name;
        const char *caption;
        void (TMainLex::*slot)();
    } items[] = {
        {"PrefaceMenu", "Πρόλογος", &TMainLex::PrefaceMenuClick},
        {"AbbreviationsMenu", "Συντομογραφίες", &TMainLex::AbbreviationsMenuClick},
        {"BibliographyMenu", "Βιβλιογραφία", &TMainLex::BibliographyMenuClick},
    };
    for (const auto &item : items) {
        QAction *action = m_extras->pinakesMenu->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QLatin1String(item.name));
        connect(action, &QAction::triggered, this, item.slot);
    }

    // Printing and its preview: the print button's context menu, and Ctrl+P and Ctrl+Shift+P
    // anywhere in the window.
    m_extras->printMenu = new QMenu(this);
    m_extras->printMenu->setObjectName(QStringLiteral("PrintMenu"));
    const struct
    {
        const char *name;
        const char *caption;
        QKeySequence keys;
        void (TMainLex::*slot)();
    } printItems[] = {
        {"PrintItem", "Εκτύπωση…", QKeySequence(Qt::CTRL | Qt::Key_P),
         &TMainLex::Print_ButtonClick},
        {"PrintPreviewItem", "Προεπισκόπηση εκτύπωσης…",
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), &TMainLex::PrintPreview_Click},
    };
    for (const auto &item : printItems) {
        QAction *action = m_extras->printMenu->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QLatin1String(item.name));
        action->setShortcut(item.keys);
        addAction(action);
        connect(action, &QAction::triggered, this, item.slot);
    }
    m_printButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_printButton, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        m_extras->printMenu->popup(m_printButton->mapToGlobal(at));
    });

    m_extras->clicks = new ClickFilter(this);
    m_extras->clicks->Watch(m_copyrightLabel, [this] { CopyrightLabelClick(); });
    m_extras->clicks->Watch(m_vorantisLabel, [this] { Vorantis_LabelClick(); });
    m_extras->clicks->Watch(m_vorantisImage, [this] { Vorantis_LabelClick(); });
    m_extras->clicks->Watch(m_descriptionText->viewport(),
                            [this] { QTimer::singleShot(0, this, &TMainLex::ShowPendingFigure); });
}

// ---- What a search found ----

void TMainLex::MirrorSearchReport()
{
    if (!m_extras)
        return; // a mirror while the window is being built
    if (m_extras->searchStatus == nullptr)
        m_extras->searchStatus = new SearchStatus(m_descriptionText);
    const MainLexState &state = m_core->State();
    m_extras->searchStatus->Show(ToQString(state.searchReport), state.descriptionDocument.empty());
}

// ---- Figures ----

void TMainLex::Description_TextSelectionChange()
{
    m_extras->pendingFigure.reset();
    const QTextCursor cursor = m_descriptionText->textCursor();
    if (!cursor.hasSelection())
        return;
    const Cp1253 selected = OneBytePerCharacter(cursor.selectedText());
    if (!IsFigureSelection(selected))
        return; // every ordinary selection ends here
    // The text up to the three characters after the selection, position for position.
    const QTextDocument *document = m_descriptionText->document();
    const int start = cursor.selectionStart();
    const int length = cursor.selectionEnd() - start;
    const int end = std::min(document->characterCount(), start + length + 3);
    QString text;
    text.reserve(end);
    for (int position = 0; position < end; ++position)
        text += document->characterAt(position);
    m_extras->pendingFigure = termdex::Description_TextSelectionChange(
        *m_core, selected, OneBytePerCharacter(text), static_cast<size_t>(start),
        static_cast<size_t>(length));
    // A selection made with the mouse opens its figure when the button is let go, so that the
    // view sees the whole click before the figure window takes the input.
    if (m_extras->pendingFigure && QGuiApplication::mouseButtons() == Qt::NoButton)
        QTimer::singleShot(0, this, &TMainLex::ShowPendingFigure);
}

void TMainLex::ShowPendingFigure()
{
    const std::optional<std::filesystem::path> file = std::exchange(m_extras->pendingFigure, {});
    if (!file)
        return;
    const QString name = QString::fromStdString(file->string());
    if (!TFigForm::CanShow(name))
        return; // an unreadable picture ends the attempt silently
    TFigForm figure(this);
    figure.SetFigFileName(name);
    figure.exec();
}

// ---- Tables, help and the publisher ----

void TMainLex::Pinakes_ButtonClick()
{
    PopUpBelow(*m_extras->pinakesMenu, *this, *m_pinakesButton);
}

void TMainLex::PrefaceMenuClick()
{
    OpenDocumentOrShow(this, *m_extras, m_services.shell, ShippedDocument::Preface,
                       ShippedDocumentCommand(m_core->Paths(), ShippedDocument::Preface));
}

void TMainLex::AbbreviationsMenuClick()
{
    OpenDocumentOrShow(this, *m_extras, m_services.shell, ShippedDocument::Abbreviations,
                       ShippedDocumentCommand(m_core->Paths(), ShippedDocument::Abbreviations));
}

void TMainLex::BibliographyMenuClick()
{
    OpenDocumentOrShow(this, *m_extras, m_services.shell, ShippedDocument::Bibliography,
                       ShippedDocumentCommand(m_core->Paths(), ShippedDocument::Bibliography));
}

void TMainLex::Help_ButtonClick()
{
    OpenDocumentOrShow(this, *m_extras, m_services.shell, ShippedDocument::Help,
                       ShippedDocumentCommand(m_core->Paths(), ShippedDocument::Help));
}

void TMainLex::Vorantis_LabelClick()
{
    const ProgramCommand command = termdex::Vorantis_LabelClick(m_core->Paths());
    const QString message = QString::fromUtf8(command.failureMessage);
    // The presentation hands its page to the desktop and fails when it cannot.
    auto failedLater = [guard = QPointer<TMainLex>(this), message] {
        if (!guard.isNull())
            ShowProblemMessage(guard.data(), message);
    };
    if (!FileExists(command.program) || m_services.shell == nullptr ||
        !m_services.shell->StartProgram(command.program, command.arguments, failedLater))
        ShowProblemMessage(this, message);
}

// ---- The about window, staying on top ----

void TMainLex::CopyrightLabelClick()
{
    {
        TCopyrightForm about(this, m_services.shell,
                             [paths = m_core->Paths()] { return ReadRightsText(paths); });
        about.exec();
    }
    activateWindow();
    m_entryText->setFocus(Qt::OtherFocusReason);
}

void TMainLex::Pin_ButtonClick()
{
    const bool onTop = windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, !onTop);
    // Changing a window's flags hides it.
    if (shown)
        show();
}

} // namespace termdex
