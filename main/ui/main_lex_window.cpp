#include "main/ui/main_lex_window.h"

#include "custom/ui/custom_entries_ui.h"
#include "data/paths.h"
#include "dialogs/message_form.h"
#include "dialogs/search_form.h"
#include "install/installer.h"
#include "main/ui/description_marks.h"
#include "main/ui/entry_edit.h"
#include "main/ui/headword_list.h"
#include "main/ui/pictures.h"
#include "main/ui/text_convert.h"
#include "main/ui/window_extras.h"
#include "richtext/qt/rtf_writer.h"
#include "richtext/qt/text_document_sink.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>
#include <QToolTip>

#include <atomic>
#include <system_error>

namespace termdex {

namespace {

// The design client size; the anchored controls keep their distances to its edges.
constexpr QSize kDesignSize(595, 321);
constexpr QSize kMinimumSize(244, 170);
constexpr int kMedicalImageWidth = 329;
constexpr int kMedicalImageHeight = 57;
constexpr int kListHintMilliseconds = 10000;

// "$00FF8000" and "$00A3FFFF" hold blue, green, red from the high byte down.
const QColor kWindowColour(0x00, 0x80, 0xFF);
const QColor kTransLabelColour(0xFF, 0xFF, 0xA3);
// The texts on the window's colour stand on this darker blue: white on the window's own blue
// reaches only 3.8:1, on this one 6.1:1 (and the rendering's yellow 5.8:1).
const QColor kTextPlateColour(0x00, 0x60, 0xC0);

QString PictureResource(const char *name)
{
    return QStringLiteral(":/termdex/pictures/") + QLatin1String(name) + QStringLiteral(".svg");
}

// The hourglass for one long operation, put back on every path.
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// A menu caption shown exactly as stored: "&" is no mnemonic.
QString MenuCaption(const Cp1253 &caption)
{
    return ToQString(caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QFont PixelFont(const QFont &base, int pixels, bool bold = false)
{
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
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

TMainLex::TMainLex(PlatformServices services, std::filesystem::path programFolder, QWidget *parent)
    : QWidget(parent), m_services(services), m_programFolder(std::move(programFolder))
{
    setObjectName(QStringLiteral("TMainLex"));
    setWindowTitle(QStringLiteral("Termdex"));
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

// ---- Building the window ----

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
        return state.LanguageMode && state.keyboards.greekLayout == 0;
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

    m_focusRing = new FocusRing(this);
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this] { SurroundFocus(); });

    // Focus tracking for Copy.
    m_entriesList->installEventFilter(this);
    m_descriptionText->installEventFilter(this);
    m_entryText->installEventFilter(this);
    m_descriptionText->viewport()->installEventFilter(this); // the links' clicks
    m_descriptionText->viewport()->setMouseTracking(true);
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

    // Controls of the maintenance commands, which the command line runs here.
    for (const char *name : {"Button1", "Button2", "Button3"}) {
        auto *button = new QPushButton(this);
        button->setObjectName(QLatin1String(name));
        button->hide();
    }
    auto *panel1 = new QFrame(this);
    panel1->setObjectName(QStringLiteral("Panel1"));
    panel1->hide();
}

// ---- FormCreate, FormShow, FormResize ----

void TMainLex::FormCreate(const std::filesystem::path &programFolder)
{
    std::error_code error;
    std::filesystem::current_path(programFolder, error);
    ProgramPaths paths;
    paths.programFolder = programFolder;
    // The core finds the keyboard layouts, sets English and activates its layout.
    m_core = std::make_unique<MainLexCore>(paths, m_services.keyboard);
    m_core->UseIndexCache({DefaultIndexCacheFolder()});
    m_core->MutablePaths() = StartupPaths(programFolder);

    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kWindowColour);
    setPalette(palette);
    QPalette trans = m_transLabel->palette();
    trans.setColor(QPalette::WindowText, kTransLabelColour);
    m_transLabel->setPalette(trans);
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
    setWindowTitle(QStringLiteral("Termdex"));
    HighlightToolbarButton(-1);
    if (!m_formShown) {
        m_formShown = true;
        if (const QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
    resize(m_exitButton->x() + m_exitButton->width() + 12, height());
    m_canvasFont = m_entriesList->font();
    {
        BusyCursor busy;
        m_core->FormShow();
    }
    Mirror();
    m_entryText->setFocus(Qt::OtherFocusReason);
    // A program that runs from a writable disk has been installed: no install offer. Nor has
    // one the package manager installed, whose program file lies elsewhere.
    if (IsSystemProgramFolder(m_programFolder) ||
        (m_services.files != nullptr &&
         !InstallOffered(m_services.files->IsReadOnly(m_programFolder / kProgramFileName)))) {
        m_installLabel->hide();
        m_copyrightLeft = 5;
        FormResize();
    }
}

void TMainLex::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(0, m_bottomBarTop, width(), height() - m_bottomBarTop, kTextPlateColour);
}

void TMainLex::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

QRect TMainLex::LayOut()
{
    // Below the minimum size (a window manager may not enforce it) the window clips the
    // layout of the minimum size rather than pile controls onto each other.
    const QSize client = size().expandedTo(kMinimumSize);
    const int dx = client.width() - kDesignSize.width();
    const int dy = client.height() - kDesignSize.height();
    m_lineImage->setGeometry(0, 43, std::max(0, 596 + dx), 3);
    m_line2Image->setGeometry(241, 108, std::max(0, 355 + dx), 3);
    // The list follows the bottom edge and shows whole items only.
    m_entriesList->setGeometry(4, 88, 229, m_entriesList->IntegralHeight(std::max(0, 212 + dy)));
    m_suggestionSpace = 0;
    LayOutSuggestions();

    const int bottomTop = 304 + dy;
    m_bottomBarTop = bottomTop - 3;
    m_installLabel->move(5, bottomTop);
    m_copyrightLabel->move(m_copyrightLeft, bottomTop);
    PlacePublisher(client.width(), bottomTop);
    // The description follows all four edges; FormResize fits it to the list and the right
    // edge before placing it, so that its text is laid out once.
    return {241, 114, std::max(0, 350 + dx), std::max(0, 187 + dy)};
}

void TMainLex::PlacePublisher(int width, int bottomTop)
{
    // The label keeps its design place at the shown design width and follows the right edge,
    // never closer to it than the margin; the picture stands 24 pixels before it.
    constexpr int kShownDesignWidth = 604, kLabelLeft = 478, kPictureGap = 24, kMargin = 6;
    const int labelWidth = m_vorantisLabel->width();
    int left = std::min(kLabelLeft + width - kShownDesignWidth, width - kMargin - labelWidth);
    // In a narrow window the pair stops beside the other bottom labels and is clipped instead.
    int clear = 0;
    for (const QLabel *label : {m_installLabel, m_copyrightLabel})
        if (!label->isHidden())
            clear = std::max(clear, label->x() + label->width() + kMargin);
    left = std::max(left, clear + kPictureGap);
    m_vorantisLabel->move(left, bottomTop);
    m_vorantisImage->move(left - kPictureGap, bottomTop - 3);
}

void TMainLex::FormResize()
{
    QRect description = LayOut();
    const int listBottom = m_entriesList->y() + m_entriesList->height();
    if (description.y() + description.height() != listBottom)
        description.setHeight(std::max(0, listBottom - description.y()));
    const int windowWidth = std::max(width(), kMinimumSize.width());
    if (description.x() < windowWidth && description.x() + description.width() > windowWidth - 20)
        description.setWidth(std::max(0, windowWidth - description.x() - 15));
    m_descriptionText->setGeometry(description);
    m_core->SetDescriptionAreaShown(DescriptionAreaShown());
    if (!m_medicalImage->isHidden())
        CentreMedicalImage();
    m_canvasFont = m_entryLabel->font();
    FitEntryLabels();
    SurroundFocus();
}

void TMainLex::SurroundFocus()
{
    QWidget *focus = QApplication::focusWidget();
    QWidget *target = nullptr;
    if (focus == m_entryText)
        target = m_panel2; // the field has no frame of its own
    else if (focus == m_entriesList || focus == m_descriptionText)
        target = focus;
    m_focusRing->Surround(target);
}

bool TMainLex::DescriptionAreaShown() const
{
    return m_descriptionText->width() > 0 && m_descriptionText->height() > 0;
}

void TMainLex::CentreMedicalImage()
{
    // Integer division truncates toward zero, as the image's place always has. A description
    // narrower than the banner clips it to its own column, off the entry field and the list.
    const int column = m_descriptionText->x();
    const int left = column + (m_descriptionText->width() - kMedicalImageWidth) / 2;
    QRect banner(left, m_medicalImage->y(), kMedicalImageWidth, kMedicalImageHeight);
    banner &= QRect(column, banner.y(), m_descriptionText->width(), banner.height());
    m_medicalImage->setGeometry(banner.isEmpty() ? QRect(column, banner.y(), 0, 0) : banner);
}

void TMainLex::ResetDisplay()
{
    m_core->ResetDisplay();
    Mirror();
}

void TMainLex::FitEntryLabels()
{
    const int left = m_descriptionText->x();
    const int width = m_descriptionText->width();
    m_entryLabel->setGeometry(left, m_entryLabel->y(), width, 28);
    m_transLabel->setGeometry(left, m_transLabel->y(), width, 32);
}

// ---- Mirroring the core ----

void TMainLex::Mirror()
{
    const MainLexState &state = m_core->State();
    m_mirroring = true;

    if (ToCp1253(m_entryText->text()) != state.entryText)
        m_entryText->setText(ToQString(state.entryText));

    // A new list takes the old one's tooltip with it, shown or not.
    if (m_listModel->SetItems(state.listItems)) {
        m_entriesList->setToolTip(QString());
        if (QToolTip::isVisible())
            QToolTip::hideText();
    }
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

    const QString langGlyph = state.LanguageMode ? m_grImage->Resource() : m_enImage->Resource();
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
        line += QStringLiteral("<a href=\"%1\">%2</a>")
                    .arg(s.record)
                    .arg(ToQString(s.text).toHtmlEscaped());
    }
    if (line != m_suggestionsLabel->text())
        m_suggestionsLabel->setText(line);
    m_suggestionsLabel->setVisible(!line.isEmpty());
    LayOutSuggestions();
}

void TMainLex::LayOutSuggestions()
{
    // The line sits between the entry field's panel and the list, which gives up whole items
    // at its top for it (so it still shows whole items); its bottom stays where the window's
    // layout put it.
    if (m_suggestionsLabel == nullptr)
        return;
    QRect list = m_entriesList->geometry();
    int wanted = 0;
    if (!m_suggestionsLabel->text().isEmpty() && m_suggestionsLabel->isVisibleTo(this)) {
        const int height = std::max(m_suggestionsLabel->heightForWidth(list.width()), 16) + 2;
        wanted = (height + kListItemHeight - 1) / kListItemHeight * kListItemHeight;
        const int room = (list.height() + m_suggestionSpace) / kListItemHeight * kListItemHeight;
        wanted = std::min(wanted, room);
    }
    if (wanted != m_suggestionSpace) {
        list.setTop(list.top() + wanted - m_suggestionSpace);
        m_suggestionSpace = wanted;
        m_entriesList->setGeometry(list);
    }
    m_suggestionsLabel->setGeometry(list.x(), list.top() - wanted, list.width(),
                                    std::max(0, wanted - 2));
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

// ---- Toolbar hover ----

void TMainLex::HighlightToolbarButton(int index)
{
    const auto &groups = ToolbarHoverGroups();
    for (int g = 1; g <= static_cast<int>(groups.size()); ++g) {
        const HoverGroup &group = groups[static_cast<size_t>(g - 1)];
        auto *lead = findChild<QWidget *>(QLatin1String(group.buttons.front().name),
                                          Qt::FindDirectChildrenOnly);
        if (lead == nullptr)
            continue;
        const int top = lead->y();
        if (g == index) {
            if (top != group.buttons.front().normal.top())
                continue; // already raised, or placed elsewhere
            for (const HoverGroupButton &b : group.buttons) {
                auto *button =
                    findChild<QWidget *>(QLatin1String(b.name), Qt::FindDirectChildrenOnly);
                button->setGeometry(b.raised);
                button->raise();
            }
        } else if (top == group.buttons.front().raised.top() || index == -1) {
            for (const HoverGroupButton &b : group.buttons) {
                auto *button =
                    findChild<QWidget *>(QLatin1String(b.name), Qt::FindDirectChildrenOnly);
                button->setGeometry(b.normal);
                if (g == 1)
                    button->raise();
            }
        }
    }
}

void TMainLex::mouseMoveEvent(QMouseEvent *event)
{
    // FormMouseMove: only the window's background reports here; the labels, the description
    // and the entry field report no movement.
    if (event->buttons() == Qt::NoButton && childAt(event->position().toPoint()) == nullptr)
        HighlightToolbarButton(0);
    QWidget::mouseMoveEvent(event);
}

// ---- The headword list ----

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
    {
        BusyCursor busy;
        m_core->Entry_TextChange(ToCp1253(text));
    }
    Mirror();
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
    {
        BusyCursor busy;
        m_core->Fill_List_ButtonClick();
    }
    Mirror();
}

void TMainLex::WholeLex_ButtonClick()
{
    m_fillListButton->setFocus(Qt::OtherFocusReason);
    {
        BusyCursor busy;
        m_core->WholeLex_ButtonClick();
    }
    Mirror();
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

// ---- Language ----

void TMainLex::Lang_ButtonClick()
{
    m_entryText->setFocus(Qt::OtherFocusReason);
    {
        BusyCursor busy;
        m_core->Lang_ButtonClick();
    }
    Mirror();
}

// ---- History ----

void TMainLex::Prev_ButtonClick()
{
    {
        BusyCursor busy;
        m_core->Prev_ButtonClick();
    }
    Mirror();
    FitEntryLabels();
}

void TMainLex::Next_ButtonClick()
{
    {
        BusyCursor busy;
        m_core->Next_ButtonClick();
    }
    Mirror();
    FitEntryLabels();
}

void TMainLex::PrevMenuClick(int index)
{
    {
        BusyCursor busy;
        m_core->PrevMenuClick(index);
    }
    Mirror();
    FitEntryLabels();
}

void TMainLex::NextMenuClick(int index)
{
    {
        BusyCursor busy;
        m_core->NextMenuClick(index);
    }
    Mirror();
    FitEntryLabels();
}

void TMainLex::PrevMenu_ButtonClick()
{
    if (m_prevMenu->isEmpty())
        return; // an empty pop-up would hold the menu open unseen
    m_prevMenu->hide();
    const auto at = MainLexCore::PrevMenu_ButtonClick(x(), y(), m_prevButton->x(),
                                                      m_prevButton->y(), m_prevButton->height());
    m_prevMenu->popup(QPoint(at.x, at.y));
}

void TMainLex::NextMenu_ButtonClick()
{
    if (m_nextMenu->isEmpty())
        return;
    m_nextMenu->hide();
    const auto at = MainLexCore::NextMenu_ButtonClick(x(), y(), m_nextButton->x(),
                                                      m_nextButton->y(), m_nextButton->height());
    m_nextMenu->popup(QPoint(at.x, at.y));
}

// ---- Search dialogs ----

void TMainLex::Search_ButtonClick()
{
    TSearchForm dialog(this);
    dialog.exec();
    activateWindow();
    if (const std::optional<SearchCriteria> criteria = dialog.Criteria()) {
        BusyCursor busy;
        m_core->Search_ButtonClick(criteria);
    }
    Mirror();
    m_entryText->setFocus(Qt::OtherFocusReason);
}

void TMainLex::DescrSearch_ButtonClick()
{
    TMessageForm dialog(this);
    dialog.exec();
    activateWindow();
    const std::optional<Cp1253> word = dialog.Word();
    if (!word) {
        m_core->DescrSearch_ButtonClick(std::nullopt);
    } else {
        BusyCursor busy;
        // A search that runs longer than the delay shows its progress and can be cancelled; the
        // entries found up to a cancel stay listed.
        std::atomic<bool> cancel{false};
        QPointer<QProgressDialog> progress;
        QElapsedTimer clock;
        clock.start();
        DescrSearchOptions options;
        options.cancel = &cancel;
        options.threads = m_searchThreads;
        options.progress = [&](int scanned, int total) {
            if (progress.isNull() && clock.elapsed() >= m_searchProgressDelay) {
                progress = new QProgressDialog(QStringLiteral("Αναζήτηση στις Ερμηνείες…"),
                                               QStringLiteral("Άκυρο"), 0, total, this);
                progress->setObjectName(QStringLiteral("DescrSearch_Progress"));
                progress->setWindowTitle(QStringLiteral("Termdex"));
                // Modal for the whole program: while the search lets events through, the reader
                // can only cancel it.
                progress->setWindowModality(Qt::ApplicationModal);
                progress->setMinimumDuration(0);
                progress->setAutoClose(false);
                progress->setAutoReset(false);
                connect(progress, &QProgressDialog::canceled, this, [&cancel] { cancel = true; });
                progress->show();
            }
            if (!progress.isNull()) {
                progress->setValue(scanned);
                QCoreApplication::processEvents();
            }
        };
        m_core->DescrSearch_ButtonClick(word, options);
        delete progress.data();
    }
    Mirror();
    m_entryText->setFocus(Qt::OtherFocusReason);
}

// ---- Focus, copy and paste ----

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
        pasted = QString::fromStdString(m_services.clipboard->Text());
    // A single-line field takes the first line.
    pasted = pasted.section(QLatin1Char('\n'), 0, 0);
    if (pasted.endsWith(QLatin1Char('\r')))
        pasted.chop(1);
    {
        BusyCursor busy;
        m_core->Paste_ButtonClick(ToCp1253(pasted));
    }
    Mirror();
    FitEntryLabels();
    if (m_entryText->hasFocus())
        Entry_TextEnter();
    else
        m_entryText->setFocus(Qt::OtherFocusReason);
}

void TMainLex::Exit_ButtonClick() { close(); }

} // namespace termdex
