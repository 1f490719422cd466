#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "TextCodec.h"
#include "TextFile.h"

namespace {

namespace fs = std::filesystem;

const std::string kMorvaneCp932 = "\x83\x82\x83\x8B\x83\x94\x83\x40\x83\x93";  // モルヴァン

TEST(TextCodec, ConvertsBetweenUtf8AndCp932) {
    EXPECT_EQ(Utf8ToCp932("モルヴァン"), kMorvaneCp932);
    EXPECT_EQ(Cp932ToUtf8(kMorvaneCp932), "モルヴァン");
    EXPECT_EQ(Utf8ToCp932("あなた１"), "\x82\xA0\x82\xC8\x82\xBD\x82\x50");
    EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80"
                          "b"),
              "a?b");  // no CP932 form
    EXPECT_EQ(Cp932ToUtf8("a\x80"
                          "b"),
              "a?b");
    EXPECT_TRUE(IsValidUtf8("モルヴァン"));
    for (const char* bad : {"\x83\x82", "\xC0\xAF", "\xED\xA0\x80", "\xE3\x83"}) {
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    }
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBFx"), "x");
    EXPECT_EQ(DecodeFileText(kMorvaneCp932), "モルヴァン");
}

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               (std::string("morvane-text-") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const char* name) const { return (dir_ / name).string(); }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    long Entries() const {
        return std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
    }

    fs::path dir_;
};

TEST_F(TextFileTest, WritesCp932WithCrLfAndReadsBothEncodings) {
    const std::string path = Path("a.ini");
    ASSERT_TRUE(WriteTextFileAtomically(path, {"[モルヴァン]", "", "Kind = Record"}));
    EXPECT_EQ(Read(path), "[" + kMorvaneCp932 + "]\r\n\r\nKind = Record\r\n");
    EXPECT_EQ(ReadTextLines(path, 1023),
              (std::vector<std::string>{"[モルヴァン]", "", "Kind = Record"}));
    EXPECT_EQ(Entries(), 1);  // no temporary file left

    Write(path, "\xEF\xBB\xBFName = モルヴァン\nlast");
    EXPECT_EQ(ReadTextLines(path, 1023), (std::vector<std::string>{"Name = モルヴァン", "last"}));
    EXPECT_FALSE(ReadTextLines(Path("none.ini"), 1023));
}

TEST_F(TextFileTest, StopsBeforeAnOverlongLine) {
    const std::string path = Path("c.ini");
    Write(path, "a\r\n" + std::string(1022, 'x') + "\r\n" + std::string(1023, 'y') + "\r\nz\r\n");
    const auto lines = ReadTextLines(path, 1022);
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 2u);
    EXPECT_EQ((*lines)[1].size(), 1022u);
}

TEST_F(TextFileTest, FailedWriteKeepsTheOldFile) {
    const std::string path = Path("keep.ini");
    Write(path, "old\r\n");
    fs::create_directories(dir_ / "sub" / "x");  // a folder in the way of the rename
    EXPECT_FALSE(WriteTextFileAtomically(Path("sub"), {"new"}));
    EXPECT_FALSE(WriteTextFileAtomically(Path("missing/dir.ini"), {"new"}));
    EXPECT_EQ(Read(path), "old\r\n");
    EXPECT_EQ(Entries(), 2);  // the old file and the folder, no temporary files
}

}  // namespace
