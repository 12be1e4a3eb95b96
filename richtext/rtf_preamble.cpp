// RtfPreamble: the opening bytes that many documents share, read once.
#include "richtext/rtf_interpreter.h"
#include "richtext/rtf_reader.h"

#include <memory>
#include <optional>

namespace termdex {

using rtf::Reader;

namespace {

// Notes whether a reader reported anything.
class EventFlag final : public RtfSink
{
public:
    bool any = false;
    void OnText(Cp1253View, const CharFormat &) override { any = true; }
    void OnUnicode(char32_t, const CharFormat &) override { any = true; }
    void OnParagraphEnd(const ParagraphFormat &) override { any = true; }
    void OnLineBreak(const CharFormat &) override { any = true; }
    void OnPageBreak() override { any = true; }
    void OnRowStart(const TableRowFormat &) override { any = true; }
    void OnCellEnd(const ParagraphFormat &) override { any = true; }
    void OnRowEnd(const TableRowFormat &) override { any = true; }
    void OnPicture(const Picture &, const CharFormat &) override { any = true; }
    void OnDocumentEnd(const ParagraphFormat &) override { any = true; }
};

} // namespace

struct RtfPreamble::Parts
{
    Cp1253 prefix;
    // The reader after the prefix, when reading on from it is reading the joined text: the
    // prefix ends between tokens and reported nothing (its events would be lost otherwise).
    std::optional<Reader> saved;
    std::optional<Reader> reader; // resumed from saved for each document, its memory kept
    Cp1253 joined;                // prefix + rest, when saved is empty
};

RtfPreamble::RtfPreamble(Cp1253View prefix) : m_parts(std::make_unique<Parts>())
{
    m_parts->prefix.assign(prefix);
    if (prefix.size() < 5 || !LooksLikeRtf(prefix))
        return; // whether the joined text is rich text may then depend on the rest
    EventFlag flag;
    Reader &saved = m_parts->saved.emplace(m_parts->prefix, flag);
    saved.ReadAll();
    if (flag.any || saved.RanOut()) {
        m_parts->saved.reset();
        return;
    }
    m_parts->reader.emplace(saved);
}

RtfPreamble::~RtfPreamble() = default;
RtfPreamble::RtfPreamble(RtfPreamble &&) noexcept = default;
RtfPreamble &RtfPreamble::operator=(RtfPreamble &&) noexcept = default;

bool RtfPreamble::Read(Cp1253View rest, RtfSink &sink)
{
    Parts &parts = *m_parts;
    if (!parts.saved) {
        parts.joined.assign(parts.prefix);
        parts.joined.append(rest);
        return ReadRtf(parts.joined, sink);
    }
    parts.reader->Resume(*parts.saved, rest, sink);
    parts.reader->ReadAll();
    parts.reader->Finish();
    return true;
}

Cp1253View RtfPreamble::Prefix() const { return m_parts->prefix; }

bool RtfPreamble::ReadsPrefixOnce() const { return m_parts->saved.has_value(); }

} // namespace termdex
