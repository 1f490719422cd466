#include "RecordFormats.h"

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <sstream>

#include "TextCodec.h"
#include "TextFile.h"
#include "Util.h"

namespace {

// A GGF game of 60 moves with evaluations and times fills one line of a few kilobytes.
constexpr std::size_t kMaxTextLineBytes = 65536;
// Longer than any game's clock; keeps the milliseconds far inside a 64-bit count.
constexpr double kMaxClockSeconds = 1e9;

// Blanks and control characters, as Trim drops them.
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// ASCII letters only: bytes of other characters stay as they are.
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::string Lower(const std::string& text) {
    std::string lower;
    for (char c : text)
        lower += Lower(c);
    return lower;
}

// The first character that is not blank, 0 for none.
char FirstCharacter(const std::string& ascii) {
    for (char c : ascii) {
        if (!IsBlank(c)) return c;
    }
    return '\0';
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool Fail(RecordError& error, RecordFault fault, int number = 0, const std::string& token = "",
          int color = kEmpty) {
    error = RecordError(fault, number, token, color);
    return false;
}

// "[[h:]m:]s" with an optional fraction of a second, as GGF writes clocks and move times; an empty
// text is zero.
bool ParseClock(const std::string& text, long long& ms) {
    double seconds = 0;
    if (!text.empty()) {
        for (const std::string& part : Split(text, ':')) {
            if (part.empty() || !IsDigit(part[0])) return false;
            char* end = nullptr;
            const double value = std::strtod(part.c_str(), &end);
            if (*end != '\0') return false;
            seconds = seconds * 60 + value;
        }
    }
    if (seconds > kMaxClockSeconds) return false;
    ms = std::llround(seconds * 1000);
    return true;
}

// TI, TB and TW: "main[/increment[/extension]]"; the extension is not used.
std::optional<GgfClock> ParseGgfClock(const std::string& text) {
    const std::vector<std::string> parts = Split(text, '/');
    GgfClock clock;
    long long main = 0;
    if (!ParseClock(Trim(parts[0]), main)) return std::nullopt;
    if (parts.size() > 1 && !ParseClock(Trim(parts[1]), clock.incrementMs)) return std::nullopt;
    clock.mainMs = main;
    return clock;
}

// BO[8 <64 squares> <side>]: the squares may come in one word or in rows.
RecordFault ParseGgfBoard(const std::string& text, TextPosition& start) {
    std::istringstream stream(text);
    const std::vector<std::string> words{std::istream_iterator<std::string>(stream), {}};
    if (words.empty() || words.front() != "8") return RecordFault::GgfNotEightByEight;
    std::string squares;
    std::size_t i = 1;
    while (i < words.size() && squares.size() < 64)
        squares += words[i++];
    RecordError unused;
    if (i + 1 != words.size() || !ParsePositionText(squares + ' ' + words[i], start, unused))
        return RecordFault::GgfBoard;
    return RecordFault::None;
}

// The history of a copy standing at step: who moves there (0 when nobody can).
int SideToMoveAt(const OthelloMapHistory& history, int step) {
    auto copy = std::make_unique<OthelloMapHistory>(history);
    copy->CurrentStep = step;
    return copy->CurrentColor();
}

// The disc difference when the game is over at the history's last step.
std::optional<int> FinalDifference(const OthelloMapHistory& history) {
    OthelloLogic last;
    last.CopyFrom(history.Boards[history.StepCount]);
    if (!last.IsGameOver()) return std::nullopt;
    return last.CountStones(kBlack) - last.CountStones(kWhite);
}

std::string FormatGgf(const OthelloMapHistory& history) {
    TextPosition start;
    start.board = history.Boards[0];
    const int first = history.StepCount > 0 ? history.Moves[0].color : SideToMoveAt(history, 0);
    start.sideToMove = first == kWhite ? kWhite : kBlack;
    const std::string position = FormatPositionText(start);
    std::string board;
    for (char c : position.substr(0, 64))
        board += c == 'X' ? '*' : c;
    std::string result = "?";
    if (const auto difference = FinalDifference(history)) {
        result = std::to_string(*difference) + ".00";
        if (*difference > 0) result.insert(result.begin(), '+');
    }
    std::string text = "(;GM[Othello]PC[Morvane]TY[8]RE[" + result + "]BO[8 " + board +
                       (start.sideToMove == kWhite ? " O]" : " *]");
    for (int i = 0; i < history.StepCount; ++i) {
        const MoveData& move = history.Moves[i];
        // Two moves of one colour in a row: the other side passed in between.
        if (i > 0 && history.Moves[i - 1].color == move.color)
            text += move.color == kBlack ? "W[PA]" : "B[PA]";
        text += move.color == kBlack ? "B[" : "W[";
        text += GgfMoveText(PointData(move.x, move.y)) + "]";
    }
    return text + ";)";
}

bool ReadMoveString(const std::string& text, RuledGame& game, RecordError& error) {
    const TypedText typed(text);
    const std::string& ascii = typed.Ascii();
    int number = 0;
    for (std::size_t i = 0; i < ascii.size();) {
        if (IsBlank(ascii[i])) {
            ++i;
            continue;
        }
        ++number;
        // Two characters, or one before a blank, as the user wrote them.
        std::size_t end = NextCharacter(ascii, i);
        if (end < ascii.size() && !IsBlank(ascii[end])) end = NextCharacter(ascii, end);
        PointData square;
        if (!ParseSquare(ascii.substr(i, end - i), square))
            return Fail(error, RecordFault::NotASquare, number, typed.Typed(i, end));
        if (!game.Play(kEmpty, square))
            return Fail(error, RecordFault::IllegalMove, number, typed.Typed(i, end));
        i = end;
    }
    return true;
}

bool ReadBoardText(const std::string& text, RuledGame& game, RecordError& error) {
    if (text.find('\n') != std::string::npos) return Fail(error, RecordFault::ManyLines);
    TextPosition start;
    if (!ParsePositionText(text, start, error)) return false;
    game = RuledGame(start);
    return true;
}

// Takes over a read game at its last step.
void TakeOver(const RuledGame& game, OthelloLogic& logic) {
    logic.History = game.Logic.History;
    logic.History.ToLast();
    logic.CopyFrom(logic.History.Boards[logic.History.CurrentStep]);
}

}  // namespace

bool ParseSquare(const std::string& text, PointData& square) {
    if (text.size() != 2) return false;
    const PointData parsed(XFromLetter(Lower(text[0])), YFromDigit(text[1]));
    if (!parsed.IsValid()) return false;
    square = parsed;
    return true;
}

TextPosition InitialTextPosition() {
    return TextPosition{OthelloLogic().Board, kBlack};
}

RuledGame::RuledGame() = default;

RuledGame::RuledGame(const TextPosition& start) : toMove_(start.sideToMove) {
    Logic.CopyFrom(start.board);
    Logic.History.Init(Logic.Board);
    Logic.History.StartColor = start.sideToMove;
    Logic.Turn = start.sideToMove;
}

bool RuledGame::Play(int color, PointData square) {
    int mover = color;
    if (mover == kEmpty)
        mover = Logic.HasLegalMove(toMove_) ? toMove_ : -toMove_;
    else if (mover != toMove_ && Logic.HasLegalMove(toMove_))
        return false;  // out of turn
    if (!Logic.CanPut(mover, square.x, square.y)) return false;
    Logic.PutStone(mover, square.x, square.y);
    toMove_ = -mover;
    return true;
}

bool RuledGame::Pass(int color) {
    // After the end nobody passes: the game is over, and endless passes would be a game too.
    if (color != toMove_ || !MustPass()) return false;
    toMove_ = -color;
    return true;
}

bool RuledGame::MustPass() const {
    return !Logic.HasLegalMove(toMove_) && Logic.HasLegalMove(-toMove_);
}

std::string GgfMoveText(const std::optional<PointData>& square) {
    if (!square) return "PA";
    return {Upper(LetterFromX(square->x)), static_cast<char>('0' + square->y)};
}

bool ParseGgfMove(const std::string& text, GgfMove& move) {
    const std::vector<std::string> parts = Split(text, '/');
    const std::string square = Trim(parts[0]);
    if (square.size() == 2 && Upper(square[0]) == 'P' && Upper(square[1]) == 'A') {
        move.square.reset();
    } else {
        PointData parsed;
        if (!ParseSquare(square, parsed)) return false;
        move.square = parsed;
    }
    // A time in an unknown style counts as none: the move itself is what matters.
    long long ms = 0;
    move.seconds =
        parts.size() > 2 && ParseClock(Trim(parts[2]), ms) ? static_cast<double>(ms) / 1000.0 : 0;
    return true;
}

bool ParseGgf(const std::string& text, GgfGame& game, RecordError& error) {
    const TypedText typed(text);
    const std::string& body = typed.Ascii();
    std::size_t i = 0;
    while (i < body.size() && IsBlank(body[i]))
        ++i;
    if (body.compare(i, 2, "(;") != 0) return Fail(error, RecordFault::GgfStart);
    GgfGame parsed;
    std::optional<GgfClock> both, black, white;
    for (i += 2;;) {
        while (i < body.size() && IsBlank(body[i]))
            ++i;
        if (i >= body.size()) return Fail(error, RecordFault::GgfEnd);
        if (body.compare(i, 2, ";)") == 0) {
            i += 2;
            break;
        }
        const std::size_t start = i;
        while (i < body.size() && body[i] >= 'A' && body[i] <= 'Z')
            ++i;
        const std::string name = body.substr(start, i - start);
        if (name.empty() || i >= body.size() || body[i] != '[') {
            // Quoted up to the end of the word or of a bracket.
            std::size_t end = NextCharacter(body, start);
            while (end < body.size() && !IsBlank(body[end]) && body[end - 1] != ']')
                end = NextCharacter(body, end);
            int number = 1;
            for (std::size_t k = 0; k < start; k = NextCharacter(body, k))
                ++number;
            return Fail(error, RecordFault::GgfProperty, number, typed.Typed(start, end));
        }
        // "\" takes the character after it as it is, "]" included.
        const std::size_t valueBegin = ++i;
        std::string value;
        for (; i < body.size() && body[i] != ']'; ++i) {
            if (body[i] == '\\' && i + 1 < body.size()) ++i;
            value += body[i];
        }
        if (i >= body.size()) return Fail(error, RecordFault::GgfUnclosed, 0, name);
        const std::string written = typed.Typed(valueBegin, i++);
        if (name == "B" || name == "W") {
            GgfMove ggfMove;
            ggfMove.color = name == "B" ? kBlack : kWhite;
            ggfMove.text = Trim(Split(written, '/')[0]);
            if (!ParseGgfMove(value, ggfMove))
                return Fail(error, RecordFault::NotASquare,
                            static_cast<int>(parsed.moves.size()) + 1, ggfMove.text);
            parsed.moves.push_back(ggfMove);
        } else if (name == "BO") {
            const RecordFault fault = ParseGgfBoard(value, parsed.start);
            if (fault != RecordFault::None) return Fail(error, fault, 0, "BO[" + written + "]");
        } else if (name == "GM") {
            if (Lower(Trim(value)) != "othello")
                return Fail(error, RecordFault::GgfNotOthello, 0, written);
        } else if (name == "TY") {
            // "8", or "8" with variant letters; the board size is what matters.
            if (value.rfind('8', 0) != 0 || (value.size() > 1 && IsDigit(value[1])))
                return Fail(error, RecordFault::GgfNotEightByEight, 0, "TY[" + written + "]");
        } else if (name == "TI") {
            both = ParseGgfClock(value);
        } else if (name == "TB") {
            black = ParseGgfClock(value);
        } else if (name == "TW") {
            white = ParseGgfClock(value);
        }
    }
    if (FirstCharacter(body.substr(i)) != '\0')
        return Fail(error, RecordFault::GgfAfterGame, 0, Trim(typed.Typed(i, body.size())));
    // An unreadable clock is left out rather than refusing the game: the moves are what matter.
    if (black || both) parsed.black = black ? *black : *both;
    if (white || both) parsed.white = white ? *white : *both;
    game = parsed;
    return true;
}

bool PlayGgf(const GgfGame& game, RuledGame& ruled, RecordError& error) {
    ruled = RuledGame(game.start);
    for (std::size_t i = 0; i < game.moves.size(); ++i) {
        const GgfMove& move = game.moves[i];
        const bool played =
            move.square ? ruled.Play(move.color, *move.square) : ruled.Pass(move.color);
        if (!played) {
            return Fail(error, move.square ? RecordFault::IllegalMove : RecordFault::NoPass,
                        static_cast<int>(i) + 1,
                        move.text.empty() ? GgfMoveText(move.square) : move.text, move.color);
        }
    }
    return true;
}

std::optional<RecordFormat> RecordFormatOfName(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || fileName.find('/', dot) != std::string::npos)
        return std::nullopt;
    const std::string extension = Lower(fileName.substr(dot + 1));
    if (extension == "mvr") return RecordFormat::Mvr;
    if (extension == "ggf") return RecordFormat::Ggf;
    if (extension == "txt") return RecordFormat::MoveString;
    if (extension == "obf") return RecordFormat::BoardText;
    return std::nullopt;
}

bool LoadRecordText(const std::string& text, OthelloLogic& logic, const ErrorReporter& onError,
                    RecordError* error) {
    const TypedText typed(text);
    const std::string& ascii = typed.Ascii();
    std::size_t begin = 0;
    std::size_t end = ascii.size();
    while (begin < end && IsBlank(ascii[begin]))
        ++begin;
    while (end > begin && IsBlank(ascii[end - 1]))
        --end;
    const std::string body = typed.Typed(begin, end);
    auto game = std::make_unique<RuledGame>();
    RecordError fault;
    int square = kEmpty;
    GgfGame ggf;
    bool read = false;
    if (body.empty())
        read = Fail(fault, RecordFault::EmptyText);
    else if (ascii[begin] == '(')
        read = ParseGgf(body, ggf, fault) && PlayGgf(ggf, *game, fault);
    else if (ColorFromSquareChar(ascii[begin], square))
        read = ReadBoardText(body, *game, fault);
    else
        read = ReadMoveString(body, *game, fault);
    if (!read) {
        if (error) *error = fault;
        if (onError) onError(RecordErrorText(fault));
        return false;
    }
    TakeOver(*game, logic);
    return true;
}

bool LoadRecordFile(const std::string& fileName, OthelloLogic& logic, const ErrorReporter& onError,
                    RecordError* error) {
    if (RecordFormatOfName(fileName) != RecordFormat::Mvr) {
        if (const auto lines = ReadTextLines(fileName, kMaxTextLineBytes)) {
            std::string text;
            for (const std::string& line : *lines)
                text += line + '\n';
            // Anything that starts like none of the other formats gets the record reader and its
            // message.
            int square = kEmpty;
            const char first = FirstCharacter(TypedText(text).Ascii());
            if (first == '(' || ColorFromSquareChar(first, square) || IsLetter(first))
                return LoadRecordText(text, logic, onError, error);
        }
    }
    if (!logic.History.Load(fileName, onError, error)) return false;
    logic.CopyFrom(logic.History.Boards[logic.History.CurrentStep]);
    return true;
}

bool FormatRecord(const OthelloMapHistory& history, RecordFormat format, std::string& text,
                  std::string& error) {
    switch (format) {
        case RecordFormat::Ggf:
            text = FormatGgf(history);
            return true;
        case RecordFormat::MoveString: {
            OthelloLogic initial;
            if (history.Boards[0] != initial.History.Boards[0] ||
                (history.StepCount > 0 && history.Moves[0].color != kBlack)) {
                error = "a move string holds only games from the initial position, black first";
                return false;
            }
            if (history.StepCount == 0) {
                error = "a move string needs at least one move";
                return false;
            }
            text = history.MoveString();
            return true;
        }
        case RecordFormat::BoardText: {
            TextPosition position;
            position.board = history.Boards[history.CurrentStep];
            position.sideToMove = history.CurrentColor() == kWhite ? kWhite : kBlack;
            text = FormatPositionText(position);
            return true;
        }
        case RecordFormat::Mvr:
            break;
    }
    error = "the record file is written by the history itself";
    return false;
}

bool SaveRecordAs(const OthelloMapHistory& history, const std::string& fileName,
                  RecordFormat format, std::string& error) {
    std::string text;
    const bool written = format == RecordFormat::Mvr
                             ? history.Save(fileName)
                             : FormatRecord(history, format, text, error) &&
                                   WriteTextFileAtomically(fileName, {text});
    if (!written && error.empty()) error = "cannot write " + fileName;
    return written;
}
