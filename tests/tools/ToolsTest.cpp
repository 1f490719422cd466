#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "NboardProtocol.h"
#include "RecordTool.h"

namespace {

const std::string kStart = "---------------------------O*------*O---------------------------";
// Black's c1 and c8 are the only moves on the board; white never has one.
const std::string kWhitePasses = "*O" + std::string(54, '-') + "*O" + std::string(6, '-');

std::string Game(const std::string& board, const std::string& moves) {
    return "set game (;GM[Othello]PC[test]TY[8]BO[8 " + board + "]" + moves + ";)";
}

// '*' stands for any run of characters; everything else is literal.
bool Matches(const char* pattern, const char* text) {
    if (*pattern == '\0') return *text == '\0';
    if (*pattern == '*') return Matches(pattern + 1, text) || (*text && Matches(pattern, text + 1));
    return *pattern == *text && Matches(pattern + 1, text + 1);
}

// Scripted sessions, and the depths that choose the levels.
TEST(Nboard, ScriptedSessions) {
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> sessions = {
        // A GUI waits for the pong to any ping; GGF escapes "]" and "\\" in values.
        {{"nboard 2", "learn", "set contempt 0.5", "set depth 3", "ping 1", "ping",
          "ping 99999999999 x ", Game(kStart + " *", "PB[a\\]b]PW[c\\\\]B[f5]"), "ping 2", "quit"},
         {"set myname Morvane", "learned", "pong 1", "pong", "pong 99999999999 x", "pong 2",
          "(end)"}},
        // Every move as it is valued, one ply deep and then two, the second ply in the order of the
        // first's values; a value goes out when none before it in its ply was better (C7 at 1).
        {{"set depth 1", "move f5", "move d6", "hint 1"},
         {"search C3 0 0 1", "search C4 0 0 1", "search C5 9 0 1", "search C6 9 0 1",
          "search C5 -6 0 2", "search C6 -6 0 2", "search C3 -3 0 2", "search C4 -3 0 2",
          "search C7 -3 0 2", "status"}},
        // ping is answered after the move that came before it.
        {{"set depth 3", "go", "ping 7"}, {"=== C4/*/*", "status", "pong 7"}},
        // White must pass first; after the pass black moves on.
        {{"set depth 3", Game(kWhitePasses + " O", ""), "go", "hint 3", "move PA", "go",
          "move c1/3/1.5"},
         {"=== PA", "search PA -6 0 4", "status", "=== C*/6/*", "status"}},
        // A game that ends: nothing to play, values from the end back to the start.
        {{Game(kWhitePasses + " *", "B[c1]W[pa]B[C8/6.00/0:02]"), "go", "hint 1", "move PA",
          "analyze"},
         {"status the game is over; there is no move to make",
          "status the game is over; there is nothing to hint", "status move PA is not legal here",
          "analysis 3 -6", "analysis 2 6", "analysis 1 -6", "analysis 0 6", "status"}},
        // Each malformed line gets one status line and changes nothing: f5 is legal at the end.
        {{"nboard 1", "set depth 61", Game(kStart + " *", "B[f5]B[c3]"), "move z9", "move f4",
          "hint 0", "frobnicate", "", "move f5"},
         {"status protocol version 1 is not supported; this engine speaks version 2",
          "status set depth needs a number from 1 to 60",
          "status set game: move 2 (c3): not a legal move for black",
          "status move z9: not a square such as F5, nor PA", "status move f4 is not legal here",
          "status hint needs a number of moves, 1 or more", "status unknown command 'frobnicate'"}},
    };
    for (const auto& [requests, patterns] : sessions) {
        std::ostringstream out;
        NboardSession session(out);
        for (const std::string& request : requests)
            if (!session.Handle(request)) out << "(end)\n";
        std::istringstream text(out.str());
        std::vector<std::string> answers;  // without the progress lines of the searches
        for (std::string line; std::getline(text, line);)
            if (!line.starts_with("nodestats ") && !line.starts_with("status depth "))
                answers.push_back(line);
        ASSERT_EQ(answers.size(), patterns.size()) << ::testing::PrintToString(answers);
        for (std::size_t i = 0; i < answers.size(); ++i)
            EXPECT_TRUE(Matches(patterns[i].c_str(), answers[i].c_str())) << answers[i];
    }
    std::string levels;  // for depths 1 to 15 and 60
    for (int depth : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 60})
        levels += std::to_string(NboardSession::LevelForDepth(depth));
    EXPECT_EQ(levels, "0011223456788888");
}

// Output that hands every line to a hook as it is flushed: there a test stands in for the reader
// thread, which interrupts the session when a "ping" comes in.
struct HookedOutput : std::stringbuf {
    std::function<void(const std::string&)> onLine;
    std::size_t seen = 0;
    int sync() override {
        const std::string text = str();
        for (std::size_t end; (end = text.find('\n', seen)) != std::string::npos; seen = end + 1)
            onLine(text.substr(seen, end - seen));
        return 0;
    }
};

TEST(Nboard, AWaitingPingStopsHintAnalyzeAndGo) {
    // 14 empties: exact at depth 12 (レベル９), G8 the best of 8 moves; go from the start.
    const std::string position = "--XXXXX--OOOXX-O-OOOXXOX-OXOXOXXOXXXOXXX--XOXOXX-XXXOOO--OOOOO--";
    // The command, the line at which the ping comes, the end of the stopped output, and the next
    // run's output once the ping was answered.
    for (const auto& [command, first, stopped, next] :
         {std::tuple{"hint 60", "search ", "search * 0 14\nnodestats * *\nstatus\n",
                     "pong 1\n*search G8 18 *\nstatus\n"},
          std::tuple{"analyze", "analysis ", "analysis 0 *\nstatus\n",
                     "pong 1\n*analysis 0 18\nstatus\n"},
          std::tuple{"go", "status depth", "status depth *\nnodestats * *\nstatus\n",
                     "pong 1\n*=== *\nstatus\n"}}) {
        HookedOutput buffer;
        std::ostream out(&buffer);
        NboardSession session(out);
        bool pinged = false;
        buffer.onLine = [&](const std::string& line) {
            if (!pinged && (pinged = line.starts_with(first))) session.Interrupt();
        };
        session.Handle("set depth 12");
        if (std::string(command) != "go") session.Handle(Game(position + " *", ""));
        session.Handle(command);
        const std::string text = buffer.str();
        EXPECT_TRUE(Matches((std::string("*") + stopped).c_str(), text.c_str())) << text;
        // One value, the node count, the status line; go plays no move.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n') == 3, std::string(command) != "go");
        EXPECT_EQ(text.find("==="), std::string::npos) << text;
        session.Handle("ping 1");
        buffer.onLine = [](const std::string&) {};
        session.Handle(command);  // the ping was answered: the next search runs to its end
        const std::string last = buffer.str().substr(text.size());
        EXPECT_TRUE(Matches(next, last.c_str())) << last;
    }
    // Through the reader thread: a ping read while a hint runs (all 12 moves of a 20-empties
    // endgame, seconds) stops it.
    std::istringstream in(
        "set depth 12\n" +
        Game("-OOOOO----OXXO---OOOOXXO-OOOXOXX-OOXOOXX-XOXXOXX--O-XXXX--O----O *", "") +
        "\nhint 60\nping 2\n");
    std::ostringstream out;
    EXPECT_EQ(RunNboard(in, out), 0);
    EXPECT_TRUE(Matches("*status\npong 2\n", out.str().c_str())) << out.str();
    std::size_t valued = 0;
    for (std::size_t at = 0; (at = out.str().find("search ", at)) != std::string::npos; ++at)
        ++valued;
    EXPECT_LT(valued, 12u) << out.str();
}

std::string Path(const std::string& name) {
    return ::testing::TempDir() + "morvane-tools-" + name;
}

// The engine tool's exit status and everything it writes.
std::pair<int, std::string> Engine(const std::string& arguments) {
    FILE* pipe = popen((MORVANE_ENGINE " " + arguments + " 2>&1").c_str(), "r");
    std::string output;
    for (char buffer[256]; pipe && std::fgets(buffer, sizeof buffer, pipe) != nullptr;)
        output += buffer;
    const int status = pipe ? pclose(pipe) : -1;
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(Nboard, TheEngineToolSpeaksItOnStdinAndStdoutAndAnswersItsOptions) {
    // An endless line costs a status line, not the memory it would fill.
    std::ofstream(Path("nboard")) << "nboard 2\nset depth 1\ngo\n" + std::string(2 << 20, 'x') +
                                         "\nping 3\n";
    const std::string position = " '" + kStart + " X'";
    const std::string endgame =
        " '--XXXXX--OOOXX-O-OOOXXOX-OXOXOXXOXXXOXXX--XOXOXX-XXXOOO--OOOOO-- X'";
    // The end of input ends the session: a status line per iteration, the node count, the move.
    const std::tuple<std::string, int, const char*> runs[] = {
        {"nboard < " + Path("nboard"), 0,
         "set myname Morvane\nstatus depth 2, * nodes\nnodestats * *.*\n=== C4/*\nstatus\n"
         "status line longer than 1048576 bytes ignored\npong 3\n"},
        {"--help", 0, "Usage: morvane-engine COMMAND\n*--version*"},
        {"think -h", 0, "Usage: morvane-engine COMMAND\n*"},
        {"--version", 0, "morvane-engine *.*\n"},
        {"think --level 0" + position, 0, "*\nc4\n"},
        {"think --level 9" + position, 2, "*: --level needs a level from 0 to 8, got '9'\n"},
        {"think --level -1" + position, 2, "*from 0 to 8, got '-1'\n"},
        // Every move valued, best first: exact, win/loss and evaluation points with their plies.
        {"analyze" + endgame, 0,
         "g8 exact +18\nh1 exact +12\na2 exact +6\nh7 exact +6\na3 exact +4\nb1 exact -4\n"
         "a4 exact -22\ng2 exact -24\nnodes * time *.*\n"},
        {"analyze --level 2" + endgame, 0, "h1 wld win\n*a3 wld win\n*b1 wld loss\n*nodes *"},
        {"analyze --level 0" + endgame, 0, "h1 eval 53 2\na4 eval 4 2\n*h7 eval -32 2\nnodes *"},
        {"analyze '" + kWhitePasses + " O'", 0, "pass\n"},
        {"analyze '" + std::string(64, '*') + " O'", 0, "game over\n"},
        {"analyze --level 9" + endgame, 2, "*from 0 to 8*"},
        {"bench --analysis --quick", 2, "*--quick and --analysis exclude each other\n"}};
    for (const auto& [arguments, status, pattern] : runs) {
        const auto [exit, output] = Engine(arguments);
        EXPECT_TRUE(exit == status && Matches(pattern, output.c_str()))
            << arguments << exit << output;
    }
}

// Runs the tool; "status|stdout|stderr".
std::string Tool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunRecordTool(args, out, err);
    return std::to_string(status) + "|" + out.str() + "|" + err.str();
}

TEST(RecordTool, ShowsAndConvertsWhatTheGameLoadsAndReportsRefusals) {
    // A finished game in which white must pass.
    std::ofstream(Path("game.ggf")) << "(;BO[8 " + kWhitePasses + " *]B[c1]B[C8];)";
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

    // The game's message, then the fault in English: for a record file, the refused move.
    std::ofstream(Path("bad.txt")) << "f5d6c3c3";
    EXPECT_TRUE(
        Matches("1||棋譜を読み込めません。*\nmorvane-record: move 4 (c3): not a legal move\n",
                Tool({"convert", Path("bad.txt"), Path("out.ggf")}).c_str()));
    EXPECT_FALSE(std::ifstream(Path("out.ggf")).good());
    std::ifstream saved(Path("game.mvr"));
    std::string record(std::istreambuf_iterator<char>(saved), {});
    std::ofstream(Path("bad.mvr")) << record.replace(record.find("f5d6c5"), 6, "f5d6d6");
    EXPECT_TRUE(Matches("1||*正しいフォーマット*\nmorvane-record: move 3 (d6): not a legal move\n",
                        Tool({"convert", Path("bad.mvr"), Path("out.ggf")}).c_str()));
    EXPECT_TRUE(Matches(("1||*\nmorvane-record: cannot read " + Path("missing.mvr") + "\n").c_str(),
                        Tool({"show", Path("missing.mvr")}).c_str()));
    // An answer that cannot be written (a full disc) is no answer.
    std::ostream unwritable(nullptr);
    EXPECT_EQ(RunRecordTool({"show", Path("game.mvr")}, unwritable, unwritable), 1);
    EXPECT_EQ(Tool({"convert", Path("bad.txt"), Path("out.pgn")}).substr(0, 3), "2||");
}

}  // namespace
