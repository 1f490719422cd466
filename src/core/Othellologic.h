#pragma once

#include <string>
#include <vector>

#include "Othellomaphistory.h"
#include "PointData.h"

// The authoritative game position and the rules of Othello: legality (CanPut), playing a move
// with its flips (PutStone), passes and the end of the game. Every move is recorded in History,
// and the history wrappers show a recorded step in Board. A plain value; knows nothing of
// graphics.
class OthelloLogic {
public:
    BoardArray Board{};
    // Board with kLegalMark on the legal squares of one colour; filled by GetMarkedBoard.
    BoardArray MarkedBoard{};
    int Turn = kBlack;
    OthelloMapHistory History;

    OthelloLogic() { Init(kBlack); }

    // Sets up the initial position with color to move and starts a new history there.
    void Init(int color);
    bool CanPut(int color, int x, int y) const;
    bool HasLegalMove(int color) const;
    bool IsGameOver() const;
    int CountStones(int color) const;
    // Plays a move without testing it (callers test CanPut first), records it and passes the
    // turn, unless the opponent must pass.
    void PutStone(int color, int x, int y);
    // color 0 stands for Turn.
    const BoardArray& GetMarkedBoard(int color);
    // Takes the playing squares of board; the border stays empty.
    void CopyFrom(const BoardArray& board);

    // History browsing: each moves the history's step and shows that step's board.
    void ToFirst();
    void ToLast();
    // Any step from 0 to the last; others are taken as the nearest.
    void ToStep(int step);
    // color, placed and changed describe the step for its animation (see DiffBoards). False and
    // nothing changed at the last step.
    bool StepForward(int& color, PointData& placed, std::vector<PointData>& changed);
    // As StepForward, towards step 0.
    bool StepBack(int& color, PointData& placed, std::vector<PointData>& changed);

    // The change between two boards one move apart, in either direction: placed is the square
    // of the move, color the colour the flipped stones take, changed the flipped squares
    // direction by direction, nearest first.
    static void DiffBoards(const BoardArray& oldBoard, const BoardArray& newBoard, int& color,
                           PointData& placed, std::vector<PointData>& changed);

    // Loads a record file of any format (RecordFormats.h) into History and shows its stored
    // step; on failure reports through onError and changes nothing.
    bool LoadRecord(const std::string& fileName, const ErrorReporter& onError);
    // The same for a pasted text: a move string, a GGF game or a board text.
    bool LoadRecordText(const std::string& text, const ErrorReporter& onError);

private:
    // Shows the step the history has just moved to, describing the change from the old board.
    bool ShowStepFrom(int& color, PointData& placed, std::vector<PointData>& changed);
};
