#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Othellologic.h"
#include "PositionText.h"

// Game records in the formats other Othello programs use, beside the game's own ".mvr" file: a
// move string ("f5d6c3", either case, spaces allowed, passes implied), a GGF game and the one-line
// board text with the side to move (PositionText.h). Every reader plays the moves by the rules of
// OthelloLogic and names the first one they refuse; no other copy of the rules or the notation
// lives here. Full-width letters, digits and spaces, as a Japanese input method types them, read
// as their ASCII forms; a fault quotes the text as it was written.

// "f5", "F5" -> (6, 5); false for anything else.
bool ParseSquare(const std::string& text, PointData& square);

// A game played move by move by the rules from any position, with passes stated or implied. The
// moves go into the history of Logic, which therefore always holds a game the rules can reach.
class RuledGame {
public:
    RuledGame();  // the initial position, black to move
    explicit RuledGame(const TextPosition& start);

    // Plays color at square; color 0 is the side to move, or the other side when the side to move
    // has no legal move (an implied pass). False, changing nothing, when the rules forbid it.
    bool Play(int color, PointData square);
    // A stated pass: allowed only for the side whose turn it is, only when it has no move and the
    // other side has one.
    bool Pass(int color);

    // Whose turn it is by alternation, whether or not that side can move.
    int ToMove() const { return toMove_; }
    // ToMove has no legal move while the other side has one.
    bool MustPass() const;
    bool IsOver() const { return Logic.IsGameOver(); }

    OthelloLogic Logic;

private:
    int toMove_ = kBlack;
};

// A GGF game ("(;GM[Othello]...BO[8 <64 squares> *]B[f5]W[d6//1.5]...;)"): its start, its moves
// (a pass has no square) and its clock.
struct GgfMove {
    GgfMove() = default;
    GgfMove(int c, std::optional<PointData> s, double t) : color(c), square(s), seconds(t) {}

    int color = kBlack;
    std::optional<PointData> square;  // empty for a pass ("PA")
    double seconds = 0;               // time taken, from "square/eval/time"
    std::string text;                 // the move as written, for messages
};

struct GgfClock {
    std::optional<long long> mainMs;  // the allowance; empty when the game states none
    long long incrementMs = 0;        // added for every own move
};

// The game's initial position, black to move.
TextPosition InitialTextPosition();

struct GgfGame {
    TextPosition start = InitialTextPosition();  // when BO is missing too
    std::vector<GgfMove> moves;
    GgfClock black;  // TB, else TI
    GgfClock white;  // TW, else TI
};

// One move as GGF and the NBoard protocol write it: "f5" or "F5" or "PA", optionally followed by
// "/eval/time"; the colour is left as it was. False when the move is not a square or "PA".
bool ParseGgfMove(const std::string& text, GgfMove& move);
// Reads exactly one game; false with error when the text is not one. Moves are checked only for
// their notation here: PlayGgf applies the rules. A value may hold "]" and "\" escaped by "\".
bool ParseGgf(const std::string& text, GgfGame& game, RecordError& error);
// Plays the game's moves; false at the first one the rules refuse.
bool PlayGgf(const GgfGame& game, RuledGame& ruled, RecordError& error);
// One move as GGF writes it after "B[" or "W[": "PA" for a pass, else the square in upper case.
std::string GgfMoveText(const std::optional<PointData>& square);

// The formats a record can be written in.
enum class RecordFormat { Mvr, Ggf, MoveString, BoardText };

// By the file name's extension, in either case: ".mvr", ".ggf", ".txt", ".obf".
std::optional<RecordFormat> RecordFormatOfName(const std::string& fileName);

// Reads a pasted text (a GGF game, a board text or a move string, told apart by their first
// character) into logic the way a record file is loaded; on failure reports the game's message
// through onError, the fault to error (when given), and changes nothing.
bool LoadRecordText(const std::string& text, OthelloLogic& logic, const ErrorReporter& onError,
                    RecordError* error = nullptr);
// Loads a record file of any format into logic: the game's load command. Files named ".mvr", and
// files of other names that hold an INI record, go to the record file reader; any other file is
// read by its content as LoadRecordText reads a paste. A file that cannot be read is told apart
// from one that is read and refused.
bool LoadRecordFile(const std::string& fileName, OthelloLogic& logic, const ErrorReporter& onError,
                    RecordError* error = nullptr);

// The history as text of a format other than Mvr. A move string needs a game from the initial
// position; a board text holds only the shown step and its side to move. False with error when
// the format cannot hold the history.
bool FormatRecord(const OthelloMapHistory& history, RecordFormat format, std::string& text,
                  std::string& error);
// Writes the history in format; false with error when the format cannot hold it or the file
// cannot be written (an existing file then survives).
bool SaveRecordAs(const OthelloMapHistory& history, const std::string& fileName,
                  RecordFormat format, std::string& error);
