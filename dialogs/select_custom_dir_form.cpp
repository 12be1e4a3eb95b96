#include "dialogs/select_custom_dir_form.h"

#include "dialogs/dialog_layout.h"
#include "dialogs/dialog_pictures.h"
#include "dialogs/pictures.h"
#include "dialogs/plain_message.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QFontInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QStorageInfo>
#include <QTextEdit>
#include <QTreeView>

#include <system_error>

namespace termdex {

namespace {

const char kFormCaption[] = "Επιλογή Φακέλου για Επεξεργασμένα Λήμματα";
const char kCustomCaption[] = "Επιλογή φακέλου για επεξεργασμένα λήμματα";
const char kInstallCaption[] = "Επιλογή φακέλου για εγκατάσταση λεξικού";
const char kNullText[] =
    "Για να επεξεργαστείτε λήμματα στο Termdex πρέπει να ορίσετε στον υπολογιστή σας το φάκελο "
    "μέσα στον οποίο θα αποθηκεύονται οι τροποποιήσεις.\r\n\r\n"
    "Για δική σας ευκολία μπορείτε να κρατήσετε το φάκελο που προτείνεται παρακάτω.";
const char kInvalidText[] =
    "Ο φάκελος που έχει οριστεί για την αποθήκευση των επεξεργασμένων λημμάτων δεν είναι "
    "έγκυρος. Αν υπάρχουν ήδη επεξεργασμένα λήμματα πρέπει να ορίσετε το φάκελο που τα περιέχει "
    "ώστε το λεξικό να τα βρει. Αν δεν υπάρχουν τότε πρέπει να ορίσετε το φάκελο μέσα στον οποίο "
    "θα αποθηκεύονται αυτά που θα δημιουργήσετε.";
const char kChooseText[] =
    "Επιλέξτε το φάκελο μέσα στον οποίο θα αποθηκεύονται τα επεξεργασμένα λήμματα. Ο φάκελος "
    "που χρησιμοποιείται τώρα προτείνεται παρακάτω.\r\n\r\n"
    "Αν ο φάκελος αυτός περιέχει ήδη λήμματα, θα ερωτηθείτε αν θέλετε να μεταφερθούν στο νέο.";
// The first paragraph ends in a blank.
const char kInstallText[] =
    "Παρακαλώ επιλέξτε το φάκελο του δίσκου σας στον οποίο θα εγκατασταθεί το Termdex. Αν "
    "επιθυμείτε να εγκατασταθεί σε νέο φάκελο απλά πληκτρολογήστε τον στο χώρο από κάτω. \r\n\r\n"
    "Η διαδικασία της εγκατάστασης θα δημιουργήσει εικονίδιο για το λεξικό στην επιφάνεια "
    "εργασίας.";

// The memo's text, every paragraph centred; CR LF ends a paragraph.
void SetMemoText(QTextEdit &memo, const char *utf8)
{
    memo.setPlainText(
        QString::fromUtf8(utf8).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QTextCursor all(memo.document());
    all.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    all.mergeBlockFormat(centred);
    // The texts fill the memo in the font they were written for; a larger desktop font is made
    // smaller until the whole text shows, as the editor's labels are.
    QFont font = memo.font();
    if (font.pixelSize() <= 0)
        font.setPixelSize(QFontInfo(font).pixelSize());
    QTextDocument &document = *memo.document();
    document.setTextWidth(memo.width());
    for (document.setDefaultFont(font);
         document.size().height() > memo.height() && font.pixelSize() > 8;
         document.setDefaultFont(font))
        font.setPixelSize(font.pixelSize() - 1);
}

} // namespace

TSelectCustomDirForm::TSelectCustomDirForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TSelectCustomDirForm"));
    SetFixedDialog(*this, QString::fromUtf8(kFormCaption), 477, 232);

    m_image1 = new SvgPicture(DialogPicture("folder_custom"), this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(8, 16, 41, 33);
    m_image2 = new SvgPicture(DialogPicture("folder_install"), this);
    m_image2->setObjectName(QStringLiteral("Image2"));
    m_image2->setGeometry(8, 16, 49, 49);
    m_image2->hide();

    m_msgMemo = new QTextEdit(this);
    m_msgMemo->setObjectName(QStringLiteral("MsgMemo"));
    m_msgMemo->setGeometry(48, 16, 233, 129);
    m_msgMemo->setReadOnly(true);
    m_msgMemo->setFrameShape(QFrame::NoFrame);
    m_msgMemo->setFocusPolicy(Qt::NoFocus);
    m_msgMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The longest text (the installer's) fills the memo to its last line.
    m_msgMemo->document()->setDocumentMargin(1);
    QPalette face = m_msgMemo->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    m_msgMemo->setPalette(face);

    m_label1 = PlaceLabel(this, "Label1", QStringLiteral("Φάκελος"), 8, 152);
    m_dirEdit = new QLineEdit(this);
    m_dirEdit->setObjectName(QStringLiteral("Dir_Edit"));
    m_dirEdit->setGeometry(64, 152, 209, 21);

    m_bitBtn1 = PlaceButton(this, "BitBtn1", QStringLiteral("OK"), 128, 192);
    m_bitBtn1->resize(105, 25);
    m_bitBtn1->setIcon(SvgIcon(DialogPicture("glyph_ok")));
    m_bitBtn1->setDefault(true);
    m_bitBtn2 = PlaceButton(this, "BitBtn2", QStringLiteral("Άκυρο"), 256, 192);
    m_bitBtn2->resize(105, 25);
    m_bitBtn2->setIcon(SvgIcon(DialogPicture("glyph_cancel")));

    m_driveComboBox1 = new QComboBox(this);
    m_driveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    m_driveComboBox1->setGeometry(288, 152, 177, 21);

    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setReadOnly(true);
    m_directoryListBox1 = new QTreeView(this);
    m_directoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_directoryListBox1->setGeometry(288, 17, 177, 128);
    m_directoryListBox1->setModel(m_folders);
    m_directoryListBox1->setHeaderHidden(true);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        m_directoryListBox1->hideColumn(column);

    connect(m_bitBtn1, &QPushButton::clicked, this, &TSelectCustomDirForm::BitBtn1Click);
    connect(m_bitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_driveComboBox1, &QComboBox::activated, this,
            &TSelectCustomDirForm::DriveComboBox1Change);
    connect(m_directoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    ChangeDirectory(m_folders->filePath(current));
            });

    setTabOrder(m_dirEdit, m_bitBtn1);
    setTabOrder(m_bitBtn1, m_bitBtn2);
    setTabOrder(m_bitBtn2, m_driveComboBox1);
    setTabOrder(m_driveComboBox1, m_directoryListBox1);
}

void TSelectCustomDirForm::SetInstallFiles(std::function<bool(const std::string &)> install)
{
    m_installFiles = std::move(install);
}

QString TSelectCustomDirForm::Folder() const { return m_dirEdit->text(); }

QStringList TSelectCustomDirForm::Volumes()
{
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    }
    const QString home = HomeVolume();
    if (!roots.contains(home))
        roots << home;
    roots.sort();
    return roots;
}

QString TSelectCustomDirForm::HomeVolume()
{
    const QStorageInfo volume(QDir::homePath());
    return volume.isValid() ? volume.rootPath() : QDir::rootPath();
}

void TSelectCustomDirForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TSelectCustomDirForm::FormShow()
{
    const bool install = m_folderMode == QLatin1String(kFolderModeInstall);
    if (m_folderMode == QLatin1String(kFolderModeNull) ||
        m_folderMode == QLatin1String(kFolderModeInvalid) ||
        m_folderMode == QLatin1String(kFolderModeChoose) || install) {
        setWindowTitle(QString::fromUtf8(install ? kInstallCaption : kCustomCaption));
        m_image1->setVisible(!install);
        m_image2->setVisible(install);
        SetMemoText(*m_msgMemo, install                                            ? kInstallText
                                : m_folderMode == QLatin1String(kFolderModeNull)   ? kNullText
                                : m_folderMode == QLatin1String(kFolderModeChoose) ? kChooseText
                                                                                   : kInvalidText);
    }

    // Drive C, then the default folder: the list's change sets the field, the default wins.
    m_driveComboBox1->clear();
    m_driveComboBox1->addItems(Volumes());
    const int driveC = m_driveComboBox1->findText(HomeVolume());
    m_driveComboBox1->setCurrentIndex(driveC);
    DriveComboBox1Change(driveC);
    m_dirEdit->setText(QDir::toNativeSeparators(m_defaultFolder));
    m_dirEdit->setFocus(Qt::OtherFocusReason);
}

void TSelectCustomDirForm::DriveComboBox1Change(int index)
{
    const QString root = m_driveComboBox1->itemText(index);
    if (root.isEmpty())
        return;
    m_directoryListBox1->setRootIndex(m_folders->setRootPath(root));
    m_directoryListBox1->selectionModel()->clear();
    ChangeDirectory(root);
}

void TSelectCustomDirForm::ChangeDirectory(const QString &folder)
{
    m_directory = folder;
    QDir::setCurrent(folder);
    DirectoryListBox1Change();
}

void TSelectCustomDirForm::DirectoryListBox1Change()
{
    m_dirEdit->setText(QDir::toNativeSeparators(m_directory));
}

void TSelectCustomDirForm::BitBtn1Click()
{
    QString folder = m_dirEdit->text();
    // The callers treat an empty folder as no choice.
    if (folder.isEmpty()) {
        accept();
        return;
    }
    // A relative folder would be stored as typed and later be looked for beside the program,
    // not where the browsing left the current folder: it is made absolute here.
    if (QDir::isRelativePath(folder)) {
        folder = QDir::cleanPath(QDir::current().absoluteFilePath(folder));
        m_dirEdit->setText(folder);
    }
    const std::string path = QFile::encodeName(folder).toStdString();
    if (!CreateCustomDataFolder(path)) {
        ShowPlainMessage(this, QString::fromUtf8(kMessageFolderCreateFailed));
        return;
    }
    if (m_folderMode == QLatin1String(kFolderModeInstall) && m_installFiles) {
        if (m_installFiles(path))
            accept();
        else
            reject();
        return;
    }
    accept();
}

SelectCustomDirDialog::SelectCustomDirDialog(QWidget *parent, std::filesystem::path programFolder)
    : m_parent(parent), m_programFolder(std::move(programFolder))
{
}

FolderAnswer SelectCustomDirDialog::Ask(const FolderRequest &request)
{
    TSelectCustomDirForm form(m_parent);
    form.SetFolderMode(QString::fromStdString(request.mode));
    if (!request.defaultFolder.empty())
        form.SetDefaultFolder(QFile::decodeName(request.defaultFolder.c_str()));
    form.SetInstallFiles(request.install);
    int result = QDialog::Rejected;
    {
        DialogCursor cursor;
        result = form.exec();
    }
    if (m_parent != nullptr)
        m_parent->activateWindow();
    FolderAnswer answer;
    answer.accepted = result == QDialog::Accepted;
    answer.folder = QFile::encodeName(form.Folder()).toStdString();
    // The folder list moved the current folder; the shipped data is opened relative to the
    // program folder.
    std::error_code error;
    if (!m_programFolder.empty())
        std::filesystem::current_path(m_programFolder, error);
    return answer;
}

} // namespace termdex
