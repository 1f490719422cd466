#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Othellologic.h"
#include "RecordFormats.h"
#include "ScratchDir.h"

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

// A game played by the rules from the given text (a move string, a board text, a GGF game).
std::unique_ptr<OthelloLogic> Loaded(const std::string& text) {
    auto logic = std::make_unique<OthelloLogic>();
    EXPECT_TRUE(logic->LoadRecordText(text, nullptr)) << text;
    return logic;
}

TEST(OthelloLogicRules, InitialPosition) {
    OthelloLogic logic;
    EXPECT_EQ(logic.GetMarkedBoard(0),
              Rows("........ ........ ...*.... ..*WB... ...BW*.. ....*... ........ ........"));
    EXPECT_EQ(logic.GetMarkedBoard(kWhite),
              Rows("........ ........ ....*... ...WB*.. ..*BW... ...*.... ........ ........"));
    // Only black and white ever move; colour 0 must not walk the empty border out of the array.
    EXPECT_EQ(std::tuple(logic.CountStones(kBlack), logic.CountStones(kWhite), logic.IsGameOver(),
                         logic.HasLegalMove(kEmpty)),
              std::tuple(2, 2, false, false));
}

TEST(OthelloLogicRules, PutStoneFlipsEveryFlankedRunAndStepsShowTheFlipsInOrder) {
    // Black at e5 flanks d5 (west), e4-e3 (north) and f6 (south-east); f5 ends at an empty square
    // and d6-c7-b8 at the edge. a1 is occupied although a1-b1-c1 would be flanked.
    const std::string before =
        "WWB..... ....B... ....W... ....W... ..BW.W.. ...W.W.. ..W...B. .W......";
    const std::string after =
        "WWB..... ....B... ....B... ....B... ..BBBW.. ...W.B.. ..W...B. .W......";
    OthelloLogic logic;
    logic.CopyFrom(Rows(before));
    logic.History.Init(logic.Board);
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
    const auto logic = Loaded(kWhitePasses + " X");
    const auto state = [&] {
        return std::tuple(logic->Turn, logic->IsGameOver(), logic->History.CurrentColor());
    };
    logic->PutStone(kBlack, 3, 1);
    EXPECT_EQ(state(), std::tuple(kBlack, false, kBlack));
    logic->PutStone(kBlack, 3, 8);
    EXPECT_EQ(state(), std::tuple(kBlack, true, kEmpty));
    // Mid-record after white's pass: the next recorded move is black's.
    logic->History.Back();
    EXPECT_EQ(logic->History.CurrentColor(), kBlack);
    // With no move recorded the position decides, black first.
    for (const auto& [rows, color] : std::vector<std::pair<std::string, int>>{
             {"WB...... ........ ........ ........ ........ ........ ........ ........", kWhite},
             {"........ ........ ........ ...WB... ...BW... ........ ........ ........", kBlack},
             {"B....... ........ ........ ........ ........ ........ ........ .......W", kEmpty}}) {
        logic->History.Init(Rows(rows));
        EXPECT_EQ(logic->History.CurrentColor(), color) << rows;
    }
}

TEST(OthelloMapHistory, BrowsingStopsAtTheEndsAndAMoveDropsTheRest) {
    const auto logic = Loaded("f5d6c3");
    EXPECT_EQ(Moves(logic->History), "Bf5Wd6Bc3@3");
    int color = 0;
    PointData placed;
    std::vector<PointData> changed;
    EXPECT_FALSE(logic->StepForward(color, placed, changed));
    logic->ToFirst();
    EXPECT_FALSE(logic->StepBack(color, placed, changed));
    EXPECT_EQ(logic->Board, OthelloLogic().Board);
    ASSERT_TRUE(logic->StepForward(color, placed, changed));
    EXPECT_EQ(logic->History.CurrentColor(), kWhite);  // the next recorded move's colour
    logic->PutStone(kWhite, 6, 4);
    EXPECT_EQ(Moves(logic->History), "Bf5Wf4@2");
    EXPECT_EQ(logic->History.Boards[2], logic->Board);
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

class RecordFile : public ScratchDir {
protected:
    std::vector<std::string> errors_;
    const ErrorReporter capture_ = [this](const std::string& text) { errors_.push_back(text); };
};

TEST_F(RecordFile, SavesInCodePage932AndReadsBackAtTheShownStep) {
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
    const auto game = Loaded("f5d6c3");
    game->History.Back();
    ASSERT_TRUE(game->History.Save(Path("game.mvr")));
    EXPECT_EQ(Read("game.mvr"),
              head + "2" + board + "\r\n[History]\r\nInitColor = BLACK\r\nSteps = f5d6c3\r\n");
    ASSERT_TRUE(logic.LoadRecord(Path("game.mvr"), capture_));
    EXPECT_EQ(Moves(logic.History), "Bf5Wd6Bc3@2");
    EXPECT_EQ(logic.Board, game->History.Boards[2]);

    EXPECT_FALSE(logic.History.Save(Path("no folder/game.mvr")));
}

TEST_F(RecordFile, ReadsBothVersionsAndIgnoresWhatItDoesNotKnow) {
    for (const auto& [text, moves] : std::vector<std::pair<std::string, std::string>>{
             {RecordText(kV1, "2", "B = F5\nw = d6\n"), "Bf5Wd6@2"},
             // An unknown header hides the version line, so "Steps" means nothing.
             {RecordText("[Morvane]\nFormatVersion = 2\n", "1",
                         "InitColor = BLACK\nSteps = d3\nb = f5\n"),
              "Bf5@1"},
             {RecordText(kV2, "0", "") + "[history]\nInitColor = BLACK\nSteps = f5\n", "@0"},
             // A later version's board alone is a game without moves.
             {RecordText("[モルヴァン]\nFormatVersion = 3\n", "0", ""), "@0"}}) {
        OthelloLogic logic;
        ASSERT_TRUE(logic.LoadRecord(Write("good.mvr", text), capture_)) << text;
        EXPECT_EQ(Moves(logic.History), moves) << text;
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
        {"no InitColor", RecordText(kV2, "2", "Steps = f5d6\n")},
        {"CurrentStep too big", RecordText(kV2, "3", "InitColor = BLACK\nSteps = f5d6\n")},
        {"CurrentStep negative", RecordText(kV2, "-1", "InitColor = BLACK\nSteps = f5d6\n")},
        {"65 moves", RecordText(kV2, "0", "InitColor = BLACK\nSteps = " + steps)},
        {"first version, illegal move", RecordText(kV1, "0", "w = f5\n")},
        {"over-long line", kV2 + "; " + std::string(1100, 'x') + RecordText("", "0", "")},
        // The moves were read by another version than the one the file ends up declaring.
        {"version after the moves", RecordText(kV2, "1", "InitColor = BLACK\nSteps = f5\n") +
                                        "[モルヴァン]\nFormatVersion = 3\n"},
        {"moves of an unknown version",
         RecordText("[モルヴァン]\nFormatVersion = 3\n", "1", "InitColor = BLACK\nSteps = f5\n")},
        // After f5 white has moves, so black may not play c3 for white.
        {"pass with a legal move", RecordText(kV2, "2", "InitColor = BLACK\nSteps = f5c3\n")},
    };
    const std::string kErrorText =
        "ファイルを読み込めません。\n\nこのファイルはモルヴァンの棋譜ファイルの\n"
        "正しいフォーマットで書かれていません。";
    const auto game = Loaded("f5d6c3d3");
    OthelloLogic& logic = *game;
    logic.History.Back();
    const OthelloLogic before = logic;
    // What is refused and where it is; a file that cannot be read is named as such.
    std::vector<std::pair<std::string, std::string>> cases = {
        {"", Path("no such file.mvr")}, {"", dir_.string()}, {"", "/dev/zero"}};
    for (const auto& [what, text] : texts)
        cases.emplace_back(what, Write(what + ".mvr", text));
    for (const auto& [what, path] : cases) {
        errors_.clear();
        EXPECT_FALSE(logic.LoadRecord(path, capture_)) << what;
        const std::string unreadable = "ファイルを読み込めません。\n\n" + path +
                                       "\nは存在しないか、読み取れないファイルです。";
        EXPECT_EQ(errors_, std::vector<std::string>{what.empty() ? unreadable : kErrorText})
            << path;
        EXPECT_EQ(Moves(logic.History), Moves(before.History)) << what;
        EXPECT_TRUE(logic.History.Boards == before.History.Boards && logic.Board == before.Board)
            << what;
    }
}

std::string Ggf(const std::string& board, const std::string& moves, const std::string& extra = "") {
    return "(;GM[Othello]PC[test]" + extra + "TY[8]BO[8 " + board + "]" + moves + ";)";
}

TEST(RecordText, ReadsEachFormatByTheRules) {
    for (const auto& [text, expected] : std::vector<std::pair<std::string, std::string>>{
             // Full-width letters, digits and spaces as an input method types them.
             {" Ｆ５　d6\nｃ３\u3000", "Bf5Wd6Bc3@3"},
             // Values with "]" and "\\" escaped.
             {Ggf(kStart + " *", "B[f5/1.00/2]W[D6//0:01.5]\nB[c3]",
                  "TI[5:00/0:10]PB[a\\]b]PW[c\\\\]"),
              "Bf5Wd6Bc3@3"},
             // A stated pass and one left implied.
             {Ggf(kWhitePasses + " O", "W[PA]B[c1]B[c8]"), "Bc1Bc8@2"},
             {"ＸＯ" + kWhitePasses.substr(2) + "　Ｘ；comment", "@0"}}) {
        const auto logic = Loaded(text);
        EXPECT_EQ(Moves(logic->History), expected) << text;
        EXPECT_EQ(logic->Board, logic->History.Boards[logic->History.CurrentStep]) << text;
    }
    // Black passes twice at the end: white plays b6, a1 and a2 in a row.
    const auto passes = Loaded(kPassGame);
    EXPECT_TRUE(Moves(passes->History).ends_with("Bb2Wb6Wa1Wa2@60"));
    EXPECT_TRUE(passes->IsGameOver());
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

TEST(RecordText, RefusedTextsSayWhatIsWrongQuotingWholeCharactersAndChangeNothing) {
    const std::string board = kStart + " *";
    for (const auto& [text, message] : std::vector<std::pair<std::string, std::string>>{
             {"f5d6c3c3", "4手目の c3 は打てません。\nその局面で打てる手ではありません。"},
             {"こんにちは", "1手目の こん はマスの名前（a1〜h8）ではありません。"},
             {"ｆ５　ｄ６ｚ９", "3手目の ｚ９ は"},
             {Ggf(board, "B[f5]B[c3]"), "2手目の c3 は打てません。\nその局面で黒が打てる手"},
             {Ggf(board, "B[f5]W[PA]"), "2手目の PA は打てません。\nここで白はパスできません。"},
             // Nobody passes once the game is over.
             {Ggf(kWhitePasses + " O", "B[c1]B[c8]W[pa]"), "3手目の pa は打てません。"},
             {"  ", "棋譜の文字列が空です。"},
             {"(;GM[Othello]B[f5]", "GGF の棋譜が「;)」で終わっていません。"},
             {Ggf(board, "", "GM[Chess]"), "GGF の棋譜がオセロではありません（GM[Chess]）。"},
             {"(;TY[10];)", "GGF の盤が 8×8 ではありません（TY[10]）。"},
             {"(;BO[8 " + kStart + "];)", "GGF の盤面（BO）に 64 マスと手番がそろっていません。"},
             {"(;GM[Othello] b[f5];)", "GGF の 15 文字目の「b[f5]」はプロパティ"},
             {"(;B[f5];)(;B[f5];)", "GGF の棋譜の後に「(;B[f5];)」があります。"},
             {kStart + " X\n" + kStart + " O", "盤面の文字列が 2 行以上あります。"},
             {"XO-", "盤面の文字列が 3 文字しかありません。"},
             {kStart.substr(0, 62) + "★- X", "盤面の 63 マス目の「★」は石を表す文字"},
             {kStart + "X", "盤面の 64 マスの後の「X」が読めません。"},
             {kStart + " 黒", "手番の「黒」は X でも O でもありません。"}}) {
        const auto logic = Loaded("f5d6");
        std::string shown;
        EXPECT_FALSE(logic->LoadRecordText(text, [&](const std::string& t) { shown = t; })) << text;
        EXPECT_EQ(shown.rfind("棋譜を読み込めません。\n\n" + message, 0), 0u) << shown;
        EXPECT_EQ(Moves(logic->History), "Bf5Wd6@2") << text;
    }
}

// The shown position and the side to move there.
std::string BoardText(const OthelloLogic& logic) {
    std::string text, error;
    EXPECT_TRUE(FormatRecord(logic.History, RecordFormat::BoardText, text, error)) << error;
    return text;
}

TEST_F(RecordFile, EveryFormatRoundTripsThroughTheGameLoader) {
    // Games with passes, a short one, real endgame positions (five with white to move), and the
    // record files of the repository, each read by the game's loader and taken to its last step.
    std::vector<std::string> files;
    std::vector<std::string> texts = {kPassGame, "f5d6c3", kStart + " X"};
    std::ifstream ffo(MORVANE_TEST_DATA "/ffo/fforum-1-19.obf");
    for (std::string line; std::getline(ffo, line);)
        texts.push_back(line);
    ASSERT_EQ(texts.size(), 22u) << "missing test data " MORVANE_TEST_DATA "/ffo";
    for (const std::string& text : texts)
        files.push_back(Write("record" + std::to_string(files.size()), text));
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
    std::string text, error;
    const auto passes = Loaded(Ggf(kWhitePasses + " X", "B[c1]B[c8]"));
    ASSERT_TRUE(FormatRecord(passes->History, RecordFormat::Ggf, text, error));
    EXPECT_EQ(text, "(;GM[Othello]PC[Morvane]TY[8]RE[+6.00]BO[8 *O" + std::string(54, '-') +
                        "*O------ *]B[C1]W[PA]B[C8];)");
}

TEST_F(RecordFile, FilesOfOtherNamesGoByTheirContent) {
    OthelloLogic logic;
    EXPECT_TRUE(logic.LoadRecord(Write("game.log", Ggf(kStart + " *", "B[f5]W[d6]")), capture_));
    EXPECT_EQ(Moves(logic.History), "Bf5Wd6@2");
    // An .mvr file, and a file that reads as none of the other formats, get the record reader.
    EXPECT_FALSE(logic.LoadRecord(Write("game.mvr", "f5d6"), capture_));
    EXPECT_FALSE(logic.LoadRecord(Write("record.txt", "[Other]\n"), capture_));
    ASSERT_EQ(errors_.size(), 2u);
    for (const std::string& text : errors_)
        EXPECT_NE(text.find("正しいフォーマット"), std::string::npos) << text;
    EXPECT_FALSE(logic.LoadRecord(Write("hello.txt", "hello"), capture_));
    EXPECT_EQ(errors_.back(),
              "棋譜を読み込めません。\n\n1手目の he はマスの名前（a1〜h8）ではありません。");
    EXPECT_EQ(Moves(logic.History), "Bf5Wd6@2");
    EXPECT_EQ(RecordFormatOfName("a.b/c.GGF"), RecordFormat::Ggf);
    EXPECT_FALSE(RecordFormatOfName("a.b/game"));
}

}  // namespace
