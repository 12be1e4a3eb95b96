// A program folder in a temporary directory, with index and description files written through
// the program's own encoders, so tests state their data as plain lines.
#pragma once

#include "data/index_line.h"
#include "data/paths.h"
#include "lib/codecs.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace termdex::testing {

inline std::string Pad(std::string text, size_t width)
{
    text.resize(width, ' ');
    return text;
}

inline std::string Digits(long long value, int width)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lld", width, value);
    return buffer;
}

// Whole index lines as the program writes them (data/index_line.h); Pad and Digits above build
// the broken ones.
inline std::string EnglishLine(int id, const std::string &headword, long long offset, int length,
                               int matchStart = 1)
{
    return FormatShippedEnglishLine(id, headword, offset, length, matchStart);
}

inline std::string GreekLine(int id, const std::string &headword)
{
    return FormatShippedGreekLine(id, headword);
}

inline std::string CustomEnglishLine(int anchor, int id, const std::string &headword,
                                     long long position, int length)
{
    return FormatCustomEnglishLine(Digits(anchor, 5), id, headword, position, length);
}

// The headword padded to its 80 columns: the edits write it unpadded, the load reads both.
inline std::string CustomGreekLine(int anchor, int id, const std::string &headword)
{
    return FormatCustomGreekLine(anchor, id, Pad(headword, 80));
}

class ProgramFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        // The process id keeps two runs of the same test (two build folders, one machine)
        // out of each other's folder.
        m_root = std::filesystem::temp_directory_path() /
                 (std::string("termdex-") + info->test_suite_name() + "-" + info->name() + "-" +
                  std::to_string(::getpid()));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root / "program" / "data");
        std::filesystem::create_directories(m_root / "custom" / "Data");
        paths.programFolder = m_root / "program";
        SetCustomPaths(paths, (m_root / "custom").string());
    }
    void TearDown() override { std::filesystem::remove_all(m_root); }

    static void WriteFile(const std::filesystem::path &path, const std::string &bytes)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    // Shipped index lines, each coded with its 1-based line number.
    void WriteShippedIndex(const std::string &name, const std::vector<std::string> &lines)
    {
        std::string file;
        for (size_t i = 0; i < lines.size(); ++i)
            file += MirrorEncode(static_cast<int32_t>(i + 1), lines[i]) + "\r\n";
        WriteFile(paths.programFolder / "data" / name, file);
    }
    static void WriteCustomIndex(const std::string &path, const std::vector<std::string> &lines)
    {
        std::string file;
        for (const std::string &line : lines)
            file += ShiftCodec(line, false) + "\r\n";
        WriteFile(path, file);
    }

    std::filesystem::path m_root;
    ProgramPaths paths;
};

} // namespace termdex::testing
