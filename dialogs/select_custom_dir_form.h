// TSelectCustomDirForm: the folder dialog of the reader's entries ("NULL", "INVALID") and of the
// installer ("INSTALL"). The reader picks a volume and a folder, or types one that does not
// exist yet; OK creates it with its Data subfolder. SelectCustomDirDialog is the dialog behind
// the core's FolderDialog seam: one form per question, the current folder put back after it.
#pragma once

#include "custom/custom_folder.h"

#include <QDialog>
#include <QString>

#include <filesystem>
#include <functional>
#include <string>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;
class QTreeView;

namespace termdex {

class SvgPicture;

class TSelectCustomDirForm final : public QDialog
{
    Q_OBJECT
public:
    explicit TSelectCustomDirForm(QWidget *parent = nullptr);

    // Set before showing. FolderMode "NULL", "INVALID" or "INSTALL"; any other mode keeps the
    // form's own caption, pictures and text.
    void SetFolderMode(const QString &mode) { m_folderMode = mode; }
    QString FolderMode() const { return m_folderMode; }
    // Prefilled on showing (the caller passes DefaultCustomFolder's answer); empty unless set.
    void SetDefaultFolder(const QString &folder) { m_defaultFolder = folder; }
    // The INSTALL mode's Install_Files: OK runs it once the folder exists; without one, OK
    // closes as in the other modes.
    void SetInstallFiles(std::function<bool(const std::string &folder)> install);
    // Dir_Edit's text (after OK: the folder, made absolute).
    QString Folder() const;

    // The volumes the drive list offers, and the one that stands for drive C: the volume of
    // the home folder.
    static QStringList Volumes();
    static QString HomeVolume();

public slots:
    // The caption, picture and text of the mode; drive C selected; the default folder
    // prefilled; the focus in Dir_Edit. Runs on every showing.
    void FormShow();
    // Dir_Edit takes the folder selected in the tree.
    void DirectoryListBox1Change();
    // OK: creates the folder with its Data subfolder and closes, or says it could not and stays.
    void BitBtn1Click();
    // The tree browses the volume chosen in the drive list.
    void DriveComboBox1Change(int index);

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The folder the tree stands on changes: as the platform's folder list did, it becomes the
    // process's current folder (the callers put the program folder back).
    void ChangeDirectory(const QString &folder);

    QString m_folderMode;
    QString m_defaultFolder;
    std::function<bool(const std::string &)> m_installFiles;
    QString m_directory;

    SvgPicture *m_image1;
    SvgPicture *m_image2;
    QTextEdit *m_msgMemo;
    QLabel *m_label1;
    QLineEdit *m_dirEdit;
    QPushButton *m_bitBtn1;
    QPushButton *m_bitBtn2;
    QComboBox *m_driveComboBox1;
    QTreeView *m_directoryListBox1;
    QFileSystemModel *m_folders;
};

// The FolderDialog seam over TSelectCustomDirForm, for the custom folder and the installer.
class SelectCustomDirDialog final : public FolderDialog
{
public:
    // parent: the main window, centred over and given the focus back; programFolder: made the
    // current folder again after every question.
    SelectCustomDirDialog(QWidget *parent, std::filesystem::path programFolder);
    FolderAnswer Ask(const FolderRequest &request) override;

private:
    QWidget *m_parent;
    std::filesystem::path m_programFolder;
};

} // namespace termdex
