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

TEST_F(ParamsFileTest, MissingFileKeepsDefaultsAndSaveWritesThirteenLines) {
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

TEST_F(ParamsFileTest, RoundTripWithJapaneseNamesAndSizeable) {
    params_.PlayerName = "山田 太郎";
    params_.CpuName = "ソ表示";  // CP932 trail bytes equal to "\" must survive
    params_.Sizeable = true;
    params_.CpuMode = 1;
    params_.BoardColor = 0x123456;
    params_.TurnSpeed = 0;
    ASSERT_TRUE(params_.SaveToFile());
    const std::string bytes = ReadFile();
    EXPECT_NE(bytes.find("\r\nSizeable = 1\r\n"), std::string::npos);
    EXPECT_EQ(bytes.rfind("Sizeable"), bytes.size() - std::string("Sizeable = 1\r\n").size());

    OthelloParams loaded;
    loaded.FileName = params_.FileName;
    loaded.LoadFromFile();
    EXPECT_EQ(loaded.PlayerName, "山田 太郎");
    EXPECT_EQ(loaded.CpuName, "ソ表示");
    EXPECT_TRUE(loaded.Sizeable);
    EXPECT_EQ(loaded.CpuMode, 1);
    EXPECT_EQ(loaded.BoardColor, 0x123456);
    EXPECT_EQ(loaded.TurnSpeed, 0);

    loaded.Sizeable = false;
    ASSERT_TRUE(loaded.SaveToFile());
    EXPECT_EQ(ReadFile().find("Sizeable"), std::string::npos);
}

TEST_F(ParamsFileTest, NamesLoseCommentsAndEqualsSignsOnTheWayBack) {
    params_.PlayerName = "a#b";
    params_.CpuName = "x=y";
    ASSERT_TRUE(params_.SaveToFile());
    OthelloParams loaded;
    loaded.FileName = params_.FileName;
    loaded.LoadFromFile();
    EXPECT_EQ(loaded.PlayerName, "a");
    EXPECT_EQ(loaded.CpuName, "モルヴァン");
}

TEST_F(ParamsFileTest, Utf8FileAndOverlongLine) {
    WriteFile("PlayerName = 花子\n" + std::string(1023, 'x') + "\nTurnSpeed = 0\n");
    params_.LoadFromFile();
    EXPECT_EQ(params_.PlayerName, "花子");
    EXPECT_EQ(params_.TurnSpeed, 1);  // after the overlong line nothing is read
}

}  // namespace
