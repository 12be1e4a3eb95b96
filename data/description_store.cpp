#include "data/description_store.h"

#include "data/index_line.h"
#include "lib/codecs.h"
#include "lib/files.h"

#include <algorithm>

namespace termdex {

const char kSupplementHeading[] =
    " \\par {\\i\\ul\\f0 "
    "\\'D3\\'F5\\'EC\\'F0\\'EB\\'DE\\'F1\\'F9\\'F3\\'E7\\'20\\'E4\\'E9\\'EA\\'DE"
    "\\'20\\'F3\\'E1\\'F2\\'3A} \\par \\i0\\ul0 ";
const char kSupplementSeparator[] = " ";
const char kDocumentClosing[] = "\\par \\par}";

std::optional<Cp1253> LoadRtfHeader(const ProgramPaths &paths)
{
    const auto file = paths.DescriptionFile();
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size == 0)
        return std::nullopt;
    const auto block =
        ReadFileRange(file, 0, std::min<int64_t>(kHeaderBlockSize, static_cast<int64_t>(size)));
    if (!block)
        return std::nullopt;
    return "{" + DescriptionDecode(1, *block);
}

std::optional<DescriptionSource>
DescriptionSourceFor(const ProgramPaths &paths, const IndexRecord &record,
                     const std::vector<std::string> &supplementRefs)
{
    DescriptionSource source;
    switch (record.kind) {
    case EntryKind::Shipped:
    case EntryKind::Supplemented:
        source.file = paths.DescriptionFile().string();
        source.shippedFile = true;
        source.offset = record.descOffset;
        break;
    case EntryKind::Own:
        if (paths.customDescriptionPath.empty())
            return std::nullopt;
        source.file = paths.customDescriptionPath;
        source.offset = static_cast<int64_t>(record.descOffset) - 1;
        break;
    default:
        return std::nullopt;
    }
    source.length = record.descLength;
    if (record.kind == EntryKind::Supplemented && record.supplementRef >= 0 &&
        static_cast<size_t>(record.supplementRef) < supplementRefs.size()) {
        // A reference that is not two numbers leaves the supplement out.
        using L = SupplementRefLayout;
        const std::string &ref = supplementRefs[static_cast<size_t>(record.supplementRef)];
        long long position = 0, length = 0;
        if (ref.size() == L::lineLength && ReadNumber(ref, L::position, position) &&
            ReadNumber(ref, L::length, length) && !paths.customDescriptionPath.empty()) {
            source.supplementFile = paths.customDescriptionPath;
            source.supplementOffset = position - 1;
            source.supplementLength = length;
        }
    }
    return source;
}

std::optional<Cp1253> ReadDescriptionDocument(const Cp1253 &rtfHeader,
                                              const DescriptionSource &source)
{
    if (source.length > kDescriptionBufferSize)
        return std::nullopt;
    const auto coded = ReadFileRange(source.file, source.offset, source.length);
    if (!coded)
        return std::nullopt;
    Cp1253 body = source.shippedFile
                      ? DescriptionDecode(static_cast<int32_t>(source.offset + 1), *coded)
                      : ShiftCodec(*coded, true);
    // A supplement that cannot be opened, or that is longer than the read buffer, is left out;
    // the shipped text still shows.
    if (!source.supplementFile.empty() && FileExists(source.supplementFile) &&
        source.supplementLength <= kDescriptionBufferSize) {
        const auto supplement =
            ReadFileRange(source.supplementFile, source.supplementOffset, source.supplementLength);
        if (!supplement)
            return std::nullopt;
        body += kSupplementHeading;
        body += ShiftCodec(*supplement, true);
        body += kSupplementSeparator;
    }
    body += kDocumentClosing;
    return rtfHeader + "\r\n" + body + "\r\n";
}

} // namespace termdex
