// TBX and TEI through expat. The document is read as a stream; only one record (a record or
// an entry) is held as a tree at a time, so the size of the file does not matter.
#include "tools/import/parsers.h"

#include "lib/text.h"

#include <expat.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace termdex::import {

namespace {

struct Node
{
    std::string name; // local name; empty for a text node
    std::string text; // text nodes only
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<std::unique_ptr<Node>> children;

    std::string Attribute(std::string_view key) const
    {
        for (const auto &[k, v] : attributes)
            if (k == key)
                return v;
        return {};
    }
    std::string Language() const
    {
        std::string lang = Attribute("xml:lang");
        return AsciiLower(lang.empty() ? Attribute("lang") : lang);
    }
    // All the text below this node, in order.
    std::string Text() const
    {
        std::string out;
        AppendText(out);
        return out;
    }
    void AppendText(std::string &out) const
    {
        if (name.empty())
            out += text;
        for (const auto &child : children)
            child->AppendText(out);
    }
    // Every descendant (not this node) with the name, in document order.
    void Find(std::string_view wanted, std::vector<const Node *> &found) const
    {
        for (const auto &child : children) {
            if (child->name == wanted)
                found.push_back(child.get());
            child->Find(wanted, found);
        }
    }
    std::vector<const Node *> All(std::string_view wanted) const
    {
        std::vector<const Node *> found;
        Find(wanted, found);
        return found;
    }
    const Node *First(std::string_view wanted) const
    {
        const auto found = All(wanted);
        return found.empty() ? nullptr : found.front();
    }
};

std::string_view LocalName(std::string_view name)
{
    const size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Streams a document and hands every element named one of `records` to onRecord as a tree.
class RecordReader
{
public:
    // onRecord returns false to stop the reading.
    RecordReader(std::vector<std::string> records, std::function<bool(const Node &)> onRecord)
        : m_records(std::move(records)), m_onRecord(std::move(onRecord))
    {
    }

    // False with the parser's message when the document is not well-formed XML.
    bool Read(std::string_view xml, std::string &error)
    {
        XML_Parser parser = XML_ParserCreate("UTF-8");
        if (!parser) {
            error = "expat could not start";
            return false;
        }
        XML_SetUserData(parser, this);
        XML_SetElementHandler(parser, &RecordReader::Start, &RecordReader::End);
        XML_SetCharacterDataHandler(parser, &RecordReader::Characters);
        bool ok = true;
        constexpr size_t kChunk = 1 << 20;
        for (size_t at = 0; ok && !m_stopped;) {
            const size_t size = std::min(kChunk, xml.size() - at);
            const bool last = at + size == xml.size();
            ok = XML_Parse(parser, xml.data() + at, static_cast<int>(size), last) !=
                 XML_STATUS_ERROR;
            at += size;
            if (last)
                break;
        }
        if (!ok)
            error = "XML error at line " + std::to_string(XML_GetCurrentLineNumber(parser)) + ": " +
                    XML_ErrorString(XML_GetErrorCode(parser));
        XML_ParserFree(parser);
        return ok;
    }

private:
    static constexpr int kMaxDepth = 256;
    static constexpr size_t kMaxNodes = 200'000; // per record
    static constexpr size_t kMaxText = 4u << 20; // per record

    static void Start(void *self, const XML_Char *name, const XML_Char **attributes)
    {
        auto &r = *static_cast<RecordReader *>(self);
        ++r.m_depth;
        const std::string_view local = LocalName(name);
        if (!r.m_root) {
            if (std::find(r.m_records.begin(), r.m_records.end(), local) == r.m_records.end())
                return;
            r.m_root = std::make_unique<Node>();
            r.m_rootDepth = r.m_depth;
            r.m_nodes = 0;
            r.m_text = 0;
            r.m_path = {r.m_root.get()};
            r.Fill(*r.m_root, local, attributes);
            return;
        }
        if (r.m_depth - r.m_rootDepth >= kMaxDepth || r.m_nodes >= kMaxNodes ||
            static_cast<int>(r.m_path.size()) != r.m_depth - r.m_rootDepth)
            return; // too deep or too many: the element and its content are left out
        auto child = std::make_unique<Node>();
        r.Fill(*child, local, attributes);
        Node *raw = child.get();
        r.m_path.back()->children.push_back(std::move(child));
        r.m_path.push_back(raw);
        ++r.m_nodes;
    }

    void Fill(Node &node, std::string_view local, const XML_Char **attributes)
    {
        node.name = std::string(local);
        for (int i = 0; attributes[i] && attributes[i + 1] && i < 64; i += 2)
            node.attributes.emplace_back(attributes[i], attributes[i + 1]);
    }

    static void End(void *self, const XML_Char *)
    {
        auto &r = *static_cast<RecordReader *>(self);
        if (r.m_root) {
            if (r.m_depth == r.m_rootDepth) {
                const std::unique_ptr<Node> record = std::move(r.m_root);
                r.m_path.clear();
                if (!r.m_stopped && !r.m_onRecord(*record))
                    r.m_stopped = true;
            } else if (static_cast<int>(r.m_path.size()) == r.m_depth - r.m_rootDepth + 1) {
                r.m_path.pop_back();
            }
        }
        --r.m_depth;
    }

    static void Characters(void *self, const XML_Char *text, int length)
    {
        auto &r = *static_cast<RecordReader *>(self);
        if (!r.m_root || r.m_text >= kMaxText ||
            static_cast<int>(r.m_path.size()) != r.m_depth - r.m_rootDepth + 1)
            return;
        Node &parent = *r.m_path.back();
        const size_t take = std::min<size_t>(static_cast<size_t>(length), kMaxText - r.m_text);
        r.m_text += take;
        if (!parent.children.empty() && parent.children.back()->name.empty()) {
            parent.children.back()->text.append(text, take);
            return;
        }
        if (r.m_nodes >= kMaxNodes)
            return;
        auto node = std::make_unique<Node>();
        node->text.assign(text, take);
        parent.children.push_back(std::move(node));
        ++r.m_nodes;
    }

    std::vector<std::string> m_records;
    std::function<bool(const Node &)> m_onRecord;
    std::unique_ptr<Node> m_root;
    std::vector<Node *> m_path;
    int m_depth = 0;
    int m_rootDepth = 0;
    size_t m_nodes = 0;
    size_t m_text = 0;
    bool m_stopped = false;
};

// Text with its runs of white space (the XML's indentation) made single blanks.
std::string Collapse(std::string_view text)
{
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            blank = true;
            continue;
        }
        if (blank && !out.empty())
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

bool IsEnglish(const std::string &lang)
{
    return lang == "en" || lang.rfind("en-", 0) == 0 || lang == "eng";
}
bool IsGreek(const std::string &lang)
{
    return lang == "el" || lang.rfind("el-", 0) == 0 || lang == "ell" || lang == "gre";
}

bool Full(const Parsed &out) { return out.entries.size() >= kMaxParsedEntries; }

// TBX: "langSet" (TBX 2) or "langSec" (TBX 3), terms in "tig", "ntig" or "termSec".
struct Term
{
    std::string text;
    int rank; // 0 preferred, 1 plain, 2 deprecated or superseded
};

std::vector<Term> TermsOf(const Node &langSet)
{
    std::vector<Term> terms;
    std::vector<const Node *> groups = langSet.All("tig");
    for (const char *name : {"ntig", "termSec"})
        for (const Node *node : langSet.All(name))
            groups.push_back(node);
    if (groups.empty())
        groups.push_back(&langSet);
    for (const Node *group : groups) {
        const Node *term = group->First("term");
        if (!term)
            continue;
        int rank = 1;
        for (const Node *note : group->All("termNote")) {
            const std::string status = AsciiLower(Collapse(note->Text()));
            if (status.find("preferred") != std::string::npos)
                rank = 0;
            else if (status.find("deprecated") != std::string::npos ||
                     status.find("superseded") != std::string::npos ||
                     status.find("obsolete") != std::string::npos)
                rank = 2;
        }
        terms.push_back({Collapse(term->Text()), rank});
    }
    std::stable_sort(terms.begin(), terms.end(),
                     [](const Term &a, const Term &b) { return a.rank < b.rank; });
    return terms;
}

// What a concept record holds, its terms in order of preference.
struct Concept
{
    std::vector<Term> english, greek;
    std::vector<std::string> definitions, notes;
    std::string subject;
};

Concept ReadConcept(const Node &record)
{
    Concept c;
    for (const Node *descrip : record.All("descrip")) {
        const std::string type = AsciiLower(descrip->Attribute("type"));
        const std::string text = Collapse(descrip->Text());
        if (text.empty())
            continue;
        if (type == "subjectfield" && c.subject.empty())
            c.subject = text;
        else if (type == "definition" || type == "context" || type == "explanation")
            c.definitions.push_back(text);
    }
    for (const Node *note : record.All("note"))
        if (const std::string text = Collapse(note->Text()); !text.empty())
            c.notes.push_back(text);
    std::vector<const Node *> sets = record.All("langSet");
    for (const Node *set : record.All("langSec"))
        sets.push_back(set);
    for (const Node *set : sets) {
        const std::string lang = set->Language();
        if (!IsEnglish(lang) && !IsGreek(lang))
            continue;
        auto &terms = IsEnglish(lang) ? c.english : c.greek;
        for (Term &term : TermsOf(*set))
            if (!term.text.empty())
                terms.push_back(std::move(term));
    }
    std::stable_sort(c.english.begin(), c.english.end(),
                     [](const Term &a, const Term &b) { return a.rank < b.rank; });
    std::stable_sort(c.greek.begin(), c.greek.end(),
                     [](const Term &a, const Term &b) { return a.rank < b.rank; });
    return c;
}

// The subject field in italics on a line of its own.
void WriteSubject(const std::string &subject, RichText &rich)
{
    if (subject.empty())
        return;
    rich.Italic(true);
    rich.Text(subject);
    rich.Italic(false);
    rich.LineBreak();
}

// The description of the preferred English term: the subject, the other Greek terms, the
// definitions and notes, and the other English terms.
void WriteConcept(const Concept &c, RichText &rich)
{
    WriteSubject(c.subject, rich);
    for (size_t i = 1; i < c.greek.size(); ++i) {
        rich.Text((i == 1 ? "" : ", ") + c.greek[i].text);
        if (i + 1 == c.greek.size())
            rich.LineBreak();
    }
    for (const std::string &text : c.definitions) {
        rich.Text(text);
        rich.LineBreak();
    }
    for (const std::string &text : c.notes) {
        rich.Text(text);
        rich.LineBreak();
    }
    if (c.english.size() > 1) {
        rich.Italic(true);
        rich.Text("Also: ");
        rich.Italic(false);
        for (size_t i = 1; i < c.english.size(); ++i)
            rich.Text((i == 1 ? "" : ", ") + c.english[i].text);
    }
}

void AddConcept(const Node &record, Parsed &out)
{
    const Concept c = ReadConcept(record);
    const std::string id = record.Attribute("id");
    if (c.english.empty()) {
        if (!c.greek.empty() || !id.empty())
            out.skipped.push_back(
                {c.greek.empty() ? id : c.greek.front().text, "the record has no English term"});
        return;
    }
    const std::string rendering = c.greek.empty() ? std::string() : c.greek.front().text;
    RichText rich;
    WriteConcept(c, rich);
    Entry main{c.english.front().text, rendering, {}, rich.cut()};
    main.rtf = rich.Finish();
    out.entries.push_back(std::move(main));
    // The other English terms lead to the preferred one.
    for (size_t i = 1; i < c.english.size() && !Full(out); ++i) {
        if (c.english[i].text == c.english.front().text)
            continue;
        RichText see;
        WriteSubject(c.subject, see);
        see.Text("\xCE\xB2\xCE\xBB. "); // "βλ.", as the shipped entries refer to one another
        see.Bold(true);
        see.Text(c.english.front().text);
        see.Bold(false);
        out.entries.push_back({c.english[i].text, rendering, see.Finish(), false});
    }
}

void AddTeiEntry(const Node &entry, Parsed &out)
{
    const Node *orth = entry.First("orth");
    const std::string headword = orth ? Collapse(orth->Text()) : std::string();
    if (headword.empty()) {
        out.skipped.push_back({entry.Attribute("xml:id"), "the entry has no headword (orth)"});
        return;
    }
    RichText rich;
    rich.Bold(true);
    rich.Text(headword);
    rich.Bold(false);
    if (const Node *pron = entry.First("pron"))
        rich.Text(" /" + Collapse(pron->Text()) + "/");
    std::vector<std::string> parts;
    for (const Node *pos : entry.All("pos"))
        parts.push_back(Collapse(pos->Text()));
    if (!parts.empty()) {
        rich.Text(" ");
        rich.Italic(true);
        for (size_t i = 0; i < parts.size(); ++i)
            rich.Text((i ? ", " : "") + parts[i]);
        rich.Italic(false);
    }
    std::string greek;
    // The entry's own senses; a nested sense's translations count with the sense holding it.
    std::vector<const Node *> senses;
    for (const auto &child : entry.children)
        if (child->name == "sense")
            senses.push_back(child.get());
    if (senses.empty())
        senses.push_back(&entry);
    int number = 0;
    for (const Node *sense : senses) {
        std::vector<std::string> translations, definitions, examples;
        for (const Node *cit : sense->All("cit")) {
            const std::string type = cit->Attribute("type");
            const Node *quote = cit->First("quote");
            if (!quote)
                continue;
            const std::string text = Collapse(quote->Text());
            if (type == "trans" || type == "translation" || type.empty())
                translations.push_back(text);
            else if (type == "example")
                examples.push_back(text);
        }
        for (const Node *def : sense->All("def"))
            definitions.push_back(Collapse(def->Text()));
        if (translations.empty() && definitions.empty() && examples.empty())
            continue;
        rich.LineBreak();
        if (senses.size() > 1)
            rich.Text(std::to_string(++number) + ". ");
        for (size_t i = 0; i < translations.size(); ++i) {
            rich.Text((i ? ", " : "") + translations[i]);
            if (greek.empty() && !FirstGreekTranslation(translations[i]).empty())
                greek = FirstGreekTranslation(translations[i]);
        }
        for (const std::string &def : definitions)
            rich.Text((translations.empty() ? "" : "; ") + def);
        for (const std::string &example : examples) {
            rich.LineBreak();
            rich.Italic(true);
            rich.Text(example);
            rich.Italic(false);
        }
    }
    Entry result{headword, greek, {}, rich.cut()};
    result.rtf = rich.Finish();
    out.entries.push_back(std::move(result));
}

void ReadHeader(const Node &header, std::initializer_list<const char *> licenceElements,
                Parsed &out)
{
    if (out.title.empty())
        if (const Node *title = header.First("title"))
            out.title = Collapse(title->Text()).substr(0, 300);
    for (const char *name : licenceElements) {
        for (const Node *node : header.All(name)) {
            const std::string text = Collapse(node->Text());
            if (!text.empty() && out.licence.size() < 20'000)
                out.licence += (out.licence.empty() ? "" : "\n") + text;
        }
    }
}

} // namespace

void ParseTbx(std::string_view xml, Parsed &out)
{
    RecordReader reader(
        {"termEntry", "conceptEntry", "martifHeader", "tbxHeader"}, [&](const Node &node) {
            if (node.name == "martifHeader" || node.name == "tbxHeader")
                ReadHeader(node, {"sourceDesc", "publicationStmt", "availability"}, out);
            else
                AddConcept(node, out);
            return !Full(out);
        });
    std::string error;
    if (!reader.Read(xml, error))
        out.warnings.push_back(error + "; the rest of the file is left out");
}

void ParseTei(std::string_view xml, Parsed &out)
{
    RecordReader reader({"entry", "teiHeader"}, [&](const Node &node) {
        if (node.name == "teiHeader")
            ReadHeader(node, {"availability"}, out);
        else
            AddTeiEntry(node, out);
        return !Full(out);
    });
    std::string error;
    if (!reader.Read(xml, error))
        out.warnings.push_back(error + "; the rest of the file is left out");
}

} // namespace termdex::import
