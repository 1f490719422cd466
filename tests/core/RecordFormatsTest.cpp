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
    // Black passes twice at the end: white plays b6, a1 and a2 in a row.
    OthelloLogic logic;
    ASSERT_TRUE(logic.LoadRecordText(kPassGame, nullptr));
    EXPECT_TRUE(Moves(logic.History).ends_with("Bb2Wb6Wa1Wa2@60"));
    EXPECT_TRUE(logic.IsGameOver());
    // The clocks, for the engine's protocol; one it cannot read is none.
    GgfGame game;
    RecordError error;
    ASSERT_TRUE(ParseGgf(Ggf(kStart + " *", "B[f5//3]", "TI[1:00:00/0:05]TW[30]"), game, error));
    EXPECT_EQ(std::make_tuple(*game.black.mainMs, game.black.incrementMs, *game.white.mainMs,
                              game.moves[0].seconds),
              std::make_tuple(3600000, 5000, 30000, 3.0));
    ASSERT_TRUE(ParseGgf("(;TI[soon];)", game, error));
    EXPECT_FALSE(game.black.mainMs);
}

TEST(RecordText, RefusedTextsNameTheMoveAndChangeNothing) {
    const std::string board = kStart + " *";
    for (const auto& [text, message] : std::vector<std::pair<std::string, std::string>>{
             {"f5d6c3c3", "4手目の c3 は打てません。\n(not a legal move)"},
             {"f5 z9", "2手目の z9 は打てません。\n(not a square)"},
             {Ggf(board, "B[f5]B[c3]"), "2手目の C3 は打てません。\n(not a legal move for black)"},
             {Ggf(board, "B[f5]W[PA]"), "2手目の PA は打てません。\n(no pass for white)"},
             {"  ", "棋譜として読めない文字列です。\n(the text is empty)"},
             {"(;GM[Othello]B[f5]",
              "棋譜として読めない文字列です。\n(the GGF game does not end "
              "with \";)\")"},
             {Ggf(board, "", "GM[Chess]"), "(the GGF game is not Othello (GM[Chess]))"},
             {"(;BO[8 " + kStart + "];)", "(BO needs 64 squares and the side to move)"},
             {"(;B[f5];)(;B[f5];)", "(more than one GGF game in the text)"},
             {kStart + " X\n" + kStart + " O", "(a board text is one line"}}) {
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

class RecordConversion : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir_); }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    const fs::path dir_ =
        fs::temp_directory_path() / ("morvane_formats_" + std::to_string(getpid()));
};

// The shown position and the side to move there.
std::string BoardText(const OthelloLogic& logic) {
    std::string text, error;
    EXPECT_TRUE(FormatRecord(logic.History, RecordFormat::BoardText, text, error)) << error;
    return text;
}

TEST_F(RecordConversion, EveryFormatRoundTripsThroughTheGameLoader) {
    // Games with passes, a short one, real endgame positions (five with white to move), and the
    // record files of the repository, each read by the game's loader and taken to its last step.
    std::vector<std::string> files;
    std::vector<std::string> texts = {kPassGame, "f5d6c3", kStart + " X"};
    std::ifstream ffo(MORVANE_TEST_DATA "/ffo/fforum-1-19.obf");
    for (std::string line; std::getline(ffo, line);)
        texts.push_back(line);
    ASSERT_EQ(texts.size(), 22u) << "missing test data " MORVANE_TEST_DATA "/ffo";
    for (const std::string& text : texts) {
        files.push_back(Path("record" + std::to_string(files.size())));
        std::ofstream(files.back()) << text;
    }
    for (const auto& entry : fs::directory_iterator(MORVANE_RECORD_FILES))
        files.push_back(entry.path().string());
    int loaded = 0;
    for (const std::string& file : files) {
        auto original = std::make_unique<OthelloLogic>();
        if (!original->LoadRecord(file, nullptr)) continue;  // a file made to be refused
        ++loaded;
        original->ToLast();
        for (const auto& [name, format] : std::vector<std::pair<std::string, RecordFormat>>{
                 {"a.mvr", RecordFormat::Mvr},
                 {"a.ggf", RecordFormat::Ggf},
                 {"a.txt", RecordFormat::MoveString},
                 {"a.obf", RecordFormat::BoardText}}) {
            std::string error;
            if (!SaveRecordAs(original->History, Path(name), format, error)) {
                // A move string holds only a game from the initial position with moves.
                EXPECT_EQ(format, RecordFormat::MoveString) << error;
                continue;
            }
            auto back = std::make_unique<OthelloLogic>();
            ASSERT_TRUE(back->LoadRecord(Path(name), nullptr)) << name << " " << file;
            EXPECT_EQ(BoardText(*back), BoardText(*original)) << name << " " << file;
            if (format == RecordFormat::BoardText) continue;
            EXPECT_EQ(Moves(back->History), Moves(original->History)) << name << " " << file;
            EXPECT_EQ(back->History.Boards, original->History.Boards) << name << " " << file;
        }
    }
    EXPECT_GT(loaded, 22) << "no record files in " MORVANE_RECORD_FILES;
    std::string text;
    std::string error;
    auto passes = std::make_unique<OthelloLogic>();
    ASSERT_TRUE(passes->LoadRecordText(Ggf(kWhitePasses + " X", "B[c1]B[c8]"), nullptr));
    ASSERT_TRUE(FormatRecord(passes->History, RecordFormat::Ggf, text, error));
    EXPECT_EQ(text, "(;GM[Othello]PC[Morvane]TY[8]RE[+6.00]BO[8 *O" + std::string(54, '-') +
                        "*O------ *]B[C1]W[PA]B[C8];)");
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
    EXPECT_EQ(RecordFormatOfName("a.b/c.GGF"), RecordFormat::Ggf);
    EXPECT_FALSE(RecordFormatOfName("a.b/game"));
}

}  // namespace
