// The record reader on any file: a failed load reports and changes nothing; a load that succeeds
// gives a game the rules allow (every move legal from its recorded board, a pass only without a
// legal move, the shown step in range) that survives a save and a second load.
#include <string>

#include "FuzzSupport.h"
#include "Othellologic.h"

namespace {

bool SameHistory(const OthelloMapHistory& a, const OthelloMapHistory& b) {
    return a.Boards == b.Boards && a.Moves == b.Moves && a.CurrentStep == b.CurrentStep &&
           a.StepCount == b.StepCount;
}

void CheckLegalGame(const OthelloMapHistory& history) {
    Check(history.StepCount >= 0 && history.StepCount <= OthelloMapHistory::kMaxMoves,
          "move count");
    Check(history.CurrentStep >= 0 && history.CurrentStep <= history.StepCount, "shown step");
    OthelloLogic scratch;
    for (int i = 0; i < history.StepCount; ++i) {
        const MoveData& move = history.Moves[i];
        scratch.CopyFrom(history.Boards[i]);
        Check(move.color == kBlack || move.color == kWhite, "a move's colour");
        if (i > 0 && move.color == history.Moves[i - 1].color)
            Check(!scratch.HasLegalMove(-move.color), "a pass only without a legal move");
        Check(scratch.CanPut(move.color, move.x, move.y), "a legal move");
        scratch.PutStone(move.color, move.x, move.y);
        BoardArray after{};
        CopyPlayingSquares(scratch.Board, after);
        Check(after == history.Boards[i + 1], "the board after the move");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    OthelloLogic logic;
    const OthelloLogic before = logic;
    int reports = 0;
    const ErrorReporter count = [&reports](const std::string&) { ++reports; };
    if (!logic.LoadRecord(InputFile(data, size), count)) {
        Check(reports == 1, "one error box");
        Check(SameHistory(logic.History, before.History) && logic.Board == before.Board,
              "a failed load changes nothing");
        return 0;
    }
    Check(reports == 0, "no error box");
    CheckLegalGame(logic.History);
    Check(logic.Board == logic.History.Boards[logic.History.CurrentStep], "the shown board");

    const std::string saved = ScratchFolder() + "/game.mvr";
    Check(logic.History.Save(saved), "saved");
    OthelloLogic again;
    Check(again.LoadRecord(saved, count) && SameHistory(again.History, logic.History),
          "the saved record loads back");
    return 0;
}
