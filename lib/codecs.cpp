#include "lib/codecs.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace termdex {
namespace {

struct MirrorKeys
{
    int k[3]; // indexed by position mod 3
};

// Key digits from the seed, with C's truncating division as the stored files were made with it.
MirrorKeys KeysFromSeed(int32_t s)
{
    const int b = (s % 1000) + (s % 10);
    const int k2 = (b / 100) % 6;
    const int k1 = ((b % 100) / 10) % 6;
    const int k0 = (b - 10 * k1 - 100 * k2) % 6;
    return {{k0, k1, k2}};
}

// Positions j and m - j are 1-based; j pairs with m - j, so position m itself is untouched.
// Every line of both shipped index files passes through here at each load.
void MirrorInto(int32_t seed, Cp1253View in, int sign, Cp1253 &out)
{
    const size_t n = UntilNul(in).size();
    const size_t h = n / 2, m = 2 * h;
    // The loop below writes 0-based positions 0..m-2; the rest is copied as it stands. Only
    // that part is copied: this runs for every line of both index files at each load.
    out.resize(in.size());
    const size_t kept = m > 0 ? m - 1 : 0;
    if (in.size() > kept)
        std::memcpy(out.data() + kept, in.data() + kept, in.size() - kept);
    const MirrorKeys keys = KeysFromSeed(seed);
    // key[j] = the key of position j, repeating every three; the keys of positions
    // i+1 .. i+8 are then the eight bytes at key + (i+1) mod 3, one word for each phase.
    const unsigned char k0 = static_cast<unsigned char>(sign * keys.k[0]);
    const unsigned char k1 = static_cast<unsigned char>(sign * keys.k[1]);
    const unsigned char k2 = static_cast<unsigned char>(sign * keys.k[2]);
    const unsigned char key[11] = {k0, k1, k2, k0, k1, k2, k0, k1, k2, k0, k1};
    uint64_t keys8[3];
    for (int phase = 0; phase < 3; ++phase)
        std::memcpy(&keys8[phase], key + phase, sizeof keys8[phase]);
    const auto *src = reinterpret_cast<const unsigned char *>(in.data());
    auto *dst = reinterpret_cast<unsigned char *>(out.data());
    // In 0-based terms: dst[i] = src[m-2-i] + key[(i+1) mod 3], and dst[m-2-i] = src[i] + the
    // same key. Eight positions at a time: a byte swap reverses them, and the keys are added
    // byte by byte inside one 64-bit word without carries between the bytes.
    auto add = [](uint64_t a, uint64_t b) {
        constexpr uint64_t low = 0x7F7F7F7F7F7F7F7FULL, high = 0x8080808080808080ULL;
        return ((a & low) + (b & low)) ^ ((a ^ b) & high);
    };
    auto load = [](const unsigned char *p) {
        uint64_t w;
        std::memcpy(&w, p, sizeof w);
        return w;
    };
    size_t i = 0;
    int phase = 1; // (i + 1) mod 3; eight positions on, it moves by 2
    for (; i + 8 <= h; i += 8, phase = (phase + 2) % 3) {
        const uint64_t front = add(__builtin_bswap64(load(src + m - 9 - i)), keys8[phase]);
        const uint64_t back = __builtin_bswap64(add(load(src + i), keys8[phase]));
        std::memcpy(dst + i, &front, sizeof front);
        std::memcpy(dst + m - 9 - i, &back, sizeof back);
    }
    for (; i < h; ++i) {
        const unsigned char k = key[(i + 1) % 3];
        dst[i] = static_cast<unsigned char>(src[m - 2 - i] + k);
        dst[m - 2 - i] = static_cast<unsigned char>(src[i] + k);
    }
}

} // namespace

Cp1253 MirrorDecode(int32_t seed, Cp1253View coded)
{
    Cp1253 out;
    MirrorInto(seed, coded, +1, out);
    return out;
}

Cp1253 MirrorEncode(int32_t seed, Cp1253View plain)
{
    Cp1253 out;
    MirrorInto(seed, plain, -1, out);
    return out;
}

void MirrorDecodeInto(int32_t seed, Cp1253View coded, Cp1253 &out)
{
    MirrorInto(seed, coded, +1, out);
}

// The rolling key digit of the byte at 0-based index p: (seed + p) mod 10, signed as in C.
static int RollingKey(int32_t seed, size_t p)
{
    return static_cast<int>((static_cast<int64_t>(seed) + static_cast<int64_t>(p)) % 10);
}

// One decoded byte: c - k - 28, plus 208 where that falls below 10 (c < k + 38), modulo 256.
static inline unsigned char DecodeByte(unsigned char c, unsigned char k)
{
    const unsigned char d = static_cast<unsigned char>(c - k - 28);
    return static_cast<unsigned char>(c < k + 38 ? d + 208 : d);
}

Cp1253 DescriptionDecode(int32_t seed, Cp1253View coded)
{
    coded = UntilNul(coded);
    Cp1253 out(coded.size(), '\0');
    const auto *in = reinterpret_cast<const unsigned char *>(coded.data());
    auto *dst = reinterpret_cast<unsigned char *>(out.data());
    const size_t n = coded.size();
    size_t p = 0;
    if (seed >= 0) {
        // The key runs 0, 1, ..., 9 again and again, so after the first bytes up to a key of 0
        // whole blocks decode against a fixed pattern, which the compiler vectorizes: the
        // full-text search decodes every description of the dictionary.
        static constexpr unsigned char kKeys[80] = {
            0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 6,
            7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3,
            4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        for (; p < n && RollingKey(seed, p) != 0; ++p)
            dst[p] = DecodeByte(in[p], static_cast<unsigned char>(RollingKey(seed, p)));
        for (; p + sizeof kKeys <= n; p += sizeof kKeys)
            for (size_t i = 0; i < sizeof kKeys; ++i)
                dst[p + i] = DecodeByte(in[p + i], kKeys[i]);
    }
    // The rest, and every byte of a negative seed, whose keys are C remainders of either sign.
    for (; p < n; ++p) {
        int d = in[p] - RollingKey(seed, p) - 28;
        if (d < 10)
            d += 208;
        dst[p] = static_cast<unsigned char>(d);
    }
    return out;
}

Cp1253 DescriptionEncode(int32_t seed, Cp1253View plain)
{
    plain = UntilNul(plain);
    Cp1253 out(plain.size(), '\0');
    for (size_t p = 0; p < plain.size(); ++p) {
        int e = (static_cast<unsigned char>(plain[p]) + 28 + RollingKey(seed, p)) & 0xFF;
        if (e > 217)
            e -= 208;
        out[p] = static_cast<char>(e);
    }
    return out;
}

Cp1253 ShiftCodec(Cp1253View text, bool decode)
{
    text = UntilNul(text);
    Cp1253 out(text.size(), '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const int k = static_cast<int>((i + 1) % 5);
        const int c = static_cast<unsigned char>(text[i]);
        int r;
        if (decode) {
            r = c - k - 30;
            if (r < 32)
                r += 223;
        } else {
            r = c + k + 30;
            if (r > 254)
                r -= 223;
        }
        out[i] = static_cast<char>(r);
    }
    return out;
}

} // namespace termdex
