#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "Othellologic.h"

namespace {

namespace fs = std::filesystem;

// Eight rows a..h, top to bottom, separated by spaces: 'B' black, 'W' white, '*' legal mark.
BoardArray Rows(const std::string& rows) {
    BoardArray board{};
    for (int i = 0; i < 64; ++i) {
        const char c = rows[i + i / 8];
        const int cell = c == 'B' ? kBlack : c == 'W' ? kWhite : c == '*' ? kLegalMark : kEmpty;
        board[BoardIndex(1 + i % 8, 1 + i / 8)] = cell;
    }
    return board;
}

// c1 and c8 are black's; white never has a move here.
const std::string kPassRows =
    "BW...... ........ ........ ........ ........ ........ ........ BW......";

// Starts a game with black to move from an arbitrary position, with an empty history there.
void SetPosition(OthelloLogic& logic, const std::string& rows) {
    logic.CopyFrom(Rows(rows));
    logic.History.Init(logic.Board);
}

// Plays squares such as "f5d6c3", each by the side to move; false at the first illegal one.
bool PlayMoves(OthelloLogic& logic, const std::string& moves) {
    for (std::size_t i = 0; i + 1 < moves.size(); i += 2) {
        const int x = XFromLetter(moves[i]), y = YFromDigit(moves[i + 1]);
        if (!logic.CanPut(logic.Turn, x, y)) return false;
        logic.PutStone(logic.Turn, x, y);
    }
    return true;
}

// The recorded moves with their colours, e.g. "Bf5Wd6", so one comparison checks both.
std::string ColouredMoves(const OthelloMapHistory& history) {
    std::string text;
    for (const MoveData& m : std::span(history.Moves).first(history.StepCount))
        text += "W?B"[m.color + 1] + SquareText(m.x, m.y);
    return text;
}

TEST(OthelloLogicRules, InitialPosition) {
    OthelloLogic logic;
    EXPECT_EQ(logic.GetMarkedBoard(0),
              Rows("........ ........ ...*.... ..*WB... ...BW*.. ....*... ........ ........"));
    EXPECT_EQ(logic.GetMarkedBoard(kWhite),
              Rows("........ ........ ....*... ...WB*.. ..*BW... ...*.... ........ ........"));
    EXPECT_EQ(logic.CountStones(kBlack), 2);
    EXPECT_EQ(logic.CountStones(kWhite), 2);
    EXPECT_FALSE(logic.IsGameOver());
    // Only black and white ever move; colour 0 must not walk the empty border out of the array.
    EXPECT_FALSE(logic.HasLegalMove(kEmpty));
}

TEST(OthelloLogicRules, PutStoneFlipsEveryFlankedRunAndStepsShowTheFlipsInOrder) {
    // Black at e5 flanks d5 (west), e4-e3 (north) and f6 (south-east); f5 ends at an empty square
    // and d6-c7-b8 at the edge. a1 is occupied although a1-b1-c1 would be flanked.
    const std::string before =
        "WWB..... ....B... ....W... ....W... ..BW.W.. ...W.W.. ..W...B. .W......";
    const std::string after =
        "WWB..... ....B... ....B... ....B... ..BBBW.. ...W.B.. ..W...B. .W......";
    OthelloLogic logic;
    SetPosition(logic, before);
    EXPECT_FALSE(logic.CanPut(kBlack, 1, 1));
    logic.PutStone(kBlack, 5, 5);
    EXPECT_EQ(logic.Board, Rows(after));

    // Direction by direction (dx outer, dy inner), nearest first, in both browsing directions.
    for (const bool back : {true, false}) {
        int color = 0;
        PointData placed;
        std::vector<PointData> changed = {{8, 8}};
        ASSERT_TRUE(back ? logic.StepBack(color, placed, changed)
                         : logic.StepForward(color, placed, changed));
        EXPECT_EQ(color, back ? kWhite : kBlack);
        EXPECT_EQ(placed, PointData(5, 5));
        EXPECT_EQ(changed, (std::vector<PointData>{{4, 5}, {5, 4}, {5, 3}, {6, 6}}));
        EXPECT_EQ(logic.Board, Rows(back ? before : after));
    }
}

TEST(OthelloLogicRules, PassGameOverAndCurrentColor) {
    OthelloLogic logic;
    SetPosition(logic, kPassRows);
    logic.PutStone(kBlack, 3, 1);
    EXPECT_EQ(logic.Turn, kBlack);
    EXPECT_FALSE(logic.IsGameOver());
    EXPECT_EQ(logic.History.CurrentColor(), kBlack);
    logic.PutStone(kBlack, 3, 8);
    EXPECT_EQ(logic.Turn, kBlack);
    EXPECT_TRUE(logic.IsGameOver());
    EXPECT_EQ(logic.History.CurrentColor(), kEmpty);
    // Mid-record after white's pass: the next recorded move is black's.
    logic.History.Back();
    EXPECT_EQ(logic.History.CurrentColor(), kBlack);
    // With no move recorded the position decides, black first.
    for (const auto& [rows, color] : std::vector<std::pair<std::string, int>>{
             {"WB...... ........ ........ ........ ........ ........ ........ ........", kWhite},
             {"........ ........ ........ ...WB... ...BW... ........ ........ ........", kBlack},
             {"B....... ........ ........ ........ ........ ........ ........ .......W", kEmpty}}) {
        logic.History.Init(Rows(rows));
        EXPECT_EQ(logic.History.CurrentColor(), color) << rows;
    }
}

TEST(OthelloMapHistory, BrowsingStopsAtTheEndsAndAMoveDropsTheRest) {
    OthelloLogic logic;
    EXPECT_EQ(logic.History.MoveString(), "");
    ASSERT_TRUE(PlayMoves(logic, "f5d6c3"));
    EXPECT_EQ(ColouredMoves(logic.History), "Bf5Wd6Bc3");
    EXPECT_EQ(logic.History.CurrentColor(), kWhite);
    int color = 0;
    PointData placed;
    std::vector<PointData> changed;
    EXPECT_FALSE(logic.StepForward(color, placed, changed));
    logic.ToFirst();
    EXPECT_FALSE(logic.StepBack(color, placed, changed));
    EXPECT_EQ(logic.Board, OthelloLogic().Board);
    ASSERT_TRUE(logic.StepForward(color, placed, changed));
    EXPECT_EQ(logic.History.CurrentColor(), kWhite);  // the next recorded move's colour
    logic.PutStone(kWhite, 6, 4);
    EXPECT_EQ(logic.History.StepCount, 2);
    EXPECT_EQ(logic.History.MoveString(), "f5f4");
    EXPECT_EQ(logic.History.Boards[2], logic.Board);
}

const std::string kV1 = "[モルヴァン]\nKind = Record\n";  // no "FormatVersion": the first version
const std::string kV2 = kV1 + "FormatVersion = 2\n";
const std::string kInitialRows =
    "00000000\n00000000\n00000000\n00021000\n00012000\n00000000\n00000000\n00000000\n";

std::string RecordText(const std::string& head, const std::string& step, const std::string& history,
                       const std::string& rows = kInitialRows) {
    return head + "\n[Information]\nCurrentStep = " + step + "\n\n[InitialBoard]\n" + rows +
           "\n[History]\n" + history;
}

bool SameHistory(const OthelloMapHistory& a, const OthelloMapHistory& b) {
    return a.Boards == b.Boards && a.Moves == b.Moves && a.CurrentStep == b.CurrentStep &&
           a.StepCount == b.StepCount;
}

class RecordFile : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    const fs::path dir_ = fs::temp_directory_path() / ("morvane_core_" + std::to_string(getpid()));
    std::vector<std::string> errors_;
    const ErrorReporter capture_ = [this](const std::string& text) { errors_.push_back(text); };
};

TEST_F(RecordFile, SavesTheExampleInCodePage932AndAFailedSaveKeepsIt) {
    // The header line is "[モルヴァン]" in code page 932.
    const std::string head =
        "[\x83\x82\x83\x8B\x83\x94\x83\x40\x83\x93]\r\nKind = Record\r\n"
        "FormatVersion = 2\r\n\r\n[Information]\r\nCurrentStep = ";
    const std::string board =
        "\r\n\r\n[InitialBoard]\r\n00000000\r\n00000000\r\n00000000\r\n"
        "00021000\r\n00012000\r\n00000000\r\n00000000\r\n00000000\r\n";
    OthelloLogic logic;
    ASSERT_TRUE(logic.History.Save(Path("new.mvr")));
    EXPECT_EQ(Read("new.mvr"), head + "0" + board);  // no moves, no history section
    ASSERT_TRUE(PlayMoves(logic, "f5d6c3"));
    ASSERT_TRUE(logic.History.Save(Path("game.mvr")));
    const std::string saved = Read("game.mvr");
    EXPECT_EQ(saved,
              head + "3" + board + "\r\n[History]\r\nInitColor = BLACK\r\nSteps = f5d6c3\r\n");

    EXPECT_FALSE(logic.History.Save(Path("no folder/game.mvr")));
}

TEST_F(RecordFile, RoundTripWithAPassKeepsColoursAndTheShownStep) {
    OthelloLogic game;
    SetPosition(game, "WB...... ........ ........ ........ ........ ........ ........ WB......");
    game.PutStone(kWhite, 3, 1);  // black must pass
    game.PutStone(kWhite, 3, 8);
    game.History.Back();
    ASSERT_TRUE(game.History.Save(Path("pass.mvr")));
    OthelloLogic loaded;
    ASSERT_TRUE(PlayMoves(loaded, "e6f4"));
    ASSERT_TRUE(loaded.LoadRecord(Path("pass.mvr"), capture_));
    EXPECT_TRUE(SameHistory(loaded.History, game.History)) << ColouredMoves(loaded.History);
    EXPECT_EQ(loaded.Board, game.History.Boards[1]);
}

TEST_F(RecordFile, ReadsBothVersionsAndIgnoresWhatItDoesNotKnow) {
    for (const auto& [text, moves] : std::vector<std::pair<std::string, std::string>>{
             {RecordText(kV1, "2", "B = F5\nw = d6\n"), "Bf5Wd6"},
             // An unknown header hides the version line, so "Steps" means nothing.
             {RecordText("[Morvane]\nFormatVersion = 2\n", "1",
                         "InitColor = BLACK\nSteps = d3\nb = f5\n"),
              "Bf5"},
             {RecordText(kV2, "0", "") + "[history]\nInitColor = BLACK\nSteps = f5\n", ""},
             // A later version's board alone is a game without moves.
             {RecordText("[モルヴァン]\nFormatVersion = 3\n", "0", ""), ""}}) {
        OthelloLogic logic;
        ASSERT_TRUE(logic.LoadRecord(Write("good.mvr", text), capture_)) << text;
        EXPECT_EQ(ColouredMoves(logic.History), moves) << text;
        EXPECT_EQ(logic.History.CurrentStep, logic.History.StepCount) << text;
    }
}

TEST_F(RecordFile, RejectedFilesReportAndChangeNothing) {
    std::string steps;  // 65 moves, one more than a history holds
    for (int i = 0; i < 65; ++i)
        steps += "f5";
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"odd Steps", RecordText(kV2, "0", "InitColor = BLACK\nSteps = f5d\n")},
        {"row with 3", RecordText(kV2, "0", "", kInitialRows.substr(0, 70) + "3\n")},
        {"seven rows", RecordText(kV2, "0", "", kInitialRows.substr(1))},
        {"illegal move", RecordText(kV2, "1", "InitColor = BLACK\nSteps = a1\n")},
        {"upper-case square", RecordText(kV2, "1", "InitColor = BLACK\nSteps = F5\n")},
        {"no InitColor", RecordText(kV2, "2", "Steps = f5d6\n")},
        {"CurrentStep too big", RecordText(kV2, "3", "InitColor = BLACK\nSteps = f5d6\n")},
        {"CurrentStep negative", RecordText(kV2, "-1", "InitColor = BLACK\nSteps = f5d6\n")},
        {"65 moves", RecordText(kV2, "0", "InitColor = BLACK\nSteps = " + steps)},
        {"first version, bad colour", RecordText(kV1, "0", "x = f5\n")},
        {"first version, illegal move", RecordText(kV1, "0", "w = f5\n")},
        {"over-long line", kV2 + "; " + std::string(1100, 'x') + RecordText("", "0", "")},
        // The moves were read by another version than the one the file ends up declaring.
        {"version after the moves", RecordText(kV2, "1", "InitColor = BLACK\nSteps = f5\n") +
                                        "[モルヴァン]\nFormatVersion = 3\n"},
        {"moves of an unknown version",
         RecordText("[モルヴァン]\nFormatVersion = 3\n", "1", "InitColor = BLACK\nSteps = f5\n")},
        // After f5 white has moves, so black may not play c3 for white.
        {"pass with a legal move", RecordText(kV2, "2", "InitColor = BLACK\nSteps = f5c3\n")},
        {"first version, pass with a legal move", RecordText(kV1, "2", "b = f5\nb = c3\n")},
    };
    const std::string kErrorText =
        "ファイルを読み込めません。\n\nこのファイルはモルヴァンの棋譜ファイルの\n"
        "正しいフォーマットで書かれていません。";
    OthelloLogic logic;
    ASSERT_TRUE(PlayMoves(logic, "f5d6c3d3"));
    logic.History.Back();
    const OthelloLogic before = logic;
    // What is refused and where it is; a file that cannot be read is refused like a bad one.
    std::vector<std::pair<std::string, std::string>> cases = {
        {"missing file", Path("no such file.mvr")},
        {"a folder", dir_.string()},
        {"endless", "/dev/zero"}};
    for (const auto& [what, text] : texts)
        cases.emplace_back(what, Write(what + ".mvr", text));
    for (const auto& [what, path] : cases) {
        errors_.clear();
        EXPECT_FALSE(logic.LoadRecord(path, capture_)) << what;
        EXPECT_EQ(errors_, std::vector<std::string>{kErrorText}) << what;
        EXPECT_TRUE(SameHistory(logic.History, before.History)) << what;
        EXPECT_EQ(logic.Board, before.Board) << what;
    }
}

}  // namespace
