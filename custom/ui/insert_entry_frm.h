// TInsertEntryFrm: the entry editor of the insert and modify commands. It shows what the core's
// FormShow decided (EditorRequest), checks the reader's OK with the core's validation, and hands
// the three texts back (EditorAnswer); it writes no file. InsertEntryEditor is the core's
// EntryEditor seam over it: one form per command.
#pragma once

#include "custom/edit_commands.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace termdex {

class TInsertEntryFrm final : public QDialog
{
    Q_OBJECT
public:
    explicit TInsertEntryFrm(QWidget *parent = nullptr);

    // What the next showing presents (the insert request until set).
    void SetRequest(const EditorRequest &request) { m_request = request; }
    // After OK: accepted with the three texts (code page 1253, the description's line breaks CR
    // LF); otherwise not accepted.
    EditorAnswer Answer() const { return m_answer; }

    // The three texts as they stand.
    EntryTexts Typed() const;

public slots:
    // Colours, then the mode: insert clears the fields; update fills them, greys the headwords
    // of a shipped entry and retitles the form and its OK button. Runs on every showing.
    void FormShow();
    // Validation: a message keeps the form open; otherwise the texts are handed over and the
    // form closes with OK.
    void InsertOk_ButtonClick();
    // Clears the three fields and closes with cancel (also Esc).
    void InsertCancel_ButtonClick();
    // Every cancel of the dialog is the cancel button's.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Takes out of the description what code page 1253 cannot hold, as the headwords refuse it.
    void KeepDescriptionInCodePage();

    EditorRequest m_request;
    EditorAnswer m_answer;
    bool m_filtering = false;

    QLabel *m_label1;
    QLabel *m_label3;
    QLabel *m_label2;
    QLineEdit *m_insertEntryText;
    QLineEdit *m_insertEntryTrans;
    QPlainTextEdit *m_insertEntryDescr;
    QPushButton *m_insertCancelButton;
    QPushButton *m_insertOkButton;
};

// The EntryEditor seam: TInsertEntryFrm shown modally over parent, which gets the focus back.
class InsertEntryEditor final : public EntryEditor
{
public:
    explicit InsertEntryEditor(QWidget *parent) : m_parent(parent) {}
    EditorAnswer Show(const EditorRequest &request) override;

private:
    QWidget *m_parent;
};

} // namespace termdex
