#include "custom/edit_commands.h"

#include "lib/cp1253.h"

namespace termdex {

const char kMessageEnglishMissing[] = "Πρέπει να συμπληρωθεί το Αγγλικό Λήμμα";
const char kMessageGreekOrDescrMissing[] = "Πρέπει να συμπληρωθεί το Ελληνικό Λήμμα ή η Περιγραφή";
const char kEditorInsertCaption[] = "Εισαγωγή Νέου Λήμματος";
const char kEditorUpdateCaption[] = "Τροποποίηση Λήμματος";
const char kDeleteQuestion[] = "Να διαγραφεί το Λήμμα;";
const char kDeleteCaption[] = "Επιβεβαίωση Διαγραφής";

namespace {

// The line the display puts before the reader's supplement (20 characters).
const Cp1253 &SupplementMarker()
{
    static const Cp1253 marker = Utf8ToCp1253("Συμπλήρωση δική σας:").text.value_or("");
    return marker;
}

} // namespace

EditorRequest InsertEntryFrmShow(EditMode mode, char editKind, const EntryTexts &updateBuffer)
{
    EditorRequest request;
    request.mode = mode;
    request.editKind = editKind;
    request.caption = kEditorInsertCaption;
    request.okCaption = "Εισαγωγή";
    if (mode == EditMode::Update) {
        // The headwords of a shipped entry cannot be changed.
        if (editKind == 'A' || editKind == 'L') {
            request.headwordsEnabled = false;
            request.focusDescription = true;
        }
        request.texts = updateBuffer;
        request.caption = kEditorUpdateCaption;
        request.okCaption = "Ok";
    }
    return request;
}

std::optional<std::string> InsertOk_ButtonClick(const EntryTexts &typed, EditMode mode,
                                                char editKind)
{
    if (typed.english.empty())
        return kMessageEnglishMissing;
    if (typed.greek.empty() && typed.description.empty())
        return kMessageGreekOrDescrMissing;
    return RefuseEntryTexts(typed, mode == EditMode::Insert ? 'C' : editKind);
}

// The text as the reader typed it, from the text the display shows: the display adds its
// closing paragraphs (and, after a supplement, a separating blank), and the stored form writes
// each line break as " \par ", whose blank shows before the break. Undoing exactly these lets a
// modify that changes nothing store the same bytes again instead of growing the text each time.
static Cp1253 EditableText(Cp1253View shown, bool afterSupplement)
{
    constexpr std::string_view closing = "\r\n\r\n";
    if (shown.size() >= closing.size() && shown.substr(shown.size() - closing.size()) == closing)
        shown.remove_suffix(closing.size());
    if (afterSupplement && !shown.empty() && shown.back() == ' ')
        shown.remove_suffix(1);
    Cp1253 text;
    text.reserve(shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == ' ' && shown.substr(i + 1, 2) == "\r\n")
            continue;
        text += shown[i];
    }
    return text;
}

EntryTexts ModifyPrefill(const MainLexState &state, char kind, const Cp1253 &previous)
{
    EntryTexts texts;
    const int item = state.itemIndex;
    if (item < 0 || static_cast<size_t>(item) >= state.listItems.size())
        return texts;
    Cp1253 itemText = state.listItems[static_cast<size_t>(item)];
    if (kind == 'C' && itemText.size() >= 2 && itemText.compare(itemText.size() - 2, 2, " *") == 0)
        itemText.resize(itemText.size() - 2);
    texts.english = state.LanguageMode ? state.transLabel : itemText;
    texts.greek = state.LanguageMode ? itemText : state.transLabel;

    const Cp1253 &plain = state.descriptionText;
    if (kind == 'C') {
        texts.description = EditableText(TrimLeft(plain), false);
    } else if (kind == 'A') {
        // The supplement starts after the marker and the line break that ends its line. The
        // place is the marker's own: an underscore in the shipped text above it must not
        // move the cut into the shipped text.
        const size_t marker = plain.find(SupplementMarker());
        if (marker == Cp1253::npos) {
            texts.description = previous;
        } else {
            const size_t start = marker + SupplementMarker().size() + 1;
            texts.description =
                start < plain.size() ? EditableText(TrimLeft(plain.substr(start)), true)
                                     : Cp1253();
        }
    }
    return texts;
}

CustomEntryCommands::CustomEntryCommands(MainLexCore &core, FolderDialog &folderDialog,
                                         EntryEditor &editor, DeleteConfirmation &confirmation,
                                         FileSystem &fs)
    : CustomEntryCommands(
          core,
          [this, &folderDialog](ProgramPaths &paths) {
              return ResolveCustomFolder(paths, folderDialog, m_chosenFolder);
          },
          editor, confirmation, fs)
{
}

CustomEntryCommands::CustomEntryCommands(MainLexCore &core, FolderResolver resolve,
                                         EntryEditor &editor, DeleteConfirmation &confirmation,
                                         FileSystem &fs)
    : m_core(core), m_resolve(std::move(resolve)), m_editor(editor),
      m_confirmation(confirmation), m_fs(fs)
{
}

MainLexCore::Point CustomEntryCommands::CustomEntries_ButtonClick(int windowLeft, int windowTop,
                                                                  int buttonLeft, int buttonTop,
                                                                  int buttonHeight)
{
    return {windowLeft + buttonLeft + 4, windowTop + buttonTop + buttonHeight + 22};
}

void CustomEntryCommands::CustomEntriesItemClick()
{
    m_core.WriteEntryText("");
    m_core.ResetDisplay();
    m_core.ClearNextMenu();
    m_core.FillEntryList(m_core.State().DefaultLookupMode, 0, true);
}

bool CustomEntryCommands::Resolve()
{
    return m_resolve(m_core.MutablePaths());
}

void CustomEntryCommands::AfterChange(const EditStatus &status, bool keepList)
{
    // Refused or failed: the files are as they were, and so is the window.
    if (status.outcome != EditOutcome::Done && status.outcome != EditOutcome::Pending)
        return;
    if (keepList)
        m_core.ClearEntryDisplay();
    else
        m_core.ResetDisplay();
    m_core.ReloadAfterEdit();
}

EditStatus CustomEntryCommands::InsertEntryItemClick()
{
    m_editMode = EditMode::Insert;
    if (!Resolve())
        return {EditOutcome::Unchanged, {}};
    const EditorAnswer answer = m_editor.Show(InsertEntryFrmShow(m_editMode, 0, m_updateBuffer));
    if (!answer.accepted)
        return {EditOutcome::Unchanged, {}};
    m_insertBuffer = answer.texts;
    const EditStatus status =
        InsertEntry(m_core.Paths(), m_core.Index(), m_insertBuffer, m_fs);
    AfterChange(status, false);
    return status;
}

EditStatus CustomEntryCommands::ModifyEntryItemClick()
{
    const int record = m_core.SelectedRecord();
    if (record == 0)
        return {EditOutcome::Unchanged, {}};
    const char kind = m_core.Index().english[static_cast<size_t>(record)].kind;
    m_editMode = EditMode::Update;
    if (!Resolve())
        return {EditOutcome::Unchanged, {}};
    m_editKind = kind;
    m_updateBuffer = ModifyPrefill(m_core.State(), kind, m_updateBuffer.description);
    const EditorAnswer answer =
        m_editor.Show(InsertEntryFrmShow(m_editMode, m_editKind, m_updateBuffer));
    if (!answer.accepted)
        return {EditOutcome::Unchanged, {}};
    m_updateBuffer = answer.texts;
    const EditStatus status =
        UpdateEntry(m_core.Paths(), m_core.Index(), record, m_editKind, m_updateBuffer, m_fs);
    AfterChange(status, false);
    return status;
}

EditStatus CustomEntryCommands::DeleteEntryItemClick()
{
    if (!m_confirmation.Confirm() || !Resolve())
        return {EditOutcome::Unchanged, {}};
    const int record = m_core.SelectedRecord();
    if (record == 0)
        return {EditOutcome::Unchanged, {}};
    const EditStatus status = DeleteEntry(m_core.Paths(), m_core.Index(), record, m_fs);
    AfterChange(status, true);
    return status;
}

} // namespace termdex
