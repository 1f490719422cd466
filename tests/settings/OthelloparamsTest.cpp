#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <tuple>

#include "Othelloparams.h"
#include "ScratchDir.h"
#include "SettingsPath.h"
#include "TextCodec.h"

namespace {

namespace fs = std::filesystem;

std::string Fields(const OthelloParams& p) {
    std::string text;
    for (int v : {p.BoardColor, int{p.SoundEffect}, p.PlayerColor, int{p.CpuMode}, p.CpuLevel,
                  p.PlayerTime, p.CpuTime, int{p.DoAfterTimeUp}, int{p.AutoPass}, p.BoardSize,
                  p.TurnSpeed, int{p.Sizeable}, int{p.ShowLastMove}, int{p.ShowCoordinates},
                  int{p.ShowLegalMoves}, int{p.ShowHints}})
        text += std::to_string(v) + ' ';
    return text + '[' + p.PlayerName + "][" + p.CpuName + ']';
}

// BoardColor SoundEffect PlayerColor CpuMode CpuLevel PlayerTime CpuTime DoAfterTimeUp AutoPass
// BoardSize TurnSpeed Sizeable ShowLastMove ShowCoordinates ShowLegalMoves ShowHints
// [PlayerName][CpuName]
const std::string kDefaults = "4227200 1 1 0 3 7 1 1 0 1 1 0 1 1 0 0 [あなた][モルヴァン]";

class ParamsFileTest : public ScratchDir {
protected:
    // The fields of fresh settings after reading the file.
    std::string Loaded(const std::string& file = "morvane.ini") const {
        OthelloParams p;
        p.FileName = Path(file);
        p.LoadFromFile();
        return Fields(p);
    }
};

// Without a file the defaults stand, and a save writes thirteen lines. Files of the original
// program are code page 932 without a byte-order mark, where names of half-width katakana can be
// valid UTF-8 as well: each name reads back as it was written, and the file is written back byte
// for byte.
TEST_F(ParamsFileTest, NoFileKeepsDefaultsAndFilesOfTheOriginalProgramComeBackByteForByte) {
    EXPECT_EQ(Loaded(), kDefaults);
    OthelloParams p;
    p.FileName = Path("morvane.ini");
    ASSERT_TRUE(p.SaveToFile());
    const std::string numbers =
        "PlayerColor = 1\r\nBoardColor = 4227200\r\nSoundEffect = 1\r\nCpuMode = 0\r\n"
        "CpuLevel = 3\r\nPlayerTime = 7\r\nCpuTime = 1\r\nDoAfterTimeUp = 1\r\n"
        "AutoPass = 0\r\nBoardSize = 1\r\nTurnSpeed = 1\r\n";
    EXPECT_EQ(Read("morvane.ini"), numbers +
                                       "PlayerName = \x82\xA0\x82\xC8\x82\xBD\r\n"
                                       "CpuName = \x83\x82\x83\x8B\x83\x94\x83\x40\x83\x93\r\n");
    for (const std::string name :
         {"山田太郎", "齋藤", "髙橋 渡邊", "ﾅｶ", "たなか", "タナカ", "きゃりー", "ﾎｼ", "ﾐｶ",
          "ﾐｻ ﾎｼ", "ﾔﾏﾀﾞ ﾀﾛｳ", "中村ｱｷﾗ", "星 ﾐｷ"}) {
        const std::string bytes = Utf8ToCp932(name);  // "ﾅｶ" is C5 B6, as the original wrote it
        const std::string file =
            numbers + "PlayerName = " + bytes + "\r\nCpuName = " + bytes + "\r\n";
        Write("morvane.ini", file);
        p.LoadFromFile();
        EXPECT_EQ(p.PlayerName + "|" + p.CpuName, name + "|" + name);
        EXPECT_TRUE(p.SaveToFile() && Read("morvane.ini") == file) << name;
    }
}

TEST_F(ParamsFileTest, ValueRulesOnReading) {
    const std::pair<std::string, std::string> cases[] = {
        {"[Section]\n"
         "BoardSize = 2\n"
         "   BoardColor=255   # red\n"
         "SoundEffect = 0\nSoundEffect = 5\n"  // the last valid line wins; non-zero is on
         "AutoPass = 7\n"
         "CpuMode = 1\nCpuMode = 2\n"
         "PlayerColor = -1\nplayercolor = 1\n"  // keys are case-sensitive
         "CpuLevel = 8\nPlayerTime = 0\nCpuTime = 6\n"
         "PlayerName = 花子\n"                // a UTF-8 file
         "CpuName = 007\nCpuName =\n"         // a name is text; an empty value is skipped
         "TurnSpeed = 2\nTurnSpeed = fast\n"  // not a number for an integer key: skipped
         "ShowLastMove = 0\nShowCoordinates = 0\nShowLegalMoves = 3\nShowHints = 1\n"
         "Sizeable = 1\n" +
             std::string(1023, 'x') + "\nBoardSize = 0\n",  // nothing after an overlong line
         "255 1 -1 0 8 0 6 1 1 2 2 1 0 0 1 1 [花子][007]"},
        {"PlayerColor = 0\nCpuLevel = 12\nCpuLevel = -10\nPlayerTime = 8\nCpuTime = 7\n"
         "BoardSize = 5\nTurnSpeed = -1\n",
         kDefaults},
    };
    for (const auto& [file, fields] : cases) {
        Write("morvane.ini", file);
        EXPECT_EQ(Loaded(), fields) << file;
    }
}

// Every name the dialog accepts comes back; what it refuses can never become another field.
TEST_F(ParamsFileTest, RoundTripKeepsEveryFieldAndNamesCannotBecomeOtherFields) {
    std::string kanji, halfWidth;
    for (int i = 0; i < OthelloParams::kMaxNameLength; ++i)
        kanji += "漢", halfWidth += "ﾊ";
    // Player and computer name as saved and as read back.
    const std::array<std::string, 4> cases[] = {
        {"ｱｲｳ ﾊﾟﾋﾟ", "ソ表示", "ｱｲｳ ﾊﾟﾋﾟ", "ソ表示"},  // trail bytes equal to "\"
        {"", " 名前 ", "", " 名前 "},                  // kept by quotes
        {"★♪！？＠「」～￥", "\"x\"", "★♪！？＠「」～￥", "\"x\""},
        {kanji, halfWidth, kanji, halfWidth},
        {kanji + "字", "¥〜", kanji, "??"},
        {"a#b", "x=y", "a", "モルヴァン"},
        {"a\r\nCpuLevel = 0\nPlayerColor = -1", "b\tc", "あなた", "b?c"},
    };
    for (const auto& [player, cpu, playerBack, cpuBack] : cases) {
        OthelloParams saved;
        saved.FileName = Path("morvane.ini");
        std::tie(saved.PlayerName, saved.CpuName, saved.Sizeable, saved.CpuMode, saved.BoardColor,
                 saved.TurnSpeed) = std::tuple(player, cpu, true, 1, 0x123456, 0);
        std::tie(saved.ShowLastMove, saved.ShowCoordinates, saved.ShowLegalMoves, saved.ShowHints) =
            std::tuple(false, false, true, true);
        ASSERT_TRUE(saved.SaveToFile());
        EXPECT_TRUE(Read("morvane.ini").ends_with("\nSizeable = 1\r\n"));
        std::tie(saved.PlayerName, saved.CpuName) = std::tie(playerBack, cpuBack);
        EXPECT_EQ(Loaded(), Fields(saved)) << player;
        // The dialog takes exactly the names that come back.
        EXPECT_EQ(OthelloParams::IsStorableName(player), player == playerBack) << player;
        EXPECT_EQ(OthelloParams::IsStorableName(cpu), cpu == cpuBack) << cpu;
    }
}

// Runs in the scratch folder as its working folder, with HOME and XDG_CONFIG_HOME its own.
class SettingsPathTest : public ParamsFileTest {
protected:
    void SetUp() override {
        ParamsFileTest::SetUp();
        fs::current_path(dir_);
    }
    void TearDown() override {
        SetEnv("HOME", home_);
        SetEnv("XDG_CONFIG_HOME", config_);
        fs::current_path(previous_);
        ParamsFileTest::TearDown();
    }
    static std::optional<std::string> GetEnv(const char* name) {
        return std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt;
    }
    static void SetEnv(const char* name, const std::optional<std::string>& value) {
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }

    const fs::path previous_ = fs::current_path();
    const std::optional<std::string> home_ = GetEnv("HOME"), config_ = GetEnv("XDG_CONFIG_HOME");
};

TEST_F(SettingsPathTest, WorkingFolderFileElseXdgConfigHomeElseDotConfig) {
    // A file in the working folder, HOME, XDG_CONFIG_HOME, the path.
    const std::tuple<bool, std::optional<std::string>, std::optional<std::string>, std::string>
        cases[] = {
            {true, "/home/u", "/cfg", "morvane.ini"},
            {false, "/home/u", "/cfg", "/cfg/morvane/morvane.ini"},
            {false, "/home/u", std::nullopt, "/home/u/.config/morvane/morvane.ini"},
            {false, "/home/u", "", "/home/u/.config/morvane/morvane.ini"},
            {false, "/home/u", "relative/cfg", "/home/u/.config/morvane/morvane.ini"},
            {false, std::nullopt, std::nullopt, "morvane.ini"},
        };
    for (const auto& [localFile, home, config, expected] : cases) {
        localFile ? void(Write("morvane.ini", "")) : void(fs::remove("morvane.ini"));
        SetEnv("HOME", home);
        SetEnv("XDG_CONFIG_HOME", config);
        EXPECT_EQ(SettingsFilePath(), expected) << home.value_or("-") << config.value_or("-");
    }
}

TEST_F(SettingsPathTest, FirstSaveCreatesTheOwnerOnlyFolderAndTheNextStartReadsIt) {
    SetEnv("XDG_CONFIG_HOME", Path("config"));
    OthelloParams params;
    params.FileName = SettingsFilePath();
    params.BoardSize = 2;
    ASSERT_TRUE(params.SaveToFile());
    EXPECT_EQ(fs::status(Path("config/morvane")).permissions(), fs::perms::owner_all);
    EXPECT_EQ(Loaded("config/morvane/morvane.ini"), Fields(params));

    // A folder that cannot be made (a file stands in its way) fails the save.
    params.FileName = Write("blocked", "") + "/morvane.ini";
    EXPECT_FALSE(params.SaveToFile());
}

}  // namespace
