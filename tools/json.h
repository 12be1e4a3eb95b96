// A small streaming JSON writer for the command line's machine-readable output. Text given as
// code page 1253 is converted to UTF-8 exactly; UTF-8 text is passed through.
#pragma once

#include "lib/text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace termdex::cli {

class JsonWriter
{
public:
    JsonWriter &BeginObject();
    JsonWriter &EndObject();
    JsonWriter &BeginArray();
    JsonWriter &EndArray();
    JsonWriter &Key(std::string_view key); // ASCII keys
    JsonWriter &Text(Cp1253View text);     // a code page 1253 string
    JsonWriter &Utf8(std::string_view text);
    JsonWriter &Int(int64_t value);
    JsonWriter &Bool(bool value);
    JsonWriter &Null();

    const std::string &str() const { return m_out; }

private:
    void BeforeValue();
    std::string m_out;
    std::vector<bool> m_first; // per open container: no member written yet
    bool m_afterKey = false;
};

// The UTF-8 text as a JSON string literal, quotes included.
std::string JsonQuote(std::string_view utf8);

} // namespace termdex::cli
