#include "lib/codecs.h"

#include <gtest/gtest.h>

#include <random>

namespace termdex {
namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

std::string AllBytesFrom(int first, int last)
{
    std::string s;
    for (int b = first; b <= last; ++b)
        s += static_cast<char>(b);
    return s;
}

TEST(CodecsTest, EmptyAndShortInputs)
{
    EXPECT_EQ(MirrorDecode(7, ""), "");
    EXPECT_EQ(MirrorEncode(7, ""), "");
    EXPECT_EQ(DescriptionDecode(1, ""), "");
    EXPECT_EQ(ShiftCodec("", true), "");
    // h = 0: nothing moves.
    EXPECT_EQ(MirrorDecode(123, "x"), "x");
    EXPECT_EQ(MirrorEncode(123, "x"), "x");
}

TEST(CodecsTest, MirrorKeysAndPairing)
{
    // Seed 1: b = 1 + 1 = 2, k2 = 0, k1 = 0, k0 = 2. Two characters: j = 1 pairs with itself
    // (key k1 = 0), the second is copied.
    EXPECT_EQ(MirrorDecode(1, "ab"), "ab");
    // Seed 15: b = 20, k1 = 2; only the first of two characters moves.
    EXPECT_EQ(MirrorDecode(15, "ab"), "cb");
    // Seed 57: b = 57 + 7 = 64, k2 = 0, k1 = 6 mod 6 = 0, k0 = 64 mod 6 = 4.
    // Seed 123: b = 123 + 3 = 126, k2 = 1, k1 = 2, k0 = (126 - 20 - 100) mod 6 = 0.
    // Five characters "abcde": h = 2, m = 4; j = 1 (k1 = 2): out1 = in3 + 2, out3 = in1 + 2;
    // j = 2 (k2 = 1): out2 = in2 + 1; positions 4 and 5 copied.
    EXPECT_EQ(MirrorDecode(123, "abcde"), "eccde");
    // Odd length: the last two characters stay where they are.
    const std::string out = MirrorEncode(99, "0123456");
    EXPECT_EQ(out.substr(5), "56");
}

TEST(CodecsTest, MirrorRoundTripsEveryByteForManySeeds)
{
    // From 6 up: encoding subtracts at most 5, so the coded text holds no NUL that would end it.
    const std::string all = AllBytesFrom(6, 255);
    for (int32_t seed : {0, 1, 2, 5, 9, 10, 99, 100, 999, 1000, 1234, 29999, 30001, 99999}) {
        EXPECT_EQ(MirrorDecode(seed, MirrorEncode(seed, all)), all) << seed;
        EXPECT_EQ(MirrorDecode(seed, MirrorEncode(seed, all.substr(3))), all.substr(3)) << seed;
    }
}

TEST(CodecsTest, MirrorCopiesBytesAfterNul)
{
    const std::string in = std::string("abcd") + '\0' + "xyz";
    const std::string out = MirrorDecode(123, in);
    ASSERT_EQ(out.size(), in.size());
    EXPECT_EQ(out.substr(4), in.substr(4));
}

TEST(CodecsTest, DescriptionCodecExamples)
{
    // Byte 30 at position 1, seed 1: 30 - 1 - 28 = 1, below 10, so 209.
    EXPECT_EQ(DescriptionDecode(1, Bytes({30})), Bytes({209}));
    // Offset 999 decodes with seed 1000: key digits 0, 1, 2, ...
    EXPECT_EQ(DescriptionDecode(1000, Bytes({28 + 65, 29 + 65, 30 + 65})), "AAA");
    // Plain 200 at a position p with p mod 10 = 5 is stored as 25, and comes back.
    EXPECT_EQ(DescriptionEncode(5, Bytes({200})), Bytes({25}));
    EXPECT_EQ(DescriptionDecode(15, Bytes({25})), Bytes({200}));
}

TEST(CodecsTest, DescriptionRoundTripsItsRange)
{
    const std::string range = AllBytesFrom(10, 217);
    for (int32_t seed = 1; seed < 40; ++seed)
        EXPECT_EQ(DescriptionDecode(seed, DescriptionEncode(seed, range)), range) << seed;
    // Outside 10..217 a byte does not come back.
    EXPECT_NE(DescriptionDecode(1, DescriptionEncode(1, Bytes({250}))), Bytes({250}));
}

TEST(CodecsTest, ShiftCodecExamples)
{
    EXPECT_EQ(ShiftCodec("abc", false), Bytes({0x80, 0x82, 0x84}));
    EXPECT_EQ(ShiftCodec(Bytes({0x80, 0x82, 0x84}), true), "abc");
    // 250 at position 4: 250 + 4 + 30 - 223 = 61; back: 61 - 34 = 27 < 32, so 250.
    EXPECT_EQ(ShiftCodec(Bytes({'x', 'x', 'x', 250}), false)[3], static_cast<char>(61));
    EXPECT_EQ(ShiftCodec(Bytes({'x', 'x', 'x', 61}), true)[3], static_cast<char>(250));
}

TEST(CodecsTest, ShiftCodecRoundTripsPrintableBytesAtEveryPosition)
{
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> byte(32, 254);
    for (int trial = 0; trial < 50; ++trial) {
        std::string s;
        for (int i = 0; i < 1 + trial * 7; ++i)
            s += static_cast<char>(byte(rng));
        EXPECT_EQ(ShiftCodec(ShiftCodec(s, false), true), s);
    }
    // Control characters do not survive, which is why stored texts carry no line breaks.
    EXPECT_NE(ShiftCodec(ShiftCodec("\r", false), true), "\r");
}

TEST(CodecsTest, NonMirrorCodecsStopAtNul)
{
    const std::string in = std::string("ab") + '\0' + "cd";
    EXPECT_EQ(ShiftCodec(in, false).size(), 2u);
    EXPECT_EQ(DescriptionDecode(1, in).size(), 2u);
}

} // namespace
} // namespace termdex
