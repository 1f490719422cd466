#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "RecordFormats.h"

namespace {

namespace fs = std::filesystem;

// A whole game from the initial position in which black passes twice before white's last moves.
const std::string kPassGame =
    "c4c3c2c5c6e3f6b7e2f3d6e1a8e6f4g5g4f5h4d3g3g2h1f2d1h6d7d2h5c1g1e7h7b3d8c7b1c8a3a4b4a5a6g6f1f8b5"
    "h2g7h3e8f7b8g8h8a7b2b6a1a2";
const std::string kStart = "---------------------------OX------XO---------------------------";
// Black's c1 and c8 are the only moves: white must pass from the start.
const std::string kWhitePasses = "XO" + std::string(54, '-') + "XO" + std::string(6, '-');

// The recorded moves with their colours, e.g. "Bf5Wd6", and the shown step.
std::string Moves(const OthelloMapHistory& history) {
    std::string text;
    for (int i = 0; i < history.StepCount; ++i) {
        text += history.Moves[i].color == kBlack ? 'B' : 'W';
        text += SquareText(history.Moves[i].x, history.Moves[i].y);
    }
    return text + "@" + std::to_string(history.CurrentStep);
}

std::string Ggf(const std::string& board, const std::string& moves, const std::string& extra = "") {
    return "(;GM[Othello]PC[test]" + extra + "TY[8]BO[8 " + board + "]" + moves + ";)";
}

TEST(RecordText, ReadsEachFormatByTheRules) {
    std::string passColours;
    for (int i = 0; i < 60; ++i)
        passColours += i < 57 ? (i % 2 == 0 ? 'B' : 'W') : 'W';
    for (const auto& [text, expected] : std::vector<std::pair<std::string, std::string>>{
             {" F5 d6\nC3 ", "Bf5Wd6Bc3@3"},
             {Ggf(kStart + " *", "B[f5/1.00/2]W[D6//0:01.5]\nB[c3]", "TI[5:00/0:10]"),
              "Bf5Wd6Bc3@3"},
             // A stated pass and one left implied.
             {Ggf(kWhitePasses + " O", "W[PA]B[c1]B[c8]"), "Bc1Bc8@2"},
             {kWhitePasses + " X; comment", "@0"}}) {
        OthelloLogic logic;
        ASSERT_TRUE(logic.LoadRecordText(text, nullptr)) << text;
        EXPECT_EQ(Moves(logic.History), expected) << text;
        EXPECT_EQ(logic.Board, logic.History.Boards[logic.History.CurrentStep]) << text;
    }
    OthelloLogic logic;
    ASSERT_TRUE(logic.LoadRecordText(kPassGame, nullptr));
    EXPECT_EQ(logic.History.MoveString(), kPassGame);
    EXPECT_TRUE(logic.IsGameOver());
    std::string colours;
    for (int i = 0; i < logic.History.StepCount; ++i)
        colours += logic.History.Moves[i].color == kBlack ? 'B' : 'W';
    EXPECT_EQ(colours, passColours);
}

TEST(RecordText, RefusedTextsNameTheMoveAndChangeNothing) {
    const std::string board = kStart + " *";
    for (const auto& [text, message] : std::vector<std::pair<std::string, std::string>>{
             {"f5d6c3c3", "4手目の c3 は打てません。\n(not a legal move)"},
             {"f5 z9", "2手目の z9 は打てません。\n(not a square)"},
             {"f5d", "2手目の d は打てません。\n(not a square)"},
             {Ggf(board, "B[f5]B[c3]"), "2手目の C3 は打てません。\n(not a legal move for black)"},
             {Ggf(board, "B[f5]W[PA]"), "2手目の PA は打てません。\n(no pass for white)"},
             {Ggf(board, "B[f5]W[pass]"), "2手目の pass は打てません。\n(not a square)"},
             {"  ", "棋譜として読めない文字列です。\n(the text is empty)"},
             {"(;GM[Othello]B[f5]",
              "棋譜として読めない文字列です。\n(the GGF game does not end "
              "with \";)\")"},
             {Ggf(board, "", "GM[Chess]"), "(the GGF game is not Othello (GM[Chess]))"},
             {"(;TY[10]B[f5];)", "(the GGF game is not played on 8x8 (TY[10]))"},
             {"(;BO[8 " + kStart + "];)", "(BO needs 64 squares and the side to move)"},
             {"(;B[f5];)(;B[f5];)", "(more than one GGF game in the text)"},
             {kStart + " X\n" + kStart + " O", "(a board text is one line"},
             {kStart + " Z", "(unknown side to move 'Z', expected X or O)"}}) {
        OthelloLogic logic;
        logic.LoadRecordText("f5d6", nullptr);
        const OthelloMapHistory before = logic.History;
        std::string shown;
        EXPECT_FALSE(logic.LoadRecordText(text, [&](const std::string& t) { shown = t; })) << text;
        EXPECT_EQ(shown.rfind("棋譜を読み込めません。\n\n", 0), 0u) << shown;
        EXPECT_NE(shown.find(message), std::string::npos) << shown;
        EXPECT_EQ(Moves(logic.History), Moves(before)) << text;
    }
}

TEST(RecordText, GgfClocksAndFormatNames) {
    GgfGame game;
    RecordError error;
    ASSERT_TRUE(ParseGgf(Ggf(kStart + " *", "B[f5//3]", "TI[1:00:00/0:05]TW[30]"), game, error));
    EXPECT_EQ(game.black.mainMs, 3600000);
    EXPECT_EQ(game.black.incrementMs, 5000);
    EXPECT_EQ(game.white.mainMs, 30000);
    EXPECT_EQ(game.moves[0].seconds, 3);
    ASSERT_TRUE(ParseGgf("(;TI[soon];)", game, error));  // an unknown clock is no clock
    EXPECT_FALSE(game.black.mainMs);
    EXPECT_EQ(RecordFormatOfName("a.b/c.GGF"), RecordFormat::Ggf);
    EXPECT_FALSE(RecordFormatOfName("a.b/game"));
}

class RecordConversion : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    const fs::path dir_ =
        fs::temp_directory_path() / ("morvane_formats_" + std::to_string(getpid()));
};

TEST_F(RecordConversion, EveryFormatRoundTripsThroughTheGameLoader) {
    // A game stands at its last step after GGF and move strings; the board text keeps the shown
    // position and whose turn it is.
    for (const std::string& game : {kPassGame, std::string("f5d6c3"), std::string()}) {
        auto original = std::make_unique<OthelloLogic>();
        ASSERT_TRUE(original->LoadRecordText(game.empty() ? kStart + " X" : game, nullptr));
        for (const auto& [name, format] : std::vector<std::pair<std::string, RecordFormat>>{
                 {"a.mvr", RecordFormat::Mvr},
                 {"a.ggf", RecordFormat::Ggf},
                 {"a.txt", RecordFormat::MoveString},
                 {"a.obf", RecordFormat::BoardText}}) {
            std::string error;
            if (game.empty() && format == RecordFormat::MoveString) {
                EXPECT_FALSE(SaveRecordAs(original->History, Path(name), format, error));
                continue;
            }
            ASSERT_TRUE(SaveRecordAs(original->History, Path(name), format, error)) << error;
            auto loaded = std::make_unique<OthelloLogic>();
            ASSERT_TRUE(loaded->LoadRecord(Path(name), nullptr)) << name;
            if (format == RecordFormat::BoardText) {
                EXPECT_EQ(loaded->History.Boards[0], original->Board) << name;
                continue;
            }
            EXPECT_EQ(Moves(loaded->History), Moves(original->History)) << name;
            EXPECT_EQ(loaded->History.Boards, original->History.Boards) << name;
        }
    }
    std::string text;
    std::string error;
    auto passes = std::make_unique<OthelloLogic>();
    ASSERT_TRUE(passes->LoadRecordText(Ggf(kWhitePasses + " X", "B[c1]B[c8]"), nullptr));
    ASSERT_TRUE(FormatRecord(passes->History, RecordFormat::Ggf, text, error));
    EXPECT_EQ(text, "(;GM[Othello]PC[Morvane]TY[8]RE[+6.00]BO[8 *O" + std::string(54, '-') +
                        "*O------ *]B[C1]W[PA]B[C8];)");
    EXPECT_FALSE(FormatRecord(passes->History, RecordFormat::MoveString, text, error));
    EXPECT_EQ(error, "a move string holds only games from the initial position, black first");
}

// Real positions, five of them with white to move: a record without moves keeps the side.
TEST_F(RecordConversion, EndgamePositionsKeepTheirSideThroughARecordFile) {
    const std::string data = MORVANE_TEST_DATA "/ffo/fforum-1-19.obf";
    std::ifstream in(data);
    ASSERT_TRUE(in) << "missing test data " << data;
    int positions = 0;
    for (std::string line; std::getline(in, line); ++positions) {
        OthelloLogic logic;
        ASSERT_TRUE(logic.LoadRecordText(line, nullptr)) << line;
        std::string error, text;
        ASSERT_TRUE(SaveRecordAs(logic.History, Path("p.mvr"), RecordFormat::Mvr, error));
        ASSERT_TRUE(logic.LoadRecord(Path("p.mvr"), nullptr)) << line;
        ASSERT_TRUE(FormatRecord(logic.History, RecordFormat::BoardText, text, error));
        EXPECT_EQ(text, line.substr(0, 66));
    }
    EXPECT_EQ(positions, 19);
}

TEST_F(RecordConversion, FilesOfOtherNamesGoByTheirContent) {
    std::ofstream(Path("game.mvr")) << "f5d6";
    std::ofstream(Path("game.log")) << Ggf(kStart + " *", "B[f5]W[d6]");
    std::ofstream(Path("record.txt")) << "[Other]\n";
    std::vector<std::string> errors;
    const ErrorReporter capture = [&](const std::string& text) { errors.push_back(text); };
    OthelloLogic logic;
    EXPECT_TRUE(logic.LoadRecord(Path("game.log"), capture));
    EXPECT_EQ(Moves(logic.History), "Bf5Wd6@2");
    // An .mvr file, and a file that reads as none of the other formats, get the record reader.
    EXPECT_FALSE(logic.LoadRecord(Path("game.mvr"), capture));
    EXPECT_FALSE(logic.LoadRecord(Path("record.txt"), capture));
    EXPECT_FALSE(logic.LoadRecord(Path("missing.ggf"), capture));
    ASSERT_EQ(errors.size(), 3u);
    for (const std::string& text : errors)
        EXPECT_EQ(text.rfind("ファイルを読み込めません。", 0), 0u) << text;
    EXPECT_EQ(Moves(logic.History), "Bf5Wd6@2");
}

}  // namespace
