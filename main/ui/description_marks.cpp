#include "main/ui/description_marks.h"

#include "dialogs/text_convert.h"
#include "lib/cp1253.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace termdex {
namespace {

constexpr char kLinkScheme[] = "termdex-entry:";

// The document's text as code page 1253, one byte per position of the document (a character the
// code page cannot hold reads "?", a block end CR), so that offsets are document positions.
Cp1253 DocumentBytes(const QTextDocument &document)
{
    const QString text = document.toPlainText();
    Cp1253 out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        const auto byte = CodePointToCp1253(c.unicode());
        out += byte ? static_cast<char>(*byte) : (c == QLatin1Char('\n') ? '\r' : '?');
    }
    return out;
}

} // namespace

void MarkEntryLinks(QTextDocument &document, Cp1253View plain, const std::vector<EntryLink> &links)
{
    const Cp1253 text = DocumentBytes(document);
    for (const EntryLink &link : links) {
        // The document holds one position where the plain text ends a line with CR LF.
        size_t breaks = 0;
        for (size_t at = plain.find("\r\n"); at != Cp1253View::npos && at < link.offset;
             at = plain.find("\r\n", at + 2))
            ++breaks;
        size_t at = link.offset - std::min(breaks, link.offset);
        if (text.compare(std::min(at, text.size()), link.text.size(), link.text) != 0) {
            // Tables place their cells otherwise: look a little before, then on.
            at = text.find(link.text, at > 64 ? at - 64 : 0);
            if (at == Cp1253::npos)
                continue;
        }
        QTextCursor cursor(&document);
        cursor.setPosition(static_cast<int>(at));
        cursor.setPosition(static_cast<int>(at + link.text.size()), QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorHref(QString::fromLatin1(kLinkScheme) + QString::number(link.record));
        format.setForeground(QColor(0x00, 0x33, 0x99));
        format.setFontUnderline(true);
        cursor.mergeCharFormat(format);
    }
}

int LinkRecordAt(const QTextEdit &view, QPoint viewportPosition)
{
    const QString href = view.anchorAt(viewportPosition);
    if (!href.startsWith(QLatin1String(kLinkScheme)))
        return 0;
    bool ok = false;
    const int record = href.mid(static_cast<int>(sizeof kLinkScheme) - 1).toInt(&ok);
    return ok ? record : 0;
}

void HighlightSearchWord(QTextEdit &view, const Cp1253 &foldedWord, bool greek)
{
    QList<QTextEdit::ExtraSelection> selections;
    if (!foldedWord.empty()) {
        QTextDocument *document = view.document();
        for (const TextSpan &span : WholeWordSpans(DocumentBytes(*document), foldedWord, greek)) {
            QTextEdit::ExtraSelection selection;
            selection.cursor = QTextCursor(document);
            selection.cursor.setPosition(static_cast<int>(span.start));
            selection.cursor.setPosition(static_cast<int>(span.start + span.length),
                                         QTextCursor::KeepAnchor);
            selection.format.setBackground(QColor(0xFF, 0xE0, 0x66));
            selections.append(selection);
        }
    }
    view.setExtraSelections(selections);
    if (!selections.isEmpty()) {
        QTextCursor first(view.document());
        first.setPosition(selections.front().cursor.selectionStart());
        view.setTextCursor(first);
        view.ensureCursorVisible();
    }
}

} // namespace termdex
