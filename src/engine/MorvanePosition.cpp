// The padded board: loading, colour normalisation, counting, and make/undo through flipRecord.
#include "Morvane.h"
#include "MorvaneHot.h"

Morvane::Morvane() : tickCount(SystemTickCount) {
    for (int& cell : board)
        cell = 9;
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            board[x * 16 + y] = 0;
    moveListStart[0] = 0;
}

void Morvane::LoadPosition(const int* gameBoard, int color) {
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            board[x * 16 + y] = gameBoard[x * 10 + y];
    ownColor = color;
    oppColor = -color;
}

void Morvane::Normalise() {
    for (int x = 0; x <= 9; ++x) {
        for (int y = 0; y <= 9; ++y) {
            int& cell = board[x * 16 + y];
            if (cell == oppColor)
                cell = -1;
            else if (cell == ownColor)
                cell = 1;
        }
    }
}

int Morvane::CountDiscs() const {
    int n = 0;
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            n += board[x * 16 + y] != 0 ? 1 : 0;
    return n;
}

int Morvane::SumBoard() const {
    int sum = 0;
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            sum += board[x * 16 + y];
    return sum;
}

void Morvane::MakeMove(int s, int k) {
    MakeMoveHot(s, k);
}

void Morvane::UndoMove(int s, int k2) {
    UndoMoveHot(s, k2);
}
