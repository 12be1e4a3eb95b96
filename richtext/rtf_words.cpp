#include "richtext/rtf_words.h"

#include <array>
#include <cstddef>

namespace termdex::rtf {

namespace {

struct WordEntry
{
    std::string_view name;
    Word word;
};

// Underline styles all count as underline; destinations whose
// text is not part of the document (document information, styles, headers, field instructions,
// revision and list tables, the metafile twin of a picture) are skipped whole.
constexpr WordEntry kWords[] = {
    {"annotation", Word::Skip},
    {"ansicpg", Word::Ansicpg},
    {"atnauthor", Word::Skip},
    {"atndate", Word::Skip},
    {"atnid", Word::Skip},
    {"atnref", Word::Skip},
    {"author", Word::Skip},
    {"b", Word::B},
    {"bin", Word::Bin},
    {"bkmkend", Word::Skip},
    {"bkmkstart", Word::Skip},
    {"blue", Word::Blue},
    {"bullet", Word::Bullet},
    {"buptim", Word::Skip},
    {"cb", Word::Cb},
    {"cell", Word::Cell},
    {"cellx", Word::Cellx},
    {"cf", Word::Cf},
    {"colortbl", Word::Colortbl},
    {"comment", Word::Skip},
    {"creatim", Word::Skip},
    {"datastore", Word::Skip},
    {"deff", Word::Deff},
    {"dibitmap", Word::Dibitmap},
    {"doccomm", Word::Skip},
    {"docvar", Word::Skip},
    {"emdash", Word::Emdash},
    {"emfblip", Word::Emfblip},
    {"emspace", Word::Emspace},
    {"endash", Word::Endash},
    {"enspace", Word::Enspace},
    {"f", Word::F},
    {"fcharset", Word::Fcharset},
    {"fi", Word::Fi},
    {"filetbl", Word::Skip},
    {"fldinst", Word::Skip},
    {"fonttbl", Word::Fonttbl},
    {"footer", Word::Skip},
    {"footerf", Word::Skip},
    {"footerl", Word::Skip},
    {"footerr", Word::Skip},
    {"footnote", Word::Skip},
    {"fs", Word::Fs},
    {"ftncn", Word::Skip},
    {"ftnsep", Word::Skip},
    {"ftnsepc", Word::Skip},
    {"generator", Word::Skip},
    {"green", Word::Green},
    {"header", Word::Skip},
    {"headerf", Word::Skip},
    {"headerl", Word::Skip},
    {"headerr", Word::Skip},
    {"highlight", Word::Highlight},
    {"i", Word::I},
    {"info", Word::Skip},
    {"intbl", Word::Intbl},
    {"jpegblip", Word::Jpegblip},
    {"keywords", Word::Skip},
    {"latentstyles", Word::Skip},
    {"ldblquote", Word::Ldblquote},
    {"li", Word::Li},
    {"line", Word::Line},
    {"listoverridetable", Word::Skip},
    {"listtable", Word::Skip},
    {"lquote", Word::Lquote},
    {"mac", Word::Mac},
    {"nestcell", Word::Cell},
    {"nestrow", Word::Row},
    {"nonshppict", Word::Skip},
    {"nosupersub", Word::Nosupersub},
    {"objdata", Word::Skip},
    {"operator", Word::Skip},
    {"page", Word::Page},
    {"par", Word::Par},
    {"pard", Word::Pard},
    {"pc", Word::Pc},
    {"pca", Word::Pca},
    {"pgdsctbl", Word::Skip},
    {"pich", Word::Pich},
    {"pichgoal", Word::Pichgoal},
    {"picscalex", Word::Picscalex},
    {"picscaley", Word::Picscaley},
    {"pict", Word::Pict},
    {"picw", Word::Picw},
    {"picwgoal", Word::Picwgoal},
    {"plain", Word::Plain},
    {"pn", Word::Skip},
    {"pngblip", Word::Pngblip},
    {"printim", Word::Skip},
    {"private", Word::Skip},
    {"qc", Word::Qc},
    {"qd", Word::Qj},
    {"qj", Word::Qj},
    {"ql", Word::Ql},
    {"qr", Word::Qr},
    {"rdblquote", Word::Rdblquote},
    {"red", Word::Red},
    {"revtbl", Word::Skip},
    {"revtim", Word::Skip},
    {"ri", Word::Ri},
    {"row", Word::Row},
    {"rquote", Word::Rquote},
    {"rsidtbl", Word::Skip},
    {"rxe", Word::Skip},
    {"sa", Word::Sa},
    {"sb", Word::Sb},
    {"sect", Word::Sect},
    {"shppict", Word::Shppict},
    {"strike", Word::Strike},
    {"striked", Word::Strike},
    {"stylesheet", Word::Skip},
    {"sub", Word::Sub},
    {"subject", Word::Skip},
    {"super", Word::Super},
    {"tab", Word::Tab},
    {"tc", Word::Skip},
    {"themedata", Word::Skip},
    {"title", Word::Skip},
    {"trgaph", Word::Trgaph},
    {"trleft", Word::Trleft},
    {"trowd", Word::Trowd},
    {"trqc", Word::Trqc},
    {"trql", Word::Trql},
    {"trqr", Word::Trqr},
    {"txe", Word::Skip},
    {"u", Word::U},
    {"uc", Word::Uc},
    {"ul", Word::Ul},
    {"uld", Word::Ul},
    {"uldash", Word::Ul},
    {"uldashd", Word::Ul},
    {"uldashdd", Word::Ul},
    {"uldb", Word::Ul},
    {"ulhwave", Word::Ul},
    {"ulldash", Word::Ul},
    {"ulnone", Word::Ulnone},
    {"ulth", Word::Ul},
    {"ulthd", Word::Ul},
    {"ulthdash", Word::Ul},
    {"ulthdashd", Word::Ul},
    {"ulthdashdd", Word::Ul},
    {"ulthldash", Word::Ul},
    {"ululdbwave", Word::Ul},
    {"ulw", Word::Ul},
    {"ulwave", Word::Ul},
    {"userprops", Word::Skip},
    {"wbitmap", Word::Wbitmap},
    {"wbmbitspixel", Word::Wbmbitspixel},
    {"wbmwidthbytes", Word::Wbmwidthbytes},
    {"wmetafile", Word::Wmetafile},
    {"xe", Word::Skip},
    {"xmlnstbl", Word::Skip},
};

constexpr uint32_t HashName(std::string_view name)
{
    uint32_t hash = 2166136261u; // FNV-1a
    for (char c : name)
        hash = (hash ^ uint8_t(c)) * 16777619u;
    return hash;
}

// An open-addressing table over kWords, built at compile time: one hash and, for a known word,
// one comparison per control word.
constexpr size_t kWordSlots = 512;
struct WordTable
{
    std::array<int16_t, kWordSlots> slot{};
    constexpr WordTable()
    {
        for (auto &s : slot)
            s = -1;
        for (size_t i = 0; i < std::size(kWords); ++i) {
            size_t at = HashName(kWords[i].name) % kWordSlots;
            while (slot[at] >= 0)
                at = (at + 1) % kWordSlots;
            slot[at] = int16_t(i);
        }
    }
};
constexpr WordTable kWordTable;
static_assert(std::size(kWords) < kWordSlots / 2, "keep the word table sparse");

} // namespace

Word LookUp(std::string_view name)
{
    for (size_t at = HashName(name) % kWordSlots;; at = (at + 1) % kWordSlots) {
        const int index = kWordTable.slot[at];
        if (index < 0)
            return Word::Unknown;
        if (kWords[index].name == name)
            return kWords[index].word;
    }
}

} // namespace termdex::rtf
