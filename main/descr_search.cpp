#include "main/descr_search.h"

#include "lib/codecs.h"
#include "lib/files.h"
#include "lib/folding.h"
#include "richtext/plain_text.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace termdex {
namespace {

// Offsets and positions are 8-digit fields, so no text starts beyond this many bytes of a file;
// reading further would only spend memory.
constexpr int64_t kAddressableBytes = 99'999'999LL + kSearchReadBuffer + 1;
constexpr int kBlockRecords = 64;

// A description file held in memory for one search.
class FileBytes
{
public:
    bool Load(const std::filesystem::path &path)
    {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path, ec);
        if (ec)
            return false;
        auto bytes = ReadFileRange(
            path, 0, std::min<int64_t>(static_cast<int64_t>(size), kAddressableBytes));
        if (!bytes)
            return false;
        m_bytes = std::move(*bytes);
        m_open = true;
        return true;
    }
    bool open() const { return m_open; }
    // length bytes at a 0-based offset; nullopt when they do not all lie in the file.
    std::optional<Cp1253View> Slice(int64_t offset, int64_t length) const
    {
        if (offset < 0 || length < 0 || offset > static_cast<int64_t>(m_bytes.size()) ||
            length > static_cast<int64_t>(m_bytes.size()) - offset)
            return std::nullopt;
        return Cp1253View(m_bytes).substr(static_cast<size_t>(offset), static_cast<size_t>(length));
    }

private:
    std::string m_bytes;
    bool m_open = false;
};

// The shipped description file, open for the whole search. Both threads read it at once, each
// the texts of its own records, so no thread waits for the whole file to be read first.
class SharedFile
{
public:
    SharedFile() = default;
    SharedFile(const SharedFile &) = delete;
    SharedFile &operator=(const SharedFile &) = delete;
    ~SharedFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    bool Open(const std::filesystem::path &path)
    {
        m_fd = OpenRegularFile(path);
        if (m_fd < 0)
            return false;
        struct stat status
        {
        };
        if (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            ::close(m_fd);
            m_fd = -1;
            return false;
        }
        m_size = std::min<int64_t>(static_cast<int64_t>(status.st_size), kAddressableBytes);
        return true;
    }
    // The bytes that texts may lie in: the file's size, or less when it is larger than any
    // offset can reach.
    int64_t size() const { return m_size; }
    // True when length bytes at a 0-based offset all lie within size().
    bool Holds(int64_t offset, int64_t length) const
    {
        return offset >= 0 && length >= 0 && offset <= m_size && length <= m_size - offset;
    }
    // Those bytes into out; false when they do not all lie in the file or cannot be read.
    bool Read(int64_t offset, int64_t length, std::string &out) const
    {
        if (!Holds(offset, length))
            return false;
        out.resize(static_cast<size_t>(length));
        int64_t done = 0;
        while (done < length) {
            const ssize_t got = ::pread(m_fd, out.data() + done, static_cast<size_t>(length - done),
                                        static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false; // an error, or the file has become shorter
            done += got;
        }
        return true;
    }

private:
    int m_fd = -1;
    int64_t m_size = 0;
};

struct SearchInput
{
    const EntryIndex &index;
    const std::vector<std::string> &supplementRefs;
    const Cp1253 &rtfHeader;
    const SharedFile &shipped;
    const FileBytes &custom;
    bool greek;
};

// One thread's decoded shipped texts. The texts of a block of records lie together in the file
// (it is written in English order), so a block is read with one read and decoded in one pass;
// a text outside the block's piece is read alone. The codec's key follows the file position,
// so a piece decoded from its first position decodes each text in it as that text's own seed
// would, up to the first NUL byte, where the codec ends its output.
class ShippedTexts
{
public:
    explicit ShippedTexts(const SharedFile &file) : m_file(file) {}

    // Reads the texts that records first .. last (1-based English slots) will ask for, when they
    // lie close enough together that one read of the whole span wastes little.
    void Prepare(const EntryIndex &index, int first, int last)
    {
        m_pieceValid = false;
        int64_t begin = m_file.size(), end = 0, used = 0;
        for (int r = first; r <= last; ++r) {
            const IndexRecord &record = index.english[r];
            const bool shippedText =
                record.kind == EntryKind::Shipped || record.kind == EntryKind::Supplemented;
            if (!shippedText || record.descLength > kSearchReadBuffer ||
                !m_file.Holds(record.descOffset, record.descLength))
                continue;
            begin = std::min<int64_t>(begin, record.descOffset);
            end = std::max<int64_t>(end, int64_t(record.descOffset) + record.descLength);
            used += record.descLength;
        }
        if (end <= begin || end - begin > 2 * used + kSearchReadBuffer ||
            !m_file.Read(begin, end - begin, m_coded))
            return;
        m_piece = DescriptionDecode(static_cast<int32_t>(begin + 1), m_coded);
        m_pieceBegin = begin;
        m_pieceValid = true;
    }

    // The decoded text of length bytes at a 0-based offset, as DescriptionDecode(offset + 1,
    // those bytes) gives it; nullopt when the bytes do not all lie in the file.
    std::optional<Cp1253View> Text(int64_t offset, int64_t length)
    {
        if (!m_file.Holds(offset, length))
            return std::nullopt;
        if (m_pieceValid && offset >= m_pieceBegin &&
            offset - m_pieceBegin + length <= static_cast<int64_t>(m_piece.size()))
            return Cp1253View(m_piece).substr(static_cast<size_t>(offset - m_pieceBegin),
                                              static_cast<size_t>(length));
        if (!m_file.Read(offset, length, m_single))
            return std::nullopt;
        m_singleDecoded = DescriptionDecode(static_cast<int32_t>(offset + 1), m_single);
        return Cp1253View(m_singleDecoded);
    }

private:
    const SharedFile &m_file;
    std::string m_coded;
    Cp1253 m_piece; // decoded, up to the piece's first NUL byte
    int64_t m_pieceBegin = 0;
    bool m_pieceValid = false;
    std::string m_single;
    Cp1253 m_singleDecoded;
};

// The supplement of an 'A' record: "PPPPPPPPLLLLL", 1-based position and length. A reference
// that is not two numbers leaves the supplement out, as the display does.
bool SupplementPlace(const SearchInput &in, const IndexRecord &record, int64_t &offset,
                     int64_t &length)
{
    if (record.supplementRef < 0 ||
        static_cast<size_t>(record.supplementRef) >= in.supplementRefs.size())
        return false;
    const std::string_view ref = in.supplementRefs[static_cast<size_t>(record.supplementRef)];
    long long position = 0, bytes = 0;
    if (ref.size() != 13 || !ParseFixedNumber(ref.substr(0, 8), position) ||
        !ParseFixedNumber(ref.substr(8, 5), bytes))
        return false;
    offset = position - 1;
    length = bytes;
    return true;
}

// Renders records one after another, reusing its buffers; the document preamble (the header
// line and its line end) is read once, not once per record.
class RecordRenderer
{
public:
    explicit RecordRenderer(const SearchInput &in)
        : m_in(in), m_shipped(in.shipped), m_preamble(Cp1253(in.rtfHeader) + "\r\n")
    {
    }

    // Records first .. last come next: their shipped texts are read together.
    void Prepare(int first, int last) { m_shipped.Prepare(m_in.index, first, last); }

    // The folded plain text of record r into folded; false when a text could not be read.
    bool FoldedText(int r, Cp1253 &folded)
    {
        const IndexRecord &record = m_in.index.english[r];
        m_document.clear();
        if (record.kind == EntryKind::Shipped || record.kind == EntryKind::Supplemented) {
            if (record.descLength <= kSearchReadBuffer) {
                const auto text = m_shipped.Text(record.descOffset, record.descLength);
                if (!text)
                    return false;
                m_document += *text;
            }
            m_document += ' ';
        }
        if (m_in.custom.open()) {
            int64_t offset = 0, length = 0;
            if (record.kind == EntryKind::Supplemented &&
                SupplementPlace(m_in, record, offset, length)) {
                if (length <= kSearchReadBuffer) {
                    const auto coded = m_in.custom.Slice(offset, length);
                    if (!coded)
                        return false;
                    m_document += ShiftCodec(*coded, true);
                }
                m_document += ' ';
            } else if (record.kind == EntryKind::Own) {
                if (record.descLength <= kSearchReadBuffer) {
                    const auto coded = m_in.custom.Slice(
                        static_cast<int64_t>(record.descOffset) - 1, record.descLength);
                    if (!coded)
                        return false;
                    m_document += ShiftCodec(*coded, true);
                }
                m_document += ' ';
            }
        }
        m_document += '}';
        m_plain.clear();
        RtfToPlainText(m_preamble, m_document, m_plain);
        FoldDescriptionText(m_plain, m_in.greek, folded);
        return true;
    }

private:
    const SearchInput &m_in;
    ShippedTexts m_shipped;
    RtfPreamble m_preamble;
    Cp1253 m_document; // the record's text after the preamble
    Cp1253 m_plain;
};

int RecordsToScan(const EntryIndex &index)
{
    int r = 1;
    while (r <= index.englishCount && index.english[r].id != 0)
        ++r;
    return r - 1;
}

// LatinKey and GreekKey without leading-digit dropping work byte by byte and trim the result,
// so each is a byte map (0: the byte is dropped) followed by a trim. The maps are read off the
// functions themselves: a byte above 32 folded alone gives its own image; a blank or control
// byte inside a text is kept as it is (the final trim removes it at either end).
struct FoldMaps
{
    std::array<unsigned char, 256> latin{};
    std::array<unsigned char, 256> greek{};
    FoldMaps()
    {
        for (int c = 1; c < 256; ++c) {
            const Cp1253 one(1, static_cast<char>(c));
            if (c <= 32) {
                latin[c] = greek[c] = static_cast<unsigned char>(c);
                continue;
            }
            const Cp1253 l = LatinKey(one, false), g = GreekKey(one, false);
            latin[c] = l.empty() ? 0 : static_cast<unsigned char>(l[0]);
            greek[c] = g.empty() ? 0 : static_cast<unsigned char>(g[0]);
        }
    }
};

const FoldMaps &SearchFoldMaps()
{
    static const FoldMaps maps;
    return maps;
}

struct Block
{
    std::vector<int> matches;
    bool done = false;
    bool failed = false; // the block ended at a record that could not be read
};

// Runs work(true) on the calling thread and work(false) beside it on a second one, when a
// second thread is to be had; only the first reports progress.
template <typename Work> void ScanOnTwoThreads(Work &work)
{
    std::thread helper;
    try {
        helper = std::thread(work, false);
    } catch (const std::system_error &) {
        // No second thread to be had: the calling thread scans alone.
    }
    work(true);
    if (helper.joinable())
        helper.join();
}

// Blocks are joined in table order, up to the first one not scanned (a cancel), the first that
// failed, or the match limit: exactly what one thread scanning in order would list.
void JoinBlocks(const std::vector<Block> &blocks, size_t limit, DescrSearchResult &result)
{
    for (const Block &block : blocks) {
        if (!block.done) {
            result.cancelled = true;
            break;
        }
        for (int r : block.matches) {
            if (result.records.size() >= limit)
                break;
            result.records.push_back(r);
        }
        if (result.records.size() >= limit)
            break;
        if (block.failed) {
            result.failed = true;
            break;
        }
    }
}

} // namespace

void FoldDescriptionText(Cp1253View plain, bool greek, Cp1253 &out)
{
    const auto &map = greek ? SearchFoldMaps().greek : SearchFoldMaps().latin;
    plain = UntilNul(plain);
    out.resize(plain.size());
    size_t n = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        const auto c = static_cast<unsigned char>(plain[i]);
        unsigned char m = map[c];
        // The one context-dependent fold: a capital sigma inside a word is "σ" (the map, read
        // off a one-byte text, holds the word-final "ς").
        if (greek && c == kCapitalSigma && !EndsWordAt(plain, i))
            m = kSmallSigma;
        out[n] = static_cast<char>(m);
        n += m != 0;
    }
    size_t first = 0;
    while (first < n && static_cast<unsigned char>(out[first]) <= 32)
        ++first;
    while (n > first && static_cast<unsigned char>(out[n - 1]) <= 32)
        --n;
    out.resize(n);
    if (first > 0)
        out.erase(0, first);
}

std::vector<TextSpan> WholeWordSpans(Cp1253View plain, Cp1253View foldedWord, bool greek)
{
    std::vector<TextSpan> spans;
    foldedWord = UntilNul(foldedWord);
    plain = UntilNul(plain);
    if (foldedWord.empty())
        return spans;
    // The fold of FoldDescriptionText, with the place in plain of each byte kept; the trim at
    // its ends changes no word boundary.
    const auto &map = greek ? SearchFoldMaps().greek : SearchFoldMaps().latin;
    Cp1253 folded;
    std::vector<size_t> from;
    folded.reserve(plain.size());
    from.reserve(plain.size());
    for (size_t i = 0; i < plain.size(); ++i) {
        const auto c = static_cast<unsigned char>(plain[i]);
        unsigned char m = map[c];
        if (greek && c == kCapitalSigma && !EndsWordAt(plain, i))
            m = kSmallSigma;
        if (m == 0)
            continue;
        folded += static_cast<char>(m);
        from.push_back(i);
    }
    auto wordAt = [&](size_t i) { return IsWordCharacter(static_cast<unsigned char>(folded[i])); };
    for (size_t at = folded.find(foldedWord); at != Cp1253::npos;
         at = folded.find(foldedWord, at + 1)) {
        const size_t after = at + foldedWord.size();
        if ((at > 0 && wordAt(at - 1)) || (after < folded.size() && wordAt(after)))
            continue;
        const size_t start = from[at], end = from[after - 1] + 1;
        spans.push_back({start, end - start});
    }
    return spans;
}

Cp1253 DescrSearchWord(Cp1253View entryText, bool greek)
{
    return greek ? FoldGreekLetters(entryText) : AsciiLower(entryText);
}

DescrSearchResult SearchDescriptions(const ProgramPaths &paths, const EntryIndex &index,
                                     const std::vector<std::string> &supplementRefs,
                                     const Cp1253 &rtfHeader, const Cp1253 &word, bool greek,
                                     const DescrSearchOptions &options)
{
    DescrSearchResult result;
    SharedFile shipped;
    FileBytes custom;
    if (!shipped.Open(paths.DescriptionFile())) {
        result.failed = true;
        return result;
    }
    // Without the reader's file, own entries are tested against an empty text.
    if (!paths.customDescriptionPath.empty() && FileExists(paths.customDescriptionPath))
        custom.Load(paths.customDescriptionPath);
    if (UntilNul(word).empty())
        return result; // nothing holds an empty word: the scan would list nothing

    const SearchInput in{index, supplementRefs, rtfHeader, shipped, custom, greek};
    const int total = RecordsToScan(index);
    const int blockCount = (total + kBlockRecords - 1) / kBlockRecords;
    std::vector<Block> blocks(static_cast<size_t>(blockCount));
    std::atomic<int> nextBlock{0};
    std::atomic<int> firstFailedBlock{blockCount};
    std::atomic<int> scanned{0};
    auto cancelled = [&] { return options.cancel != nullptr && options.cancel->load(); };

    auto work = [&](bool reports) {
        RecordRenderer renderer(in);
        Cp1253 folded;
        while (!cancelled()) {
            const int b = nextBlock.fetch_add(1);
            if (b >= blockCount || b > firstFailedBlock.load())
                break;
            Block &block = blocks[static_cast<size_t>(b)];
            const int first = b * kBlockRecords + 1;
            const int last = std::min(total, first + kBlockRecords - 1);
            renderer.Prepare(first, last);
            for (int r = first; r <= last; ++r) {
                if (!renderer.FoldedText(r, folded)) {
                    block.failed = true;
                    int seen = firstFailedBlock.load();
                    while (b < seen && !firstFailedBlock.compare_exchange_weak(seen, b)) {
                    }
                    break;
                }
                if (ContainsWholeWord(folded, word))
                    block.matches.push_back(r);
            }
            block.done = true;
            const int now = scanned.fetch_add(last - first + 1) + (last - first + 1);
            if (reports && options.progress)
                options.progress(now, total);
        }
    };

    int threads = options.threads;
    if (threads <= 0)
        threads = std::thread::hardware_concurrency() >= 2 ? 2 : 1;
    if (threads >= 2 && blockCount > 1) {
        ScanOnTwoThreads(work);
        if (options.progress)
            options.progress(scanned.load(), total);
    } else {
        work(true);
    }
    JoinBlocks(blocks, static_cast<size_t>(std::max(0, options.matchLimit)), result);
    return result;
}

} // namespace termdex
