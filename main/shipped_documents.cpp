#include "main/shipped_documents.h"

#include "lib/files.h"
#include "richtext/rtf_reader.h"

namespace termdex {

DocumentCommand ShippedDocumentCommand(const ProgramPaths &paths, ShippedDocument document)
{
    switch (document) {
    case ShippedDocument::Help:
        return {ProgramFile(paths.programFolder, "content/Termdex.htm"),
                "Το αρχείο βοήθειας δε βρέθηκε", "Βοήθεια"};
    case ShippedDocument::Preface:
        return {ProgramFile(paths.programFolder, "content/Preface.htm"),
                "Το αρχείο προλόγου δε βρέθηκε", "Πρόλογος"};
    case ShippedDocument::Abbreviations:
        return {ProgramFile(paths.programFolder, "content/PinAbbrev.htm"),
                "Ο Πίνακας Συντομογραφιών δε βρέθηκε", "Συντομογραφίες"};
    case ShippedDocument::Bibliography:
        break;
    }
    return {ProgramFile(paths.programFolder, "content/Biblio.htm"),
            "Το αρχείο βιβλιογραφίας δε βρέθηκε", "Βιβλιογραφία"};
}

DocumentLinkAction ClassifyDocumentLink(std::string_view scheme, std::string_view path)
{
    const std::string lower = AsciiLower(scheme);
    if (lower == "http" || lower == "https" || lower == "mailto")
        return DocumentLinkAction::Address;
    if (!lower.empty() && lower != "file")
        return DocumentLinkAction::Ignore;
    if (path.empty())
        return DocumentLinkAction::Scroll;
    const std::string name = AsciiLower(path);
    if (name.ends_with(".htm") || name.ends_with(".html"))
        return DocumentLinkAction::Show;
    return DocumentLinkAction::Desktop;
}

ProgramCommand Vorantis_LabelClick(const ProgramPaths &paths)
{
    std::string folder = paths.programFolder.string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return {ProgramFile(paths.programFolder, "content/VorantisPres"),
            {"\"" + folder + "\""},
            "Το πρόγραμμα της παρουσίασης δε βρέθηκε"};
}

const LinkCommand &SiteLabelClick()
{
    static const LinkCommand site{
        "https://www.vorantis.example/", "www.vorantis.example",
        "Δεν είναι δυνατή η ενεργοποίηση του προγράμματος περιήγησης στο διαδίκτυο"};
    return site;
}

const LinkCommand &MailLabelClick()
{
    static const LinkCommand mail{
        "mailto:info@vorantis.example", "info@vorantis.example",
        "Δεν είναι δυνατή η ενεργοποίηση του προγράμματος διαχείρισης email"};
    return mail;
}

std::optional<Cp1253> ReadRightsText(const ProgramPaths &paths)
{
    std::optional<std::string> text = ReadWholeFile(
        ProgramFile(paths.programFolder, "content/copyright.rtf"), kMaxRightsTextBytes);
    if (!text || !LooksLikeRtf(*text))
        return std::nullopt;
    return text;
}

} // namespace termdex
