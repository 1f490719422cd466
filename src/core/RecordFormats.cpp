#include "RecordFormats.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <sstream>

#include "TextFile.h"
#include "Util.h"

namespace {

// A GGF game of 60 moves with evaluations and times fills one line of a few kilobytes.
constexpr std::size_t kMaxTextLineBytes = 65536;
// Longer than any game's clock; keeps the milliseconds far inside a 64-bit count.
constexpr double kMaxClockSeconds = 1e9;

bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
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

bool Fail(RecordError& error, const std::string& detail, int moveNumber = 0,
          const std::string& move = "") {
    error = RecordError{moveNumber, move, detail};
    return false;
}

// "[[h:]m:]s" with an optional fraction of a second, as GGF writes clocks and move times; an empty
// text is zero.
bool ParseClock(const std::string& text, long long& ms) {
    double seconds = 0;
    if (!text.empty()) {
        for (const std::string& part : Split(text, ':')) {
            if (part.empty() || !std::isdigit(static_cast<unsigned char>(part[0]))) return false;
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
bool ParseGgfBoard(const std::string& text, TextPosition& start, RecordError& error) {
    std::istringstream stream(text);
    const std::vector<std::string> words{std::istream_iterator<std::string>(stream), {}};
    if (words.empty() || words.front() != "8") return Fail(error, "BO is not an 8x8 board");
    std::string squares;
    std::size_t i = 1;
    while (i < words.size() && squares.size() < 64)
        squares += words[i++];
    if (i + 1 != words.size()) return Fail(error, "BO needs 64 squares and the side to move");
    std::string detail;
    if (!ParsePositionText(squares + ' ' + words[i], start, detail))
        return Fail(error, "BO: " + detail);
    return true;
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
    int number = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (IsSpace(text[i])) {
            ++i;
            continue;
        }
        ++number;
        const std::string move = text.substr(i, 2);
        PointData square;
        if (move.size() < 2 || !ParseSquare(move, square))
            return Fail(error, "not a square", number, move);
        if (!game.Play(kEmpty, square)) return Fail(error, "not a legal move", number, move);
        i += 2;
    }
    return true;
}

bool ReadBoardText(const std::string& text, RuledGame& game, RecordError& error) {
    if (text.find('\n') != std::string::npos)
        return Fail(error, "a board text is one line: 64 squares and the side to move");
    TextPosition start;
    std::string detail;
    if (!ParsePositionText(text, start, detail)) return Fail(error, detail);
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

std::string RecordErrorText(const RecordError& error) {
    std::string text = "棋譜を読み込めません。\n\n";
    if (error.moveNumber > 0)
        return text + std::to_string(error.moveNumber) + "手目の " + error.move +
               " は打てません。\n(" + error.detail + ")";
    return text + "棋譜として読めない文字列です。\n(" + error.detail + ")";
}

std::string RecordErrorLine(const RecordError& error) {
    if (error.moveNumber > 0)
        return "move " + std::to_string(error.moveNumber) + " (" + error.move +
               "): " + error.detail;
    return error.detail;
}

bool ParseSquare(const std::string& text, PointData& square) {
    if (text.size() != 2) return false;
    const PointData parsed(XFromLetter(static_cast<char>(std::tolower(text[0]))),
                           YFromDigit(text[1]));
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
    const std::string body = Trim(text);
    if (body.rfind("(;", 0) != 0) return Fail(error, "a GGF game starts with \"(;\"");
    GgfGame parsed;
    std::optional<GgfClock> both, black, white;
    std::size_t i = 2;
    for (;;) {
        while (i < body.size() && IsSpace(body[i]))
            ++i;
        if (i >= body.size()) return Fail(error, "the GGF game does not end with \";)\"");
        if (body.compare(i, 2, ";)") == 0) {
            i += 2;
            break;
        }
        std::string name;
        while (i < body.size() && std::isupper(static_cast<unsigned char>(body[i])))
            name += body[i++];
        if (name.empty() || i >= body.size() || body[i] != '[')
            return Fail(error, "expected a GGF property such as B[f5] at character " +
                                   std::to_string(i + 1));
        const std::size_t close = body.find(']', i);
        if (close == std::string::npos) return Fail(error, "property " + name + " has no ']'");
        const std::string value = body.substr(i + 1, close - i - 1);
        i = close + 1;
        if (name == "B" || name == "W") {
            const int number = static_cast<int>(parsed.moves.size()) + 1;
            GgfMove ggfMove;
            ggfMove.color = name == "B" ? kBlack : kWhite;
            if (!ParseGgfMove(value, ggfMove))
                return Fail(error, "not a square", number, Trim(Split(value, '/')[0]));
            parsed.moves.push_back(ggfMove);
        } else if (name == "BO") {
            if (!ParseGgfBoard(value, parsed.start, error)) return false;
        } else if (name == "GM") {
            std::string kind;
            for (char c : Trim(value))
                kind += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (kind != "othello")
                return Fail(error, "the GGF game is not Othello (GM[" + value + "])");
        } else if (name == "TY") {
            // "8", or "8" with variant letters; the board size is what matters.
            if (value.rfind('8', 0) != 0 ||
                (value.size() > 1 && std::isdigit(static_cast<unsigned char>(value[1]))))
                return Fail(error, "the GGF game is not played on 8x8 (TY[" + value + "])");
        } else if (name == "TI") {
            both = ParseGgfClock(value);
        } else if (name == "TB") {
            black = ParseGgfClock(value);
        } else if (name == "TW") {
            white = ParseGgfClock(value);
        }
    }
    if (Trim(body.substr(i)) != "") return Fail(error, "more than one GGF game in the text");
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
            return Fail(error,
                        std::string(move.square ? "not a legal move for " : "no pass for ") +
                            (move.color == kBlack ? "black" : "white"),
                        static_cast<int>(i) + 1, GgfMoveText(move.square));
        }
    }
    return true;
}

std::optional<RecordFormat> RecordFormatOfName(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || fileName.find('/', dot) != std::string::npos)
        return std::nullopt;
    std::string extension;
    for (char c : fileName.substr(dot + 1))
        extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "mvr") return RecordFormat::Mvr;
    if (extension == "ggf") return RecordFormat::Ggf;
    if (extension == "txt") return RecordFormat::MoveString;
    if (extension == "obf") return RecordFormat::BoardText;
    return std::nullopt;
}

bool LoadRecordText(const std::string& text, OthelloLogic& logic, const ErrorReporter& onError) {
    const std::string body = Trim(text);
    auto game = std::make_unique<RuledGame>();
    RecordError error;
    int square = kEmpty;
    GgfGame ggf;
    bool read = false;
    if (body.empty())
        read = Fail(error, "the text is empty");
    else if (body[0] == '(')
        read = ParseGgf(body, ggf, error) && PlayGgf(ggf, *game, error);
    else if (ColorFromSquareChar(body[0], square))
        read = ReadBoardText(body, *game, error);
    else
        read = ReadMoveString(body, *game, error);
    if (!read) {
        if (onError) onError(RecordErrorText(error));
        return false;
    }
    TakeOver(*game, logic);
    return true;
}

bool LoadRecordFile(const std::string& fileName, OthelloLogic& logic, const ErrorReporter& onError,
                    RecordError* refusal) {
    if (RecordFormatOfName(fileName) != RecordFormat::Mvr) {
        if (const auto lines = ReadTextLines(fileName, kMaxTextLineBytes)) {
            std::string text;
            for (const std::string& line : *lines)
                text += line + '\n';
            const std::string body = Trim(text);
            // Anything that starts like none of the other formats, an unreadable file included,
            // gets the record reader and its error message.
            int square = kEmpty;
            if (!body.empty() && (body[0] == '(' || ColorFromSquareChar(body[0], square) ||
                                  std::isalpha(static_cast<unsigned char>(body[0]))))
                return LoadRecordText(body, logic, onError);
        }
    }
    if (!logic.History.Load(fileName, onError, refusal)) return false;
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
