#include "main/word_forms.h"

#include "lib/cp1253.h"
#include "lib/files.h"
#include "lib/folding.h"

#include <hunspell/hunspell.hxx>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace termdex {
namespace {

namespace fs = std::filesystem;

// A dictionary word list is tens of megabytes at most; anything larger is not one.
constexpr uintmax_t kMaxDictionaryBytes = 64u << 20;

// Greek inflection: which nominative endings a folded ending may come from. The endings are
// folded (no accents, final "ς"); Hunspell then decides which spelling is a word.
struct Ending
{
    const char *ending;
    std::vector<const char *> lemmas;
};
const std::vector<Ending> &GreekEndings()
{
    // clang-format off
    static const std::vector<Ending> endings = {
        {"\xE1\xF4\xEF\xF2", {"\xE1"}},                         // -ατος  -> -α   (χρήματος)
        {"\xE1\xF4\xF9\xED", {"\xE1"}},                         // -ατων  -> -α
        {"\xE1\xF4\xE1", {"\xE1"}},                             // -ατα   -> -α
        {"\xE5\xE9\xF2", {"\xE7"}},                             // -εις   -> -η   (αναλύσεις)
        {"\xE5\xF9\xF2", {"\xE7"}},                             // -εως   -> -η
        {"\xEF\xF5\xF2", {"\xEF\xF2"}},                         // -ους   -> -ος  (κόστους)
        {"\xEF\xF5", {"\xEF\xF2", "\xEF"}},                     // -ου    -> -ος, -ο
        {"\xF9\xED", {"\xEF\xF2", "\xEF", "\xE1", "\xE7", "\xE9", "\xE1\xF2", "\xE7\xF2"}}, // -ων
        {"\xEF\xE9", {"\xEF\xF2"}},                             // -οι    -> -ος
        {"\xE5\xF2", {"\xE1", "\xE7", "\xE1\xF2", "\xE7\xF2"}}, // -ες    -> -α, -η, -ας, -ης
        {"\xE1\xF2", {"\xE1"}},                                 // -ας    -> -α   (αγοράς)
        {"\xE7\xF2", {"\xE7", "\xEF\xF2"}},                     // -ης    -> -η, -ος
        {"\xE7", {"\xE7\xF2", "\xEF\xF2"}},                     // -η     -> -ης, -ος
        {"\xE1", {"\xEF", "\xE1\xF2", "\xEF\xF2"}},             // -α     -> -ο, -ας, -ος
        {"\xEF", {"\xEF\xF2"}},                                 // -ο     -> -ος
    };
    // clang-format on
    return endings;
}

bool IsPlainVowel(unsigned char c)
{
    switch (c) {
    case 0xE1:
    case 0xE5:
    case 0xE7:
    case 0xE9:
    case 0xEF:
    case 0xF5:
    case 0xF9:
        return true;
    default:
        return false;
    }
}

unsigned char Accented(unsigned char vowel)
{
    switch (vowel) {
    case 0xE1:
        return 0xDC; // ά
    case 0xE5:
        return 0xDD; // έ
    case 0xE7:
        return 0xDE; // ή
    case 0xE9:
        return 0xDF; // ί
    case 0xEF:
        return 0xFC; // ό
    case 0xF5:
        return 0xFD; // ύ
    default:
        return 0xFE; // ώ
    }
}

// The "SET" line of an affix file: the encoding of the dictionary's words.
std::string DictionaryEncoding(const fs::path &aff)
{
    std::ifstream in(aff, std::ios::binary);
    std::string line;
    for (int n = 0; n < 200 && std::getline(in, line); ++n)
        if (line.rfind("SET ", 0) == 0)
            return Trim(line.substr(4));
    return "ISO8859-1";
}

// A word of the Greek dictionary as code page 1253: ISO 8859-7 differs only in a few bytes
// (capital alpha with tonos, the quotation marks), UTF-8 is converted.
std::optional<Cp1253> GreekDictionaryWord(std::string_view word, bool utf8)
{
    if (utf8)
        return Utf8ToCp1253(word).text;
    Cp1253 out(word);
    for (char &ch : out) {
        switch (static_cast<unsigned char>(ch)) {
        case 0xB6:
            ch = static_cast<char>(0xA2);
            break;
        case 0xA1:
            ch = static_cast<char>(0x91);
            break;
        case 0xA2:
            ch = static_cast<char>(0x92);
            break;
        default:
            break;
        }
    }
    return out;
}

} // namespace

std::vector<Cp1253> GreekFormCandidates(Cp1253View foldedWord)
{
    std::vector<Cp1253> out;
    for (const Ending &e : GreekEndings()) {
        const Cp1253View ending = e.ending;
        // A stem of at least two letters: shorter words are not worth guessing at.
        if (foldedWord.size() < ending.size() + 2 || !foldedWord.ends_with(ending))
            continue;
        const Cp1253View stem = foldedWord.substr(0, foldedWord.size() - ending.size());
        for (const char *lemma : e.lemmas) {
            Cp1253 candidate = Cp1253(stem) + lemma;
            if (candidate != foldedWord &&
                std::find(out.begin(), out.end(), candidate) == out.end())
                out.push_back(std::move(candidate));
        }
    }
    return out;
}

std::vector<Cp1253> GreekAccentVariants(Cp1253View foldedWord)
{
    std::vector<Cp1253> out{Cp1253(foldedWord)};
    for (size_t i = 0; i < foldedWord.size(); ++i) {
        const auto c = static_cast<unsigned char>(foldedWord[i]);
        if (!IsPlainVowel(c))
            continue;
        Cp1253 variant(foldedWord);
        variant[i] = static_cast<char>(Accented(c));
        out.push_back(std::move(variant));
    }
    return out;
}

WordForms::WordForms(fs::path folder, Vocabulary greek)
    : m_folder(std::move(folder)), m_greekVocabulary(std::move(greek))
{
}

WordForms::~WordForms() = default;

void WordForms::ForgetGreek()
{
    m_greek.reset();
    m_greekTried = false;
}

bool WordForms::Available(bool greek) { return (greek ? Greek() : English()) != nullptr; }

Hunspell *WordForms::English()
{
    if (!m_englishTried) {
        m_englishTried = true;
        const fs::path aff = m_folder / "en_US.aff", dic = m_folder / "en_US.dic";
        std::error_code error;
        if (fs::is_regular_file(aff, error) && fs::is_regular_file(dic, error) &&
            fs::file_size(dic, error) <= kMaxDictionaryBytes)
            m_english = std::make_unique<Hunspell>(aff.c_str(), dic.c_str());
    }
    return m_english.get();
}

Hunspell *WordForms::Greek()
{
    if (m_greekTried)
        return m_greek.get();
    m_greekTried = true;
    const fs::path aff = m_folder / "el_GR.aff", dic = m_folder / "el_GR.dic";
    std::error_code error;
    if (!fs::is_regular_file(aff, error) || !fs::is_regular_file(dic, error))
        return nullptr;
    const auto bytes = ReadWholeFile(dic, kMaxDictionaryBytes);
    if (!bytes)
        return nullptr;
    m_greekUtf8 = DictionaryEncoding(aff) == "UTF-8";
    // The Greek word list holds some 800,000 inflected forms; Hunspell takes seconds to read
    // it whole. Only the words that fold to a word of the dictionary's headwords can ever be a
    // form that names an entry, so those lines alone are handed to it.
    const std::unordered_set<Cp1253> vocabulary =
        m_greekVocabulary ? m_greekVocabulary() : std::unordered_set<Cp1253>();
    std::string kept;
    size_t count = 0;
    std::string_view rest = *bytes;
    bool first = true;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (first) { // the word count
            first = false;
            continue;
        }
        const std::string_view word = line.substr(0, line.find_first_of("/\t \r"));
        if (word.empty())
            continue;
        const auto cp = GreekDictionaryWord(word, m_greekUtf8);
        if (!cp || !vocabulary.contains(GreekKey(*cp, true)))
            continue;
        kept.append(line);
        kept += '\n';
        ++count;
    }
    // Hunspell reads its word list from a file: a private one, gone once it is read.
    std::string pattern = (fs::temp_directory_path(error) / "termdex-forms-XXXXXX").string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        return nullptr;
    close(fd);
    bool written = false;
    {
        std::ofstream out(pattern, std::ios::binary | std::ios::trunc);
        out << count << '\n' << kept;
        written = static_cast<bool>(out.flush());
    }
    if (written)
        m_greek = std::make_unique<Hunspell>(aff.c_str(), pattern.c_str());
    fs::remove(pattern, error);
    return m_greek.get();
}

std::vector<Cp1253> WordForms::Forms(Cp1253View word, bool greek,
                                     const std::function<bool(Cp1253View folded)> &accept)
{
    std::vector<Cp1253> out;
    auto add = [&](Cp1253 folded) {
        if (!folded.empty() && accept(folded) &&
            std::find(out.begin(), out.end(), folded) == out.end())
            out.push_back(std::move(folded));
    };
    if (!greek) {
        Hunspell *hunspell = English();
        if (hunspell == nullptr)
            return out;
        for (const std::string &stem : hunspell->stem(Cp1253ToUtf8(LocaleLower(word))))
            if (const auto cp = Utf8ToCp1253(stem).text)
                add(LocaleLower(LatinKey(*cp, true)));
        return out;
    }
    Hunspell *hunspell = Greek();
    if (hunspell == nullptr)
        return out;
    auto encode = [&](const Cp1253 &text) { return m_greekUtf8 ? Cp1253ToUtf8(text) : text; };
    const Cp1253 folded = GreekKey(word, true);
    // The candidates that would name an entry are checked against the word list in each of
    // their spellings; the first that Hunspell knows makes the candidate a form.
    for (const Cp1253 &candidate : GreekFormCandidates(folded)) {
        if (!accept(candidate))
            continue;
        for (const Cp1253 &spelling : GreekAccentVariants(candidate)) {
            if (hunspell->spell(encode(spelling))) {
                add(candidate);
                break;
            }
        }
    }
    for (const std::string &stem : hunspell->stem(encode(LocaleLower(Trim(word)))))
        if (const auto cp =
                m_greekUtf8 ? Utf8ToCp1253(stem).text : GreekDictionaryWord(stem, false))
            if (Cp1253 f = GreekKey(*cp, true); f != folded)
                add(std::move(f));
    return out;
}

} // namespace termdex
