#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "RecordFormats.h"
#include "RecordTool.h"

namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun Tool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunRecordTool(args, out, err);
    return {status, out.str(), err.str()};
}

std::string Path(const std::string& name) {
    return ::testing::TempDir() + "morvane-record-" + name;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RecordTool, ShowsAndConvertsWhatTheGameLoads) {
    // A whole game in which black passes twice at the end.
    const std::string moves =
        "c4c3c2c5c6e3f6b7e2f3d6e1a8e6f4g5g4f5h4d3g3g2h1f2d1h6d7d2h5c1g1e7h7b3d8c7b1c8a3a4b4a5a6g6"
        "f1f8b5h2g7h3e8f7b8g8h8a7b2b6a1a2";
    std::ofstream(Path("game.txt")) << moves << "\n";
    ToolRun run = Tool({"show", Path("game.txt")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "moves: " + moves + "\nstep: 60\nblack: 26\nwhite: 38\nresult: 26-38 white wins\n");

    // Saved while step 3 is shown; GGF has no shown step, so the game comes back at its end.
    auto game = std::make_unique<OthelloLogic>();
    ASSERT_TRUE(game->LoadRecordText("f5d6c5f4", nullptr));
    game->History.CurrentStep = 3;
    std::string error;
    ASSERT_TRUE(SaveRecordAs(game->History, Path("game.mvr"), RecordFormat::Mvr, error));
    run = Tool({"show", Path("game.mvr")});
    EXPECT_EQ(run.out, "moves: f5d6c5f4\nstep: 3\nblack: 5\nwhite: 2\nresult: in progress\n");
    ASSERT_EQ(Tool({"convert", Path("game.mvr"), Path("game.GGF")}).status, 0);
    EXPECT_EQ(Read(Path("game.GGF")),
              "(;GM[Othello]PC[Morvane]TY[8]RE[?]BO[8 ---------------------------O*------*O------"
              "--------------------- *]B[F5]W[D6]B[C5]W[F4];)\r\n");
    ASSERT_EQ(Tool({"convert", Path("game.GGF"), Path("back.obf")}).status, 0);
    EXPECT_EQ(Read(Path("back.obf")),
              "---------------------------OOO----XXOX-----O-------------------- X\r\n");
}

TEST(RecordTool, RefusalsGoToStandardErrorWithTheirStatus) {
    std::ofstream(Path("bad.txt")) << "f5d6c3c3";
    ToolRun run = Tool({"convert", Path("bad.txt"), Path("out.ggf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "棋譜を読み込めません。\n\n4手目の c3 は打てません。\n(not a legal move)\n");
    EXPECT_TRUE(Read(Path("out.ggf")).empty());
    run = Tool({"show", Path("missing.mvr")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("ファイルを読み込めません。", 0), 0u) << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(Tool({"convert", Path("bad.txt"), Path("out.pgn")}).status, 2);
    EXPECT_EQ(Tool({"show"}).status, 2);
}

}  // namespace
