#include "tools/greek_speller.h"

#include "lib/cp1253.h"
#include "lib/files.h"

#include <hunspell/hunspell.hxx>

#include <iconv.h>
#include <memory>

namespace termdex {

namespace {

// Converts code page 1253 words to the dictionary's own encoding (ISO 8859-7 for el_GR, whose
// Ά sits elsewhere than in code page 1253).
class WordConverter
{
public:
    explicit WordConverter(const std::string &encoding)
        : m_iconv(iconv_open(encoding.c_str(), "UTF-8"))
    {
    }
    ~WordConverter()
    {
        if (ok())
            iconv_close(m_iconv);
    }
    WordConverter(const WordConverter &) = delete;
    WordConverter &operator=(const WordConverter &) = delete;

    bool ok() const { return m_iconv != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> operator()(Cp1253View word)
    {
        std::string utf8 = Cp1253ToUtf8(word);
        std::string out(utf8.size() * 4 + 4, '\0');
        char *in = utf8.data();
        size_t inLeft = utf8.size();
        char *to = out.data();
        size_t outLeft = out.size();
        iconv(m_iconv, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_iconv, &in, &inLeft, &to, &outLeft) == static_cast<size_t>(-1))
            return std::nullopt;
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t m_iconv;
};

} // namespace

GreekSpeller GreekSpellerOrNone(const std::filesystem::path &folder)
{
    const std::filesystem::path aff = folder / "el_GR.aff", dic = folder / "el_GR.dic";
    if (!FileExists(aff) || !FileExists(dic))
        return {};
    auto hunspell = std::make_shared<Hunspell>(aff.c_str(), dic.c_str());
    auto convert = std::make_shared<WordConverter>(hunspell->get_dict_encoding());
    if (!convert->ok())
        return {};
    return [hunspell, convert](Cp1253View word) {
        const auto encoded = (*convert)(word);
        return encoded && hunspell->spell(*encoded);
    };
}

} // namespace termdex
