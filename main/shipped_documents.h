// The material outside the dictionary proper: the help, the three tables, the rights text and
// the publisher's presentation program, all shipped in the content folder, and the publisher's
// addresses. The window opens them through the desktop and shows the failure message given
// here (UTF-8) in a warning box captioned kProblemCaption.
#pragma once

#include "data/paths.h"
#include "lib/text.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace termdex {

inline constexpr const char *kProblemCaption = "Πρόβλημα";

enum class ShippedDocument { Help, Preface, Abbreviations, Bibliography };

// A document to open with its default program, and what to say when the file is missing.
// When no program of the desktop opens it, the dictionary shows it in a window of its own,
// titled with the document's own title or, without one, with `title` (UTF-8).
struct DocumentCommand
{
    std::filesystem::path file;
    const char *failureMessage;
    const char *title;
};
// content/Termdex.htm, Preface.htm, PinAbbrev.htm or Biblio.htm of the program folder.
DocumentCommand ShippedDocumentCommand(const ProgramPaths &paths, ShippedDocument document);

// What a link clicked inside a document shown by the dictionary does.
enum class DocumentLinkAction {
    Scroll,  // a place in the same document ("#name")
    Show,    // another HTML document: shown in the same window
    Desktop, // another local file: handed to its default program
    Address, // http, https or mailto: handed to the desktop
    Ignore,  // any other scheme
};
// scheme: the link's scheme ("" for a relative link); path: its path part, undecoded.
DocumentLinkAction ClassifyDocumentLink(std::string_view scheme, std::string_view path);

constexpr int64_t kMaxShownDocumentBytes = 4 << 20; // a larger file is not shown

// The presentation program and its one argument: the program folder with a trailing "/",
// enclosed in double quotes.
struct ProgramCommand
{
    std::filesystem::path program;
    std::vector<std::string> arguments;
    const char *failureMessage;
};
ProgramCommand Vorantis_LabelClick(const ProgramPaths &paths);

// The about window's links: an address to open and its failure message.
struct LinkCommand
{
    const char *address;
    const char *caption; // what the label shows
    const char *failureMessage;
};
const LinkCommand &SiteLabelClick();
const LinkCommand &MailLabelClick();

constexpr int64_t kMaxRightsTextBytes = 1 << 20;
// content/copyright.rtf; nullopt when it is missing, larger than kMaxRightsTextBytes or not
// rich text.
std::optional<Cp1253> ReadRightsText(const ProgramPaths &paths);

} // namespace termdex
