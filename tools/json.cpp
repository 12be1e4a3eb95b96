#include "tools/json.h"

#include "lib/cp1253.h"

#include <cstdio>

namespace termdex::cli {

std::string JsonQuote(std::string_view utf8)
{
    std::string out = "\"";
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

void JsonWriter::BeforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back())
            m_out += ", ";
        m_first.back() = false;
    }
}

JsonWriter &JsonWriter::BeginObject()
{
    BeforeValue();
    m_out += '{';
    m_first.push_back(true);
    return *this;
}

JsonWriter &JsonWriter::EndObject()
{
    m_out += '}';
    m_first.pop_back();
    return *this;
}

JsonWriter &JsonWriter::BeginArray()
{
    BeforeValue();
    m_out += '[';
    m_first.push_back(true);
    return *this;
}

JsonWriter &JsonWriter::EndArray()
{
    m_out += ']';
    m_first.pop_back();
    return *this;
}

JsonWriter &JsonWriter::Key(std::string_view key)
{
    BeforeValue();
    m_out += JsonQuote(key);
    m_out += ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter &JsonWriter::Text(Cp1253View text) { return Utf8(Cp1253ToUtf8(text)); }

JsonWriter &JsonWriter::Utf8(std::string_view text)
{
    BeforeValue();
    m_out += JsonQuote(text);
    return *this;
}

JsonWriter &JsonWriter::Int(int64_t value)
{
    BeforeValue();
    m_out += std::to_string(value);
    return *this;
}

JsonWriter &JsonWriter::Bool(bool value)
{
    BeforeValue();
    m_out += value ? "true" : "false";
    return *this;
}

JsonWriter &JsonWriter::Null()
{
    BeforeValue();
    m_out += "null";
    return *this;
}

} // namespace termdex::cli
