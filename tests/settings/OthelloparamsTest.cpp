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

// BoardColor SoundEffect PlayerColor CpuMode CpuLevel PlayerTime CpuTime DoAfterTimeUp AutoPass
// BoardSize TurnSpeed Sizeable [PlayerName][CpuName]
const std::string kDefaults = "4227200 1 1 0 3 7 1 1 0 1 1 0 [あなた][モルヴァン]";

TEST_F(ParamsFileTest, MissingOrUnreadableFileKeepsDefaultsAndSaveWritesThirteenLines) {
    OthelloParams folder;  // a folder in the file's place reads as no file and cannot be saved
    folder.FileName = dir_.string();
    folder.LoadFromFile();
    EXPECT_EQ(Fields(folder), kDefaults);
    EXPECT_FALSE(folder.SaveToFile());
    params_.LoadFromFile();
    EXPECT_EQ(Fields(params_), kDefaults);
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
    // Untouched fields keep their values.
    EXPECT_EQ(Fields(params_), "255 1 1 0 3 7 1 1 1 2 1 1 [007][モルヴァン]");
}

TEST_F(ParamsFileTest, OutOfRangeValuesAreIgnored) {
    WriteFile(
        "PlayerColor = 0\nCpuLevel = 12\nCpuLevel = -10\nPlayerTime = 8\nCpuTime = 7\n"
        "BoardSize = 5\nTurnSpeed = -1\n");
    params_.LoadFromFile();
    EXPECT_EQ(Fields(params_), kDefaults);

    WriteFile(
        "PlayerColor = -1\nCpuLevel = 8\nPlayerTime = 0\nCpuTime = 6\nBoardSize = 0\n"
        "TurnSpeed = 2\n");
    params_.LoadFromFile();
    EXPECT_EQ(Fields(params_), "4227200 1 -1 0 8 0 6 1 0 0 2 0 [あなた][モルヴァン]");
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
    const std::string tooLong = longest + "n";
    for (const std::string name : {"", " 名前 ", "ﾅｶ", "★～", longest.c_str()})
        EXPECT_TRUE(OthelloParams::IsStorableName(name)) << name;
    for (const std::string name : {"a\nb", "a\tb", "\x7F", "¥", "〜", "\xF3\xA0\x80\x81", "😀", "a#",
                                   ";", "=", tooLong.c_str()})
        EXPECT_FALSE(OthelloParams::IsStorableName(name)) << name;
}

TEST_F(ParamsFileTest, Utf8FileAndOverlongLine) {
    WriteFile("PlayerName = 花子\n" + std::string(1023, 'x') + "\nTurnSpeed = 0\n");
    params_.LoadFromFile();
    EXPECT_EQ(params_.PlayerName, "花子");
    EXPECT_EQ(params_.TurnSpeed, 1);  // after the overlong line nothing is read
}

}  // namespace
