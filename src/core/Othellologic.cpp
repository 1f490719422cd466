#include "Othellologic.h"

#include <algorithm>

#include "RecordFormats.h"

namespace {

// The eight directions as array offsets, dx outer and dy inner, each from -1 to 1; the
// animation of a history step depends on this order.
constexpr std::array<int, 8> kDirections = {-11, -10, -9, -1, 1, 9, 10, 11};

bool IsPlayingSquare(int x, int y) {
    return x >= 1 && x <= 8 && y >= 1 && y <= 8;
}

}  // namespace

void OthelloLogic::Init(int color) {
    Board.fill(kEmpty);
    Board[BoardIndex(4, 4)] = kWhite;
    Board[BoardIndex(5, 5)] = kWhite;
    Board[BoardIndex(4, 5)] = kBlack;
    Board[BoardIndex(5, 4)] = kBlack;
    History.Init(Board);
    Turn = color;
}

bool OthelloLogic::CanPut(int color, int x, int y) const {
    // With any other colour the walk would run over empty squares and out through the border.
    if (color != kBlack && color != kWhite) return false;
    if (!IsPlayingSquare(x, y)) return false;
    const int square = BoardIndex(x, y);
    if (Board[square] != kEmpty) return false;
    for (int step : kDirections) {
        int cell = square + step;
        if (Board[cell] != -color) continue;
        while (Board[cell] == -color)
            cell += step;
        if (Board[cell] == color) return true;
    }
    return false;
}

bool OthelloLogic::HasLegalMove(int color) const {
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            if (CanPut(color, x, y)) return true;
        }
    }
    return false;
}

bool OthelloLogic::IsGameOver() const {
    if (HasLegalMove(kBlack)) return false;
    return !HasLegalMove(kWhite);
}

int OthelloLogic::CountStones(int color) const {
    int count = 0;
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            if (Board[BoardIndex(x, y)] == color) ++count;
        }
    }
    return count;
}

void OthelloLogic::PutStone(int color, int x, int y) {
    Turn = color;
    const int square = BoardIndex(x, y);
    Board[square] = color;
    for (int step : kDirections) {
        int cell = square + step;
        if (Board[cell] != -color) continue;
        while (Board[cell] == -color)
            cell += step;
        if (Board[cell] != color) continue;
        for (int flip = square + step; flip != cell; flip += step)
            Board[flip] = color;
    }
    History.AddMove(color, x, y, Board);
    Turn = -color;
    if (!HasLegalMove(Turn)) Turn = color;
}

const BoardArray& OthelloLogic::GetMarkedBoard(int color) {
    if (color == 0) color = Turn;
    CopyPlayingSquares(Board, MarkedBoard);
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            if (CanPut(color, x, y)) MarkedBoard[BoardIndex(x, y)] = kLegalMark;
        }
    }
    return MarkedBoard;
}

void OthelloLogic::CopyFrom(const BoardArray& board) {
    CopyPlayingSquares(board, Board);
}

void OthelloLogic::ToFirst() {
    History.ToFirst();
    CopyFrom(History.Boards[History.CurrentStep]);
}

void OthelloLogic::ToLast() {
    History.ToLast();
    CopyFrom(History.Boards[History.CurrentStep]);
}

void OthelloLogic::ToStep(int step) {
    History.CurrentStep = std::clamp(step, 0, History.StepCount);
    CopyFrom(History.Boards[static_cast<std::size_t>(History.CurrentStep)]);
}

bool OthelloLogic::StepForward(int& color, PointData& placed, std::vector<PointData>& changed) {
    return History.Forward() && ShowStepFrom(color, placed, changed);
}

bool OthelloLogic::StepBack(int& color, PointData& placed, std::vector<PointData>& changed) {
    return History.Back() && ShowStepFrom(color, placed, changed);
}

bool OthelloLogic::ShowStepFrom(int& color, PointData& placed, std::vector<PointData>& changed) {
    const BoardArray& shown = History.Boards[History.CurrentStep];
    DiffBoards(Board, shown, color, placed, changed);
    CopyFrom(shown);
    return true;
}

void OthelloLogic::DiffBoards(const BoardArray& oldBoard, const BoardArray& newBoard, int& color,
                              PointData& placed, std::vector<PointData>& changed) {
    changed.clear();
    color = kEmpty;
    placed = PointData();
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            const int before = oldBoard[BoardIndex(x, y)];
            const int after = newBoard[BoardIndex(x, y)];
            if (before == kEmpty && after != kEmpty) {
                placed = PointData(x, y);
                color = after;
            } else if (after == kEmpty && before != kEmpty) {
                // Stepping back: the flipped stones return to the side that did not move.
                placed = PointData(x, y);
                color = -before;
            }
        }
    }
    if (!placed.IsValid()) return;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (dx == 0 && dy == 0) continue;
            for (int x = placed.x + dx, y = placed.y + dy;
                 IsPlayingSquare(x, y) && oldBoard[BoardIndex(x, y)] != newBoard[BoardIndex(x, y)];
                 x += dx, y += dy) {
                changed.emplace_back(x, y);
            }
        }
    }
}

bool OthelloLogic::LoadRecord(const std::string& fileName, const ErrorReporter& onError) {
    return LoadRecordFile(fileName, *this, onError);
}

bool OthelloLogic::LoadRecordText(const std::string& text, const ErrorReporter& onError) {
    return ::LoadRecordText(text, *this, onError);
}
