#pragma once

#include <array>
#include <set>
#include <string>
#include <utility>

#include "Othellologic.h"

// Boards written as eight rows, top to bottom, columns a..h: 'B' black, 'W' white, '.' empty.
inline BoardArray BoardFromRows(const std::array<std::string, 8>& rows) {
    BoardArray board{};
    for (int y = 1; y <= 8; ++y) {
        for (int x = 1; x <= 8; ++x) {
            const char c = rows[y - 1][x - 1];
            board[BoardIndex(x, y)] = c == 'B' ? kBlack : c == 'W' ? kWhite : kEmpty;
        }
    }
    return board;
}

// Starts a game from an arbitrary position, with an empty history there.
inline void SetPosition(OthelloLogic& logic, const BoardArray& board, int turn) {
    logic.CopyFrom(board);
    logic.History.Init(logic.Board);
    logic.Turn = turn;
}

// Plays a sequence of squares such as "f5d6c3", each by the side whose turn it is. False at the
// first illegal move.
inline bool PlayMoves(OthelloLogic& logic, const std::string& moves) {
    for (std::size_t i = 0; i + 1 < moves.size(); i += 2) {
        const int x = XFromLetter(moves[i]);
        const int y = YFromDigit(moves[i + 1]);
        if (!logic.CanPut(logic.Turn, x, y)) return false;
        logic.PutStone(logic.Turn, x, y);
    }
    return true;
}

inline std::set<std::string> LegalSquares(const OthelloLogic& logic, int color) {
    std::set<std::string> squares;
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            if (logic.CanPut(color, x, y)) squares.insert(SquareText(x, y));
        }
    }
    return squares;
}
