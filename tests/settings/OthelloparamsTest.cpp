#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "Othelloparams.h"

namespace {

namespace fs = std::filesystem;

class ParamsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               (std::string("morvane-params-") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        params_.FileName = (dir_ / "morvane.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void WriteFile(const std::string& bytes) const {
        std::ofstream(params_.FileName, std::ios::binary) << bytes;
    }
    std::string ReadFile() const {
        std::ifstream in(params_.FileName, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    fs::path dir_;
    OthelloParams params_;
};

std::string Fields(const OthelloParams& p) {
    std::string text;
    for (int v : {p.BoardColor, int{p.SoundEffect}, p.PlayerColor, int{p.CpuMode}, p.CpuLevel,
                  p.PlayerTime, p.CpuTime, int{p.DoAfterTimeUp}, int{p.AutoPass}, p.BoardSize,
                  p.TurnSpeed, int{p.Sizeable}})
        text += std::to_string(v) + ' ';
    return text + '[' + p.PlayerName + "][" + p.CpuName + ']';
}

void ExpectDefaults(const OthelloParams& p) {
    EXPECT_EQ(p.BoardColor, 4227200);
    EXPECT_TRUE(p.SoundEffect);
    EXPECT_EQ(p.PlayerColor, 1);
    EXPECT_EQ(p.CpuMode, 0);
    EXPECT_EQ(p.CpuLevel, 3);
    EXPECT_EQ(p.PlayerTime, 7);
    EXPECT_EQ(p.CpuTime, 1);
    EXPECT_TRUE(p.DoAfterTimeUp);
    EXPECT_FALSE(p.AutoPass);
    EXPECT_EQ(p.BoardSize, 1);
    EXPECT_EQ(p.TurnSpeed, 1);
    EXPECT_EQ(p.PlayerName, "あなた");
    EXPECT_EQ(p.CpuName, "モルヴァン");
    EXPECT_FALSE(p.Sizeable);
}

TEST_F(ParamsFileTest, MissingOrUnreadableFileKeepsDefaultsAndSaveWritesThirteenLines) {
    OthelloParams folder;  // a folder in the file's place reads as no file and cannot be saved
    folder.FileName = dir_.string();
    folder.LoadFromFile();
    ExpectDefaults(folder);
    EXPECT_FALSE(folder.SaveToFile());
    params_.LoadFromFile();
    ExpectDefaults(params_);
    ASSERT_TRUE(params_.SaveToFile());
    EXPECT_EQ(ReadFile(),
              "PlayerColor = 1\r\nBoardColor = 4227200\r\nSoundEffect = 1\r\nCpuMode = 0\r\n"
              "CpuLevel = 3\r\nPlayerTime = 7\r\nCpuTime = 1\r\nDoAfterTimeUp = 1\r\n"
              "AutoPass = 0\r\nBoardSize = 1\r\nTurnSpeed = 1\r\n"
              "PlayerName = \x82\xA0\x82\xC8\x82\xBD\r\n"
              "CpuName = \x83\x82\x83\x8B\x83\x94\x83\x40\x83\x93\r\n");
}

TEST_F(ParamsFileTest, ValueRulesOnReading) {
    WriteFile(
        "[Section]\n"
        "BoardSize = 2\n"
        "   BoardColor=255   # red\n"
        "SoundEffect = 0\nSoundEffect = 5\n"  // the last valid line wins; non-zero is on
        "CpuMode = 2\n"
        "AutoPass = 7\n"
        "playercolor = -1\n"  // keys are case-sensitive
        "PlayerName = 007\n"
        "CpuName =\n"         // empty value: skipped
        "TurnSpeed = fast\n"  // not a number for an integer key: skipped
        "Sizeable = 1\n");
    params_.CpuMode = 1;
    params_.LoadFromFile();
    EXPECT_EQ(params_.BoardColor, 255);
    EXPECT_TRUE(params_.SoundEffect);
    EXPECT_EQ(params_.CpuMode, 0);
    EXPECT_TRUE(params_.AutoPass);
    EXPECT_EQ(params_.PlayerColor, 1);
    EXPECT_EQ(params_.PlayerName, "007");
    EXPECT_EQ(params_.CpuName, "モルヴァン");
    EXPECT_EQ(params_.TurnSpeed, 1);
    EXPECT_TRUE(params_.Sizeable);
    EXPECT_EQ(params_.BoardSize, 2);
    EXPECT_EQ(params_.CpuLevel, 3);  // untouched fields keep their values
}

TEST_F(ParamsFileTest, OutOfRangeValuesAreIgnored) {
    WriteFile(
        "PlayerColor = 0\nCpuLevel = 12\nCpuLevel = -10\nPlayerTime = 8\nCpuTime = 7\n"
        "BoardSize = 5\nTurnSpeed = -1\n");
    params_.LoadFromFile();
    ExpectDefaults(params_);

    WriteFile(
        "PlayerColor = -1\nCpuLevel = 8\nPlayerTime = 0\nCpuTime = 6\nBoardSize = 0\n"
        "TurnSpeed = 2\n");
    params_.LoadFromFile();
    EXPECT_EQ(params_.PlayerColor, -1);
    EXPECT_EQ(params_.CpuLevel, 8);
    EXPECT_EQ(params_.PlayerTime, 0);
    EXPECT_EQ(params_.CpuTime, 6);
    EXPECT_EQ(params_.BoardSize, 0);
    EXPECT_EQ(params_.TurnSpeed, 2);
}

// Every name the dialog accepts comes back; what it refuses can never become another field.
TEST_F(ParamsFileTest, RoundTripKeepsEveryFieldAndNamesCannotBecomeOtherFields) {
    std::string kanji;
    std::string halfWidth;
    for (int i = 0; i < OthelloParams::kMaxNameLength; ++i) {
        kanji += "漢";
        halfWidth += "ﾊ";
    }
    const struct {
        std::string player, cpu, playerBack, cpuBack;
    } cases[] = {
        {"ﾅｶ", "CPU", "ﾅｶ", "CPU"},                    // code page 932 C5 B6 is also UTF-8 for "Ŷ"
        {"ｱｲｳ ﾊﾟﾋﾟ", "ソ表示", "ｱｲｳ ﾊﾟﾋﾟ", "ソ表示"},  // trail bytes equal to "\"
        {"山田 太郎", "★♪！？＠「」～￥", "山田 太郎", "★♪！？＠「」～￥"},
        {"", " 名前 ", "", " 名前 "},  // kept by quotes
        {"\"x\"", "007", "\"x\"", "007"},
        {kanji, halfWidth, kanji, halfWidth},
        {kanji + "字", "¥〜", kanji, "??"},
        {"a#b", "x=y", "a", "モルヴァン"},
        {"a\r\nCpuLevel = 0\nPlayerColor = -1", "b\tc", "あなた", "b?c"},
    };
    for (const auto& c : cases) {
        OthelloParams saved;
        saved.FileName = params_.FileName;
        saved.PlayerName = c.player;
        saved.CpuName = c.cpu;
        saved.Sizeable = true;
        saved.CpuMode = 1;
        saved.BoardColor = 0x123456;
        saved.TurnSpeed = 0;
        ASSERT_TRUE(saved.SaveToFile());
        const std::string bytes = ReadFile();
        EXPECT_EQ(bytes.rfind("Sizeable"), bytes.size() - std::string("Sizeable = 1\r\n").size());
        OthelloParams loaded;
        loaded.FileName = params_.FileName;
        loaded.LoadFromFile();
        saved.PlayerName = c.playerBack;
        saved.CpuName = c.cpuBack;
        EXPECT_EQ(Fields(loaded), Fields(saved)) << c.player;
    }
    params_.LoadFromFile();
    params_.Sizeable = false;
    ASSERT_TRUE(params_.SaveToFile());
    EXPECT_EQ(ReadFile().find("Sizeable"), std::string::npos);
}

TEST(OthelloParams, OnlyNamesThatComeBackExactlyAreStorable) {
    const std::string longest(OthelloParams::kMaxNameLength, 'n');
    for (const std::string name : {"", " 名前 ", "ﾅｶ", "★～", longest.c_str()})
        EXPECT_TRUE(OthelloParams::IsStorableName(name)) << name;
    for (const std::string name : {"a\nb", "a\tb", "\x7F", "¥", "〜", "\xF3\xA0\x80\x81", "😀", "a#",
                                   ";", "=", (longest + "n").c_str()})
        EXPECT_FALSE(OthelloParams::IsStorableName(name)) << name;
}

TEST_F(ParamsFileTest, Utf8FileAndOverlongLine) {
    WriteFile("PlayerName = 花子\n" + std::string(1023, 'x') + "\nTurnSpeed = 0\n");
    params_.LoadFromFile();
    EXPECT_EQ(params_.PlayerName, "花子");
    EXPECT_EQ(params_.TurnSpeed, 1);  // after the overlong line nothing is read
}

}  // namespace
