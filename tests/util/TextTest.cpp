#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "ScratchDir.h"
#include "TextCodec.h"
#include "TextFile.h"

namespace {

namespace fs = std::filesystem;

const std::string kMorvaneCp932 = "\x83\x82\x83\x8B\x83\x94\x83\x40\x83\x93";  // モルヴァン

TEST(TextCodec, ConvertsBetweenUtf8AndCp932) {
    EXPECT_EQ(Utf8ToCp932("あなた１～"), "\x82\xA0\x82\xC8\x82\xBD\x82\x50\x81\x60");
    // No code, a look-alike that reads back as another character, an invisible tag, invalid
    // UTF-8 (one "?" a byte, the next character kept).
    EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80|¢£¥¬—‖‾−〜|\xF3\xA0\x80\x81|\xE3\x41"),
              "a?|?????????|?|?A");
    EXPECT_EQ(Cp932ToUtf8(std::string("a\x80") + "b\x81"), "a?b?");
    for (const char* bad : {"\x83\x82", "\xC0\xAF", "\xED\xA0\x80", "\xE3\x83"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

// The file encoding: our code page 932 unless those bytes would read as UTF-8, and back.
TEST(TextCodec, EveryWrittenFileReadsBack) {
    const std::pair<const char*, std::string> cases[] = {
        {"Name = モルヴァン", "Name = " + kMorvaneCp932},
        {"縺Ａ", "\xEF\xBB\xBF縺Ａ"},  // E3 81 82 60 would be "あ`"
        {"\xEF\xBB\xBF", "?"},         // the mark itself has no code
    };
    for (const auto& [text, written] : cases) {
        EXPECT_EQ(EncodeFileText(text), written) << text;
        EXPECT_EQ(DecodeFileText(written), AsCp932Text(text)) << text;
    }
    // Saved by a UTF-8 editor; "é" has no code page 932 code, so those bytes are code page 932's.
    EXPECT_EQ(DecodeFileText("花子"), "花子");
    EXPECT_EQ(DecodeFileText("Jos\xC3\xA9"), "Josﾃｩ");
    EXPECT_EQ(DecodeFileText("\xEF\xBB\xBFx\xC5"), "x?");
    // Every pair of half-width katakana, as the original program wrote names: some pass for UTF-8
    // ("ﾅｶ" C5 B6 for "Ŷ", "ﾎｼ" CE BC for "μ", which code page 932 holds).
    for (int pair = 0; pair < 63 * 63; ++pair) {
        std::string bytes = "=", text = "=";
        for (const int byte : {0xA1 + pair / 63, 0xA1 + pair % 63}) {
            const int code = 0xFF61 + byte - 0xA1;  // "｡" .. "ﾟ"
            bytes += static_cast<char>(byte);
            text += {'\xEF', static_cast<char>(0x80 | (code >> 6 & 0x3F)),
                     static_cast<char>(0x80 | (code & 0x3F))};
        }
        ASSERT_EQ(DecodeFileText(bytes), text) << pair;
        ASSERT_EQ(EncodeFileText(text), bytes) << pair;
    }
}

using TextFileTest = ScratchDir;

TEST_F(TextFileTest, WritesCp932WithCrLfAndReadsBothEncodingsUpToAnOverlongLine) {
    const std::string path = Path("a.ini");
    // A control character inside a line can never start another line.
    ASSERT_TRUE(WriteTextFileAtomically(path, {"[モルヴァン]", "", "Kind = Record\r\nx\t\x7F"}));
    EXPECT_EQ(Read("a.ini"), "[" + kMorvaneCp932 + "]\r\n\r\nKind = Record??x??\r\n");
    EXPECT_EQ(ReadTextLines(path, 1023),
              (std::vector<std::string>{"[モルヴァン]", "", "Kind = Record??x??"}));
    EXPECT_EQ(Entries(), 1);  // no temporary file left

    Write("a.ini", "\xEF\xBB\xBFName = モルヴァン\nlast");
    EXPECT_EQ(ReadTextLines(path, 1023), (std::vector<std::string>{"Name = モルヴァン", "last"}));
    Write("a.ini",
          "a\r\n" + std::string(1022, 'x') + "\r\n" + std::string(1023, 'y') + "\r\nz\r\n");
    EXPECT_EQ(ReadTextLines(path, 1022), (std::vector<std::string>{"a", std::string(1022, 'x')}));
}

// Ordinary file permissions apply to root only through another user.
template <class F>
auto AsOrdinaryUser(F f) {
    const bool root = geteuid() == 0;
    const bool dropped = root && seteuid(65534) == 0;
    EXPECT_EQ(dropped, root);
    const auto result = f();
    const bool restored = !dropped || seteuid(0) == 0;
    EXPECT_TRUE(restored);
    return result;
}

TEST_F(TextFileTest, WhatCannotBeReadIsLikeAMissingFile) {
    fs::create_directory(Path("folder"));
    Write("secret.ini", "a\n");
    fs::permissions(Path("secret.ini"), fs::perms::none);
    ASSERT_EQ(mkfifo(Path("pipe").c_str(), 0666), 0);
    std::string shortLines;  // no line over the limit, but more than any file of ours
    while (shortLines.size() <= kMaxTextFileBytes)
        shortLines += "x\n";
    Write("big.ini", shortLines);
    Write("largest.ini", shortLines.substr(0, kMaxTextFileBytes));
    for (const std::string& path : {Path("none.ini"), Path("folder"), Path("secret.ini"),
                                    Path("pipe"), std::string("/dev/zero"),
                                    std::string("/proc/self/mem"),  // an I/O error at offset 0
                                    Path("big.ini")}) {
        EXPECT_FALSE(AsOrdinaryUser([&] { return ReadTextLines(path, 1023); })) << path;
    }
    EXPECT_EQ(ReadTextLines(Path("largest.ini"), 1023)->size(), kMaxTextFileBytes / 2);
}

TEST_F(TextFileTest, SavesFollowLinksKeepPermissionsAndFallBackInPlace) {
    Write("real.ini", "old\r\n");
    fs::permissions(Path("real.ini"), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real.ini", Path("link.ini"));
    fs::create_symlink("new.ini", Path("dangling.ini"));
    const std::string longName(251, 'n');  // the limit is 255
    for (const std::string& path : {Path("link.ini"), Path("dangling.ini"), Path(longName)})
        EXPECT_TRUE(WriteTextFileAtomically(path, {"new"})) << path;
    EXPECT_TRUE(fs::is_symlink(Path("link.ini")) && fs::is_symlink(Path("dangling.ini")));
    EXPECT_EQ(Read("real.ini") + Read("new.ini") + Read(longName), "new\r\nnew\r\nnew\r\n");
    EXPECT_EQ(fs::status(Path("real.ini")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    // A folder that takes no new file: the writable file is rewritten where it is.
    fs::create_directory(Path("locked"));
    Write("locked/morvane.ini", "a much longer old text\r\n");
    fs::permissions(Path("locked/morvane.ini"), fs::perms::all);
    fs::permissions(Path("locked"), fs::perms::all & ~fs::perms::owner_write &
                                        ~fs::perms::group_write & ~fs::perms::others_write);
    EXPECT_TRUE(AsOrdinaryUser(
        [&] { return WriteTextFileAtomically(Path("locked/morvane.ini"), {"new"}); }));
    EXPECT_EQ(Read("locked/morvane.ini"), "new\r\n");
    fs::permissions(Path("locked"), fs::perms::all);
    EXPECT_EQ(Entries(), 6);  // no temporary files
}

TEST_F(TextFileTest, FailedWriteKeepsTheOldFile) {
    const std::string path = Write("keep.ini", "old\r\n");
    Write("readonly.ini", "old\r\n");
    fs::permissions(Path("readonly.ini"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_directories(dir_ / "sub" / "x");  // a folder in the way of the rename
    for (const std::string& target : {Path("sub"), Path("missing/dir.ini"), Path("readonly.ini")})
        EXPECT_FALSE(AsOrdinaryUser([&] { return WriteTextFileAtomically(target, {"new"}); }));
    EXPECT_EQ(Read("readonly.ini"), "old\r\n");

    // A disk that fills up half-way: files may not grow beyond 8 bytes. The write must fail
    // cleanly, not end the program with SIGXFSZ.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const rlimit small{8, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteTextFileAtomically(path, {"a longer text"});
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_EQ(Read("keep.ini"), "old\r\n");
    EXPECT_EQ(Entries(), 3);  // the two old files and the folder, no temporary files
}

}  // namespace
