#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "RecordFormats.h"
#include "RecordTool.h"

namespace {

std::string Path(const std::string& name) {
    return ::testing::TempDir() + "morvane-record-" + name;
}

// Runs the tool; "status|stdout|stderr".
std::string Tool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunRecordTool(args, out, err);
    return std::to_string(status) + "|" + out.str() + "|" + err.str();
}

TEST(RecordTool, ShowsAndConvertsWhatTheGameLoadsAndReportsRefusals) {
    // A finished game in which white must pass.
    std::ofstream(Path("game.ggf"))
        << "(;BO[8 XO" << std::string(54, '-') << "XO------ X]B[c1]B[C8];)";
    EXPECT_EQ(Tool({"show", Path("game.ggf")}),
              "0|moves: c1c8\nstep: 2\nblack: 6\nwhite: 0\nresult: 6-0 black wins\n|");

    // Saved while step 3 is shown.
    OthelloLogic game;
    ASSERT_TRUE(game.LoadRecordText("f5d6c5f4", nullptr));
    game.History.CurrentStep = 3;
    ASSERT_TRUE(game.History.Save(Path("game.mvr")));
    EXPECT_EQ(Tool({"show", Path("game.mvr")}),
              "0|moves: f5d6c5f4\nstep: 3\nblack: 5\nwhite: 2\nresult: in progress\n|");
    // The board text holds the shown position and the side to move there.
    EXPECT_EQ(Tool({"convert", Path("game.mvr"), Path("game.OBF")}), "0||");
    std::ifstream obf(Path("game.OBF"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(obf), {}),
              "---------------------------OX-----XXXX-----O-------------------- O\r\n");

    std::ofstream(Path("bad.txt")) << "f5d6c3c3";
    EXPECT_EQ(Tool({"convert", Path("bad.txt"), Path("out.ggf")}),
              "1||棋譜を読み込めません。\n\n4手目の c3 は打てません。\n(not a legal move)\n");
    EXPECT_FALSE(std::ifstream(Path("out.ggf")).good());
    EXPECT_EQ(Tool({"show", Path("missing.mvr")}).rfind("1||ファイルを読み込めません。", 0), 0u);
    EXPECT_EQ(Tool({"convert", Path("bad.txt"), Path("out.pgn")}).substr(0, 3), "2||");
}

}  // namespace
