#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "TextCodec.h"
#include "TextFile.h"

namespace {

namespace fs = std::filesystem;

// "モルヴァン" as code page 932 bytes.
const std::string kMorvaneCp932 = "\x83\x82\x83\x8B\x83\x94\x83\x40\x83\x93";

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() /
            ("morvane-text-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const char* name) const { return (dir_ / name).string(); }
    void WriteBytes(const std::string& path, const std::string& bytes) const {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string ReadBytes(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    fs::path dir_;
};

TEST(TextCodec, Cp932RoundTrip) {
    EXPECT_EQ(Utf8ToCp932("モルヴァン"), kMorvaneCp932);
    EXPECT_EQ(Cp932ToUtf8(kMorvaneCp932), "モルヴァン");
    EXPECT_EQ(Utf8ToCp932("あなた１２"), "\x82\xA0\x82\xC8\x82\xBD\x82\x50\x82\x51");
    EXPECT_EQ(Utf8ToCp932("abc"), "abc");
}

TEST(TextCodec, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80"
                          "b"),
              "a?b");  // an emoji has no CP932 form
    EXPECT_EQ(Cp932ToUtf8("a\x80"
                          "b"),
              "a?b");
}

TEST(TextCodec, Utf8Validation) {
    EXPECT_TRUE(IsValidUtf8("plain ascii"));
    EXPECT_TRUE(IsValidUtf8("モルヴァン"));
    EXPECT_FALSE(IsValidUtf8(kMorvaneCp932));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE3\x83"));      // cut short
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBFx"), "x");
    EXPECT_EQ(DecodeFileText(kMorvaneCp932), "モルヴァン");
}

TEST_F(TextFileTest, WritesCp932WithCrLfAndReadsItBack) {
    const std::string path = Path("a.ini");
    ASSERT_TRUE(WriteTextFileAtomically(path, {"[モルヴァン]", "", "Kind = Record"}));
    EXPECT_EQ(ReadBytes(path), "[" + kMorvaneCp932 + "]\r\n\r\nKind = Record\r\n");
    const auto lines = ReadTextLines(path, 1023);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (std::vector<std::string>{"[モルヴァン]", "", "Kind = Record"}));
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(TextFileTest, ReadsUtf8AndLfOnlyFiles) {
    const std::string path = Path("b.ini");
    WriteBytes(path, "\xEF\xBB\xBFName = モルヴァン\nlast");
    const auto lines = ReadTextLines(path, 1023);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (std::vector<std::string>{"Name = モルヴァン", "last"}));
}

TEST_F(TextFileTest, StopsBeforeAnOverlongLine) {
    const std::string path = Path("c.ini");
    WriteBytes(
        path, "a\r\n" + std::string(1022, 'x') + "\r\n" + std::string(1023, 'y') + "\r\nafter\r\n");
    const auto lines = ReadTextLines(path, 1022);
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 2u);
    EXPECT_EQ((*lines)[1].size(), 1022u);
}

TEST_F(TextFileTest, MissingFileIsNotOpened) {
    EXPECT_FALSE(ReadTextLines(Path("none.ini"), 1023));
}

TEST_F(TextFileTest, FailedWriteKeepsTheOldFile) {
    const std::string path = Path("keep.ini");
    WriteBytes(path, "old\r\n");
    // A directory in the way of the rename makes the write fail.
    const std::string blocked = Path("sub");
    fs::create_directories(fs::path(blocked) / "x");
    EXPECT_FALSE(WriteTextFileAtomically(blocked, {"new"}));
    EXPECT_FALSE(WriteTextFileAtomically(Path("missing/dir.ini"), {"new"}));
    EXPECT_EQ(ReadBytes(path), "old\r\n");
    // Only the old file and the blocking folder remain: no temporary files.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

}  // namespace
