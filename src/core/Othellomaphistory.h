#pragma once

#include <array>
#include <string>

#include "PointData.h"
#include "RecordError.h"

// One recorded move: the square and the colour that played it.
struct MoveData {
    int x = 0;
    int y = 0;
    int color = 0;

    friend constexpr bool operator==(const MoveData&, const MoveData&) = default;
};

// A game as its starting position, its moves and the board after every move, plus the step that
// is shown. Browsing is a copy of a stored board, never a replay. Save and Load read and write
// the ".mvr" record file. Knows nothing of any window.
class OthelloMapHistory {
public:
    static constexpr int kMaxMoves = 64;

    // Boards[0] is the start, Boards[i + 1] the position after move i; only the playing squares
    // are written. One board more than moves, so that a 64th move has somewhere to go.
    std::array<BoardArray, kMaxMoves + 1> Boards{};
    std::array<MoveData, kMaxMoves> Moves{};
    int CurrentStep = 0;
    int StepCount = 0;
    // Who moves first when no move is recorded, as in a position set up with white to move; 0
    // when nothing says so. Saved and read as the record file's "InitColor".
    int StartColor = kEmpty;

    void Init(const BoardArray& board);
    // Records a move at the shown step; the moves after it are dropped.
    void AddMove(int color, int x, int y, const BoardArray& board);

    void ToFirst() { CurrentStep = 0; }
    void ToLast() { CurrentStep = StepCount; }
    bool Forward();
    bool Back();

    // The side to move at the shown step, 0 when neither side can move there.
    int CurrentColor() const;
    // All recorded moves, for example "f5d6c3", whatever step is shown.
    std::string MoveString() const;

    // True only when the whole file was written; an existing file survives a failed save.
    bool Save(const std::string& fileName) const;
    // On any fault reports the error through onError (when set), leaves the history exactly as
    // it was and returns false; the fault also goes to error (when set), a refused move by its
    // number and square.
    bool Load(const std::string& fileName, const ErrorReporter& onError,
              RecordError* error = nullptr);
};
