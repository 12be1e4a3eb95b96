#include "data/index_line.h"

#include <cstdio>

namespace termdex {

void AppendNumber(Cp1253 &line, IndexColumn column, long long value)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%0*lld", static_cast<int>(column.width), value);
    line += digits;
}

void AppendText(Cp1253 &line, IndexColumn column, Cp1253View text)
{
    text = text.substr(0, column.width);
    line += text;
    line.append(column.width - text.size(), ' ');
}

Cp1253 FormatShippedEnglishLine(long long id, Cp1253View headword, long long descOffset,
                                long long descLength, long long matchStart)
{
    using L = ShippedEnglishLayout;
    Cp1253 line;
    line.reserve(L::length);
    AppendNumber(line, L::id, id);
    AppendText(line, L::headword, headword);
    AppendNumber(line, L::descOffset, descOffset);
    AppendNumber(line, L::descLength, descLength);
    line += 'L';
    AppendNumber(line, L::matchStart, matchStart);
    AppendNumber(line, L::reserved, 0);
    return line;
}

Cp1253 FormatShippedGreekLine(long long id, Cp1253View headword)
{
    using L = ShippedGreekLayout;
    Cp1253 line;
    line.reserve(L::length);
    AppendNumber(line, L::id, id);
    AppendText(line, L::headword, headword);
    return line;
}

Cp1253 FormatCustomEnglishLine(Cp1253View anchor, long long ownId, Cp1253View headword,
                               long long position, long long length)
{
    using L = CustomEnglishLayout;
    Cp1253 line(anchor);
    line.reserve(L::lineLength);
    AppendNumber(line, L::ownId, ownId);
    AppendText(line, L::headword, headword);
    AppendNumber(line, L::position, position);
    AppendNumber(line, L::length, length);
    return line;
}

Cp1253 FormatCustomGreekLine(long long anchor, long long ownId, Cp1253View headword)
{
    using L = CustomGreekLayout;
    Cp1253 line;
    AppendNumber(line, L::anchor, anchor);
    AppendNumber(line, L::ownId, ownId);
    return line += headword;
}

} // namespace termdex
