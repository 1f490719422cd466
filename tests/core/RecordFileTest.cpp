#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "BoardText.h"
#include "Othellologic.h"

namespace {

namespace fs = std::filesystem;

const std::string kErrorText =
    "ファイルを読み込めません。\n\nこのファイルはモルヴァンの棋譜ファイルの\n正しいフォーマットで"
    "書かれていません。";

const std::string kInitialRows =
    "00000000\n00000000\n00000000\n00021000\n00012000\n00000000\n00000000\n00000000\n";

// a1 white, b1 black and a8 white, b8 black: white can take c1 and then c8, black never moves.
const std::string kWhiteTwiceRows =
    "21000000\n00000000\n00000000\n00000000\n00000000\n00000000\n00000000\n21000000\n";

std::string V2File(const std::string& step, const std::string& history,
                   const std::string& rows = kInitialRows) {
    return "[モルヴァン]\nKind = Record\nFormatVersion = 2\n\n[Information]\nCurrentStep = " +
           step + "\n\n[InitialBoard]\n" + rows + "\n[History]\n" + history;
}

// Without a "FormatVersion" line a record is read by the first version's rules.
std::string V1File(const std::string& step, const std::string& history) {
    return "[モルヴァン]\nKind = Record\n\n[Information]\nCurrentStep = " + step +
           "\n\n[InitialBoard]\n" + kInitialRows + "\n[History]\n" + history;
}

std::string Repeat(const std::string& text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

bool SameHistory(const OthelloMapHistory& a, const OthelloMapHistory& b) {
    return a.Boards == b.Boards && a.Moves == b.Moves && a.CurrentStep == b.CurrentStep &&
           a.StepCount == b.StepCount;
}

class RecordFile : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir_ = fs::temp_directory_path() /
               ("morvane_test_core_" + std::to_string(getpid()) + "_" + test);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

    std::string WriteFile(const std::string& name, const std::string& bytes) const {
        const std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    ErrorReporter Capture() {
        return [this](const std::string& text) { errors_.push_back(text); };
    }

    fs::path dir_;
    std::vector<std::string> errors_;
};

TEST_F(RecordFile, SavesTheExampleRecordInCodePage932) {
    OthelloLogic logic;
    ASSERT_TRUE(PlayMoves(logic, "f5d6c3"));
    const std::string path = PathOf("example.mvr");
    ASSERT_TRUE(logic.History.Save(path));
    // "[モルヴァン]" in code page 932.
    const std::string header = "[\x83\x82\x83\x8B\x83\x94\x83\x40\x83\x93]\r\n";
    const std::string expected = header +
                                 "Kind = Record\r\n"
                                 "FormatVersion = 2\r\n"
                                 "\r\n"
                                 "[Information]\r\n"
                                 "CurrentStep = 3\r\n"
                                 "\r\n"
                                 "[InitialBoard]\r\n"
                                 "00000000\r\n00000000\r\n00000000\r\n00021000\r\n"
                                 "00012000\r\n00000000\r\n00000000\r\n00000000\r\n"
                                 "\r\n"
                                 "[History]\r\n"
                                 "InitColor = BLACK\r\n"
                                 "Steps = f5d6c3\r\n";
    EXPECT_EQ(ReadFile(path), expected);
}

TEST_F(RecordFile, NewGameHasNoHistorySection) {
    OthelloLogic logic;
    const std::string path = PathOf("new.mvr");
    ASSERT_TRUE(logic.History.Save(path));
    const std::string bytes = ReadFile(path);
    const std::string tail =
        "[InitialBoard]\r\n00000000\r\n00000000\r\n00000000\r\n00021000\r\n"
        "00012000\r\n00000000\r\n00000000\r\n00000000\r\n";
    ASSERT_GE(bytes.size(), tail.size());
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
    EXPECT_EQ(bytes.find("History"), std::string::npos);

    OthelloLogic loaded;
    ASSERT_TRUE(PlayMoves(loaded, "e6f4"));
    ASSERT_TRUE(loaded.LoadRecord(path, Capture()));
    EXPECT_EQ(loaded.History.StepCount, 0);
    EXPECT_EQ(loaded.History.CurrentStep, 0);
    EXPECT_EQ(loaded.Board, OthelloLogic().Board);
    EXPECT_EQ(loaded.History.CurrentColor(), kBlack);
}

TEST_F(RecordFile, WholeGameReadsBackAtTheSavedStep) {
    OthelloLogic game;
    while (!game.IsGameOver()) {
        const std::set<std::string> legal = LegalSquares(game, game.Turn);
        ASSERT_FALSE(legal.empty());
        ASSERT_TRUE(PlayMoves(game, *legal.begin()));
    }
    const BoardArray lastBoard = game.Board;
    bool hasPass = false;
    for (int i = 1; i < game.History.StepCount; ++i) {
        hasPass = hasPass || game.History.Moves[i].color == game.History.Moves[i - 1].color;
    }
    ASSERT_TRUE(hasPass) << "the replay should have a pass to infer";
    game.ToFirst();
    game.History.Forward();
    const std::string path = PathOf("game.mvr");
    ASSERT_TRUE(game.History.Save(path));

    OthelloLogic loaded;
    ASSERT_TRUE(PlayMoves(loaded, "e6f4"));
    ASSERT_TRUE(loaded.LoadRecord(path, Capture()));
    EXPECT_TRUE(errors_.empty());
    const OthelloMapHistory& history = loaded.History;
    ASSERT_EQ(history.StepCount, game.History.StepCount);
    EXPECT_EQ(history.CurrentStep, 1);
    for (int i = 0; i < history.StepCount; ++i) {
        EXPECT_EQ(history.Moves[i], game.History.Moves[i]) << "move " << i;
    }
    for (int i = 0; i <= history.StepCount; ++i) {
        EXPECT_EQ(history.Boards[i], game.History.Boards[i]) << "board " << i;
    }
    EXPECT_EQ(loaded.Board, game.History.Boards[1]);

    int color = 0;
    PointData placed;
    std::vector<PointData> changed;
    while (loaded.StepForward(color, placed, changed)) {
    }
    EXPECT_EQ(history.CurrentStep, history.StepCount);
    EXPECT_EQ(loaded.Board, lastBoard);
}

TEST_F(RecordFile, PassesReadBackWithTheirColours) {
    // Saved: black plays twice because white must pass.
    OthelloLogic game;
    SetPosition(game,
                BoardFromRows({"BW......", "........", "........", "........", "........",
                               "........", "........", "BW......"}),
                kBlack);
    game.PutStone(kBlack, 3, 1);
    game.PutStone(kBlack, 3, 8);
    const std::string saved = PathOf("black.mvr");
    ASSERT_TRUE(game.History.Save(saved));
    OthelloLogic loaded;
    ASSERT_TRUE(loaded.LoadRecord(saved, Capture()));
    EXPECT_TRUE(SameHistory(loaded.History, game.History));

    // Written by hand: white starts, black must pass, white moves again.
    const std::string path =
        WriteFile("white.mvr", V2File("2", "InitColor = WHITE\nSteps = c1c8\n", kWhiteTwiceRows));
    ASSERT_TRUE(loaded.LoadRecord(path, Capture()));
    EXPECT_EQ(loaded.History.StepCount, 2);
    EXPECT_EQ(loaded.History.Moves[0], (MoveData{3, 1, kWhite}));
    EXPECT_EQ(loaded.History.Moves[1], (MoveData{3, 8, kWhite}));
    EXPECT_EQ(loaded.CountStones(kWhite), 6);
    EXPECT_EQ(loaded.History.CurrentColor(), kEmpty);
    loaded.History.ToFirst();
    EXPECT_EQ(loaded.History.CurrentColor(), kWhite);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(RecordFile, ReadsTheFirstVersion) {
    OthelloLogic played;
    ASSERT_TRUE(PlayMoves(played, "f5d6"));
    OthelloLogic loaded;
    ASSERT_TRUE(loaded.LoadRecord(WriteFile("v1.mvr", V1File("2", "B = F5\nw = d6\n")), Capture()));
    EXPECT_TRUE(SameHistory(loaded.History, played.History));
    EXPECT_EQ(loaded.Board, played.Board);

    // An explicit first version reads the same way.
    const std::string explicitV1 =
        "[モルヴァン]\nFormatVersion = 1\n\n[Information]\n"
        "CurrentStep = 2\n\n[InitialBoard]\n" +
        kInitialRows + "\n[History]\nb = f5\nW = D6\n";
    OthelloLogic second;
    ASSERT_TRUE(second.LoadRecord(WriteFile("v1b.mvr", explicitV1), Capture()));
    EXPECT_TRUE(SameHistory(second.History, played.History));
    EXPECT_TRUE(errors_.empty());
}

TEST_F(RecordFile, UnrecognisedHeaderOrVersionFallsBackToTheFirstVersion) {
    const std::string rest = "\n[Information]\nCurrentStep = 1\n\n[InitialBoard]\n" + kInitialRows +
                             "\n[History]\nInitColor = BLACK\nSteps = d3\nb = f5\n";
    const std::vector<std::string> headers = {
        "[Morvane]\nKind = Record\nFormatVersion = 2\n",
        "[モルヴァン]\nKind = Record\nFormatVersion = two\n",
    };
    for (const std::string& header : headers) {
        SCOPED_TRACE(header);
        OthelloLogic loaded;
        ASSERT_TRUE(loaded.LoadRecord(WriteFile("fallback.mvr", header + rest), Capture()));
        EXPECT_EQ(loaded.History.StepCount, 1);
        EXPECT_EQ(loaded.History.Moves[0], (MoveData{6, 5, kBlack}));
    }
}

TEST_F(RecordFile, NamesAreCaseSensitive) {
    OthelloLogic loaded;
    ASSERT_TRUE(PlayMoves(loaded, "e6"));
    const std::string lower = V2File("0", "") + "[history]\nInitColor = BLACK\nSteps = f5\n";
    ASSERT_TRUE(loaded.LoadRecord(WriteFile("lower.mvr", lower), Capture()));
    EXPECT_EQ(loaded.History.StepCount, 0);
    EXPECT_EQ(loaded.Board, OthelloLogic().Board);
}

TEST_F(RecordFile, IgnoresWhatItDoesNotKnow) {
    const std::string text =
        "# written by hand\n" +
        V2File("1", "Comment = good game\nInitColor = BLACK ; black starts\nSteps = f5\n",
               kInitialRows + "22222222\n000000000\n") +
        "Steps = d6\n[Extra]\nSteps = c3\nCurrentStep = 9\n";
    OthelloLogic played;
    ASSERT_TRUE(PlayMoves(played, "f5d6"));
    OthelloLogic loaded;
    ASSERT_TRUE(loaded.LoadRecord(WriteFile("extra.mvr", text), Capture()));
    EXPECT_EQ(loaded.History.MoveString(), "f5d6");
    EXPECT_EQ(loaded.History.CurrentStep, 1);
    EXPECT_EQ(loaded.History.Boards[2], played.Board);
    EXPECT_EQ(loaded.Board, played.History.Boards[1]);
}

TEST_F(RecordFile, RejectedFilesChangeNothing) {
    struct Case {
        const char* what;
        std::optional<std::string> text;  // nullopt: no file at all
    };
    const std::string board3 =
        "00000000\n00000000\n00000000\n00021000\n00013000\n"
        "00000000\n00000000\n00000000\n";
    const std::string sevenRows =
        "00000000\n00000000\n00000000\n00021000\n0001200\n"
        "00000000\n00000000\n00000000\n";
    const std::vector<Case> cases = {
        {"missing file", std::nullopt},
        {"empty file", ""},
        {"odd Steps", V2File("0", "InitColor = BLACK\nSteps = f5d\n")},
        {"row with 3", V2File("0", "", board3)},
        {"seven rows", V2File("0", "", sevenRows)},
        {"illegal move", V2File("1", "InitColor = BLACK\nSteps = a1\n")},
        {"upper-case square", V2File("1", "InitColor = BLACK\nSteps = F5\n")},
        {"square off the board", V2File("1", "InitColor = BLACK\nSteps = i5\n")},
        {"no InitColor", V2File("2", "Steps = f5d6\n")},
        {"unknown InitColor", V2File("2", "InitColor = RED\nSteps = f5d6\n")},
        {"CurrentStep too big", V2File("3", "InitColor = BLACK\nSteps = f5d6\n")},
        {"CurrentStep negative", V2File("-1", "InitColor = BLACK\nSteps = f5d6\n")},
        {"65 moves", V2File("0", "InitColor = BLACK\nSteps = " + Repeat("f5", 65) + "\n")},
        {"65 moves on two lines", V2File("0", "InitColor = BLACK\nSteps = " + Repeat("f5", 40) +
                                                  "\nSteps = " + Repeat("f5", 25) + "\n")},
        {"65 moves, first version", V1File("0", Repeat("b = f5\n", 65))},
        {"first version, bad colour", V1File("0", "x = f5\n")},
        {"first version, bad square", V1File("0", "b = i5\n")},
        {"first version, illegal move", V1File("0", "w = f5\n")},
        {"over-long line before the board", "[モルヴァン]\nFormatVersion = 2\n; " +
                                                std::string(1100, 'x') + "\n[InitialBoard]\n" +
                                                kInitialRows},
    };

    OthelloLogic logic;
    ASSERT_TRUE(PlayMoves(logic, "f5d6c3d3"));
    logic.ToFirst();
    logic.History.Forward();
    const OthelloMapHistory before = logic.History;
    const BoardArray board = logic.Board;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        errors_.clear();
        const std::string path =
            c.text ? WriteFile("bad.mvr", *c.text) : PathOf("no such record.mvr");
        EXPECT_FALSE(logic.LoadRecord(path, Capture()));
        EXPECT_EQ(errors_, std::vector<std::string>{kErrorText});
        EXPECT_TRUE(SameHistory(logic.History, before));
        EXPECT_EQ(logic.Board, board);
    }
    // No reporter set: the failure is still a failure.
    EXPECT_FALSE(logic.History.Load(PathOf("no such record.mvr"), ErrorReporter()));
}

TEST_F(RecordFile, AcceptsUtf8AndCodePage932) {
    // Both the header line and the version-2 moves count only if the header is decoded right.
    const std::string utf8 = "\xEF\xBB\xBF" + V2File("2", "InitColor = BLACK\nSteps = f5d6\n");
    std::string cp932 = V2File("2", "InitColor = BLACK\nSteps = f5d6\n");
    cp932.replace(1, std::string("モルヴァン").size(), "\x83\x82\x83\x8B\x83\x94\x83\x40\x83\x93");
    for (const std::string& text : {utf8, cp932}) {
        OthelloLogic loaded;
        ASSERT_TRUE(loaded.LoadRecord(WriteFile("encoded.mvr", text), Capture()));
        EXPECT_EQ(loaded.History.MoveString(), "f5d6");
        EXPECT_EQ(loaded.History.CurrentStep, 2);
    }
    EXPECT_TRUE(errors_.empty());
}

TEST_F(RecordFile, FailedSaveKeepsTheOldFile) {
    OthelloLogic logic;
    ASSERT_TRUE(PlayMoves(logic, "f5d6c3"));
    const std::string path = PathOf("game.mvr");
    ASSERT_TRUE(logic.History.Save(path));
    const std::string saved = ReadFile(path);

    EXPECT_FALSE(logic.History.Save(PathOf("no folder/game.mvr")));
    EXPECT_FALSE(fs::exists(dir_ / "no folder"));

    // A disk that fills up half-way through the write: files may not grow beyond 64 bytes.
    logic.History.Back();
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 64;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = logic.History.Save(path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFile(path), saved);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

}  // namespace
