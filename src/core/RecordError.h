#pragma once

#include <functional>
#include <string>
#include <utility>

// Why a record file or a pasted record was refused: one fault, with the move or the text it
// concerns as the user wrote it. The game tells it in Japanese (RecordErrorText), the
// command-line tools in English (RecordErrorLine).
enum class RecordFault {
    None,
    Unreadable,     // token: the file, missing or not readable
    BadRecordFile,  // a game record file (.mvr) that was read but is not in its format
    EmptyText,
    NotASquare,   // number: the move's; token: what stands there
    IllegalMove,  // number, token; color: the side it was given to, when the record says
    NoPass,       // number, token; color: the side that may not pass there
    // Board texts
    ManyLines,
    FewSquares,    // number: the characters there are
    BadSquare,     // number: the square, 1..64; token: its character
    NoSide,        // nothing after the 64 squares
    BadSeparator,  // token: what follows the 64 squares
    BadSide,       // token: the side to move as written
    // GGF games
    GgfStart,
    GgfEnd,
    GgfProperty,         // number: the character, 1-based; token: the text there
    GgfUnclosed,         // token: the property's name
    GgfNotOthello,       // token: GM's value
    GgfNotEightByEight,  // token: the property that says so
    GgfBoard,            // BO without 64 squares and a side to move
    GgfAfterGame,        // token: what follows the game
};

struct RecordError {
    RecordError() = default;
    explicit RecordError(RecordFault f, int n = 0, std::string t = "", int c = 0)
        : fault(f), number(n), token(std::move(t)), color(c) {}

    RecordFault fault = RecordFault::None;
    int number = 0;
    std::string token;
    int color = 0;
    // Found in a game record file, whose message the game keeps as it always was.
    bool recordFile = false;
};

// The message box text.
std::string RecordErrorText(const RecordError& error);
// One English line.
std::string RecordErrorLine(const RecordError& error);

// Shows a message to the user; the window supplies a message box, tests capture the text.
using ErrorReporter = std::function<void(const std::string& text)>;
