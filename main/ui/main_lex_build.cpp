// Building the main window: its toolbar, display and hidden controls, and FormCreate.
#include "main/ui/main_lex_window.h"

#include "data/paths.h"
#include "dialogs/pictures.h"
#include "dialogs/text_convert.h"
#include "main/ui/entry_edit.h"
#include "main/ui/headword_list.h"
#include "main/ui/main_lex_design.h"
#include "main/ui/window_extras.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>

#include <system_error>

namespace termdex {

namespace {

// "$00FF8000" and "$00A3FFFF" hold blue, green, red from the high byte down.
const QColor kWindowColour(0x00, 0x80, 0xFF);
const QColor kTransLabelColour(0xFF, 0xFF, 0xA3);

QString PictureResource(const char *name)
{
    return QStringLiteral(":/termdex/pictures/") + QLatin1String(name) + QStringLiteral(".svg");
}

} // namespace

const std::array<HoverGroup, 14> &ToolbarHoverGroups()
{
    static const std::array<HoverGroup, 14> groups = {{
        {{{"Lang_Button", {4, 2, 49, 39}, {3, 1, 51, 41}}}},
        {{{"Prev_Button", {60, 2, 36, 39}, {59, 1, 38, 41}},
          {"PrevMenu_Button", {96, 2, 13, 39}, {97, 1, 15, 41}}}},
        {{{"Next_Button", {108, 2, 36, 39}, {107, 1, 38, 41}},
          {"NextMenu_Button", {144, 2, 13, 39}, {145, 1, 15, 41}}}},
        {{{"Copy_Button", {164, 2, 36, 39}, {163, 1, 38, 41}}}},
        {{{"Paste_Button", {200, 2, 36, 39}, {199, 1, 38, 41}}}},
        {{{"Print_Button", {236, 2, 36, 39}, {235, 1, 38, 41}}}},
        {{{"Search_Button", {278, 2, 36, 39}, {277, 1, 38, 41}}}},
        {{{"DescrSearch_Button", {314, 2, 36, 39}, {313, 1, 38, 41}}}},
        {{{"AutoTranslate_Button", {350, 2, 36, 39}, {349, 1, 38, 41}}}},
        {{{"CustomEntries_Button", {392, 2, 45, 39}, {391, 1, 47, 41}}}},
        {{{"Pinakes_Button", {437, 2, 41, 39}, {436, 1, 43, 41}}}},
        {{{"Help_Button", {478, 2, 38, 39}, {477, 1, 40, 41}}}},
        {{{"Pin_Button", {520, 11, 25, 22}, {519, 10, 27, 24}}}},
        {{{"Exit_Button", {547, 2, 45, 39}, {546, 1, 47, 41}}}},
    }};
    return groups;
}

ToolbarButton *TMainLex::AddToolbarButton(const char *name, const QString &glyph,
                                          const QString &hint, QRect design, int group)
{
    auto *button = new ToolbarButton(glyph, this);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setGeometry(design);
    connect(button, &ToolbarButton::mouseMoved, this,
            [this, group] { HighlightToolbarButton(group); });
    return button;
}

void TMainLex::BuildToolbar()
{
    m_langButton = AddToolbarButton("Lang_Button", PictureResource("lang_en"),
                                    QStringLiteral("Επιλογή Γλώσσας"), {4, 2, 49, 39}, 1);
    m_prevButton = AddToolbarButton("Prev_Button", PictureResource("prev"),
                                    QStringLiteral("Προηγούμενο Λήμμα"), {60, 2, 36, 39}, 2);
    m_prevMenuButton =
        AddToolbarButton("PrevMenu_Button", PictureResource("menu_down"),
                         QStringLiteral("Λίστα Προηγουμένων Λημμάτων"), {96, 2, 13, 39}, 2);
    m_nextButton = AddToolbarButton("Next_Button", PictureResource("next"),
                                    QStringLiteral("Επόμενο Λήμμα"), {108, 2, 36, 39}, 3);
    // The design width of this button and the design size of Pin_Button are smaller than their
    // normal geometry; the first showing gives them the normal one.
    m_nextMenuButton =
        AddToolbarButton("NextMenu_Button", PictureResource("menu_down"),
                         QStringLiteral("Λίστα Επομένων Λημμάτων"), {144, 2, 12, 39}, 3);
    m_copyButton = AddToolbarButton("Copy_Button", PictureResource("copy"),
                                    QStringLiteral("Αντιγραφή"), {164, 2, 36, 39}, 4);
    m_pasteButton = AddToolbarButton("Paste_Button", PictureResource("paste"),
                                     QStringLiteral("Επικόλληση"), {200, 2, 36, 39}, 5);
    m_printButton = AddToolbarButton("Print_Button", PictureResource("print"),
                                     QStringLiteral("Εκτύπωση Λήμματος"), {236, 2, 36, 39}, 6);
    m_searchButton = AddToolbarButton("Search_Button", PictureResource("search"),
                                      QStringLiteral("Αναζητήσεις"), {278, 2, 36, 39}, 7);
    m_descrSearchButton = AddToolbarButton("DescrSearch_Button", PictureResource("descr_search"),
                                           QStringLiteral("Αναζήτηση στο περιεχόμενο του λεξικού"),
                                           {314, 2, 36, 39}, 8);
    m_autoTranslateButton =
        AddToolbarButton("AutoTranslate_Button", PictureResource("auto_translate"),
                         QuickTranslationTooltip("Γρήγορη Μετάφραση"), {350, 2, 36, 39}, 9);
    m_customEntriesButton =
        AddToolbarButton("CustomEntries_Button", PictureResource("custom_entries"),
                         QStringLiteral("Επεξεργασία Λημμάτων"), {392, 2, 45, 39}, 10);
    m_pinakesButton = AddToolbarButton("Pinakes_Button", PictureResource("pinakes"),
                                       QStringLiteral("Πίνακες"), {437, 2, 41, 39}, 11);
    m_helpButton = AddToolbarButton("Help_Button", PictureResource("help"),
                                    QStringLiteral("Βοήθεια"), {478, 2, 38, 39}, 12);
    m_pinButton = AddToolbarButton("Pin_Button", PictureResource("pin"),
                                   QStringLiteral("Παραμονή στην κορυφή"), {520, 11, 23, 21}, 13);
    m_exitButton = AddToolbarButton("Exit_Button", PictureResource("exit"),
                                    QStringLiteral("Εξοδος"), {547, 2, 45, 39}, 14);

    connect(m_langButton, &QAbstractButton::clicked, this, &TMainLex::Lang_ButtonClick);
    connect(m_prevButton, &QAbstractButton::clicked, this, &TMainLex::Prev_ButtonClick);
    connect(m_prevMenuButton, &QAbstractButton::clicked, this, &TMainLex::PrevMenu_ButtonClick);
    connect(m_nextButton, &QAbstractButton::clicked, this, &TMainLex::Next_ButtonClick);
    connect(m_nextMenuButton, &QAbstractButton::clicked, this, &TMainLex::NextMenu_ButtonClick);
    connect(m_copyButton, &QAbstractButton::clicked, this, &TMainLex::Copy_ButtonClick);
    connect(m_pasteButton, &QAbstractButton::clicked, this, &TMainLex::Paste_ButtonClick);
    connect(m_searchButton, &QAbstractButton::clicked, this, &TMainLex::Search_ButtonClick);
    connect(m_descrSearchButton, &QAbstractButton::clicked, this,
            &TMainLex::DescrSearch_ButtonClick);
    connect(m_exitButton, &QAbstractButton::clicked, this, &TMainLex::Exit_ButtonClick);
    BuildToolbarMenus();
}

void TMainLex::BuildToolbarMenus()
{
    m_prevMenu = new QMenu(this);
    m_prevMenu->setObjectName(QStringLiteral("PrevMenu"));
    m_nextMenu = new QMenu(this);
    m_nextMenu->setObjectName(QStringLiteral("NextMenu"));
    // NextMenu also opens at the mouse on a right click of its button.
    m_nextMenuButton->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_nextMenuButton, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (!m_nextMenu->isEmpty())
            m_nextMenu->popup(m_nextMenuButton->mapToGlobal(at));
    });

    // The entry-editing menu; its commands are the reader's own entries.
    m_customEntriesMenu = new QMenu(this);
    m_customEntriesMenu->setObjectName(QStringLiteral("CustomEntriesMenu"));
    auto addItem = [this](const char *name, const QString &caption) {
        QAction *action = m_customEntriesMenu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    addItem("CustomEntriesItem", QStringLiteral("Εμφάνιση Επεξεργασμένων Λημμάτων"));
    addItem("InsertEntryItem", QStringLiteral("Εισαγωγή Νέου Λήμματος"));
    m_modifyEntryItem = addItem("ModifyEntryItem", QStringLiteral("Τροποποίηση Λήμματος"));
    m_deleteEntryItem = addItem("DeleteEntryItem", QStringLiteral("Διαγραφή Λήμματος"));
    // Where the entries are kept, and copies of them that outlive this folder.
    m_customEntriesMenu->addSeparator();
    addItem("CustomFolderItem", QStringLiteral("Φάκελος επεξεργασμένων λημμάτων..."));
    addItem("BackupItem", QStringLiteral("Αντίγραφο ασφαλείας λημμάτων..."));
    addItem("RestoreItem", QStringLiteral("Επαναφορά λημμάτων από αντίγραφο..."));
    addItem("RepairEntriesItem", QStringLiteral("Επιδιόρθωση Επεξεργασμένων Λημμάτων"));
}

void TMainLex::BuildDisplay()
{
    BuildEntryControls();
    BuildDescription();
    BuildBottomBar();

    m_focusRing = new FocusRing(this);
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this] { SurroundFocus(); });

    // Focus tracking for Copy.
    m_entriesList->installEventFilter(this);
    m_descriptionText->installEventFilter(this);
    m_entryText->installEventFilter(this);
    m_descriptionText->viewport()->installEventFilter(this); // the links' clicks
    m_descriptionText->viewport()->setMouseTracking(true);
}

void TMainLex::BuildEntryControls()
{
    m_lineImage = new LineImage(this);
    m_lineImage->setObjectName(QStringLiteral("Line_Image"));
    m_lineImage->setGeometry(0, 43, 596, 3);

    m_panel2 = new QFrame(this);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->setGeometry(4, 49, 230, 35);
    m_panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel2->setLineWidth(1);
    m_panel2->setAutoFillBackground(true);
    ForceColours(*m_panel2, Qt::white, Qt::black); // Entry_Text takes them from its panel

    m_entryText = new EntryEdit(m_panel2);
    m_entryText->setObjectName(QStringLiteral("Entry_Text"));
    m_entryText->setGeometry(8, 5, 215, 24);
    m_entryText->setFrame(false);
    m_entryText->setFont(PixelFont(font(), 16));
    m_entryText->setValidator(new Cp1253Validator(m_entryText));
    // Its hint is kept for assistive tools only: the field shows no tooltip.
    m_entryText->setAccessibleDescription(QStringLiteral("Λήμμα προς Αναζήτηση"));
    m_entryText->SetGreekTyping([this] {
        const MainLexState &state = m_core->State();
        return state.LanguageMode == Language::Greek && state.keyboards.greekLayout == 0;
    });
    connect(m_entryText, &QLineEdit::textChanged, this, &TMainLex::Entry_TextChange);
    connect(m_entryText, &EntryEdit::listKeyPressed, this, &TMainLex::Entry_TextKeyDown);

    m_entriesList = new EntriesListView(this);
    m_entriesList->setObjectName(QStringLiteral("Entries_List"));
    m_entriesList->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_entriesList->setLineWidth(2);
    m_entriesList->setFont(PixelFont(font(), 15));
    m_entriesList->setGeometry(4, 88, 229, 212);
    ForceColours(*m_entriesList, Qt::white, Qt::black);
    m_listModel = new HeadwordListModel(m_entriesList);
    m_entriesList->setModel(m_listModel);
    connect(m_entriesList, &QAbstractItemView::clicked, this, &TMainLex::Entries_ListClick);
    connect(m_entriesList, &EntriesListView::keyboardSelected, this, &TMainLex::Entries_ListClick);
    connect(m_entriesList, &EntriesListView::mouseMoved, this, &TMainLex::Entries_ListMouseMove);
    connect(m_entriesList, &EntriesListView::returnPressed, this, &TMainLex::Entries_ListReturn);
    connect(m_entriesList->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TMainLex::ClearListHoverHint);

    m_suggestionsLabel = new QLabel(this);
    m_suggestionsLabel->setObjectName(QStringLiteral("Suggestions_Label"));
    m_suggestionsLabel->setWordWrap(true);
    m_suggestionsLabel->setTextFormat(Qt::RichText);
    m_suggestionsLabel->setFont(PixelFont(font(), 12));
    m_suggestionsLabel->setAutoFillBackground(true);
    ForceColours(*m_suggestionsLabel, Qt::white, Qt::black);
    m_suggestionsLabel->setContentsMargins(4, 1, 4, 1);
    m_suggestionsLabel->hide();
    connect(m_suggestionsLabel, &QLabel::linkActivated, this, &TMainLex::Suggestions_LabelClick);
}

void TMainLex::BuildDescription()
{
    auto makeLabel = [this](const char *name, QRect geometry, int pixels, const QColor &colour) {
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(geometry);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setWordWrap(true);
        label->setFont(PixelFont(font(), pixels, true));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        palette.setColor(QPalette::Window, kTextPlateColour);
        label->setPalette(palette);
        return label;
    };
    m_entryLabel = makeLabel("Entry_Label", {365, 47, 0, 15}, 12, Qt::white);
    m_transLabel = makeLabel("Trans_Label", {365, 75, 0, 16}, 13, Qt::white);

    m_medicalImage = new SvgPicture(PictureResource("banner"), this);
    m_medicalImage->setObjectName(QStringLiteral("Medical_Image"));
    m_medicalImage->setGeometry(256, 48, kMedicalImageWidth, kMedicalImageHeight);

    m_line2Image = new LineImage(this);
    m_line2Image->setObjectName(QStringLiteral("Line2_Image"));
    m_line2Image->setGeometry(241, 108, 355, 3);

    m_descriptionText = new QTextEdit(this);
    m_descriptionText->setObjectName(QStringLiteral("Description_Text"));
    m_descriptionText->setGeometry(241, 114, 350, 187);
    m_descriptionText->setReadOnly(true);
    m_descriptionText->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                               Qt::TextSelectableByKeyboard);
    m_descriptionText->setFocusPolicy(Qt::StrongFocus);
    m_descriptionText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_descriptionText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_descriptionText->setAccessibleDescription(QStringLiteral("Περιγραφή"));
    m_descriptionText->document()->setDocumentMargin(3);
    ForceColours(*m_descriptionText, Qt::white, Qt::black);
}

void TMainLex::BuildBottomBar()
{
    auto makeBottomLabel = [this](const char *name, const QString &caption, const QString &hint,
                                  QPoint at, bool bold) {
        auto *label = new QLabel(caption, this);
        label->setObjectName(QLatin1String(name));
        label->setToolTip(hint);
        label->setFont(PixelFont(font(), 11, bold));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(palette);
        label->setCursor(Qt::PointingHandCursor);
        label->adjustSize();
        label->move(at);
        return label;
    };
    m_installLabel =
        makeBottomLabel("InstallLabel", QStringLiteral("Εγκατάσταση"),
                        QStringLiteral("Εγκατάσταση Termdex στο σκληρό δίσκο"), {5, 304}, false);
    m_copyrightLabel = makeBottomLabel("CopyrightLabel", QStringLiteral("Copyright ©"),
                                       QStringLiteral("Πληροφορίες Copyright"), {241, 304}, false);
    m_vorantisLabel =
        makeBottomLabel("Vorantis_Label", QStringLiteral("ΕΚΔΟΣΕΙΣ ΒΟΡΑΝΤΗ"),
                        QStringLiteral("Παρουσίαση Εκδόσεων Βοράντη"), {478, 304}, true);
    m_vorantisImage = new SvgPicture(PictureResource("vorantis"), this);
    m_vorantisImage->setObjectName(QStringLiteral("VorantisImage"));
    m_vorantisImage->setGeometry(454, 301, 20, 16);
    m_vorantisImage->setToolTip(QStringLiteral("Παρουσίαση Εκδόσεων Βοράντη"));
    m_vorantisImage->setCursor(Qt::PointingHandCursor);
}

void TMainLex::BuildHiddenControls()
{
    auto store = [this](const char *name, const char *picture) {
        auto *image = new SvgPicture(PictureResource(picture), this);
        image->setObjectName(QLatin1String(name));
        image->hide();
        return image;
    };
    m_grImage = store("GrImage", "lang_gr");
    m_enImage = store("EnImage", "lang_en");
    m_autoTrImage = store("AutoTrImage", "auto_translate");
    m_cancelAutoTrImage = store("CancelAutoTrImage", "cancel_auto_translate");

    m_clipBoardEdit = new QLineEdit(this);
    m_clipBoardEdit->setObjectName(QStringLiteral("ClipBoard_Edit"));
    m_clipBoardEdit->hide();

    // Enter anywhere in the window runs this 1 x 1 button (keyPressEvent).
    m_fillListButton = new QPushButton(this);
    m_fillListButton->setObjectName(QStringLiteral("Fill_List_Button"));
    m_fillListButton->setGeometry(0, 0, 1, 1);
    // Out of the Tab order: a 1 x 1 button cannot show that it holds the focus.
    m_fillListButton->setFocusPolicy(Qt::NoFocus);
    m_fillListButton->lower();
    connect(m_fillListButton, &QPushButton::clicked, this, &TMainLex::Fill_List_ButtonClick);

    m_wholeLexButton = new QPushButton(QStringLiteral("Όλα τα Λήμματα"), this);
    m_wholeLexButton->setObjectName(QStringLiteral("WholeLex_Button"));
    m_wholeLexButton->setFocusPolicy(Qt::NoFocus);
    m_wholeLexButton->hide();
    connect(m_wholeLexButton, &QPushButton::clicked, this, &TMainLex::WholeLex_ButtonClick);
}

void TMainLex::FormCreate(const std::filesystem::path &programFolder)
{
    std::error_code error;
    std::filesystem::current_path(programFolder, error);
    ProgramPaths paths;
    paths.programFolder = programFolder;
    // The core finds the keyboard layouts, sets English and activates its layout.
    m_core = std::make_unique<MainLexCore>(paths, *m_services.fileSystem, m_services.keyboard);
    m_core->UseIndexCache({m_services.user.indexCache});
    m_core->MutablePaths() = StartupPaths(programFolder, m_services.user);

    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kWindowColour);
    setPalette(palette);
    QPalette trans = m_transLabel->palette();
    trans.setColor(QPalette::WindowText, kTransLabelColour);
    m_transLabel->setPalette(trans);
}

} // namespace termdex
