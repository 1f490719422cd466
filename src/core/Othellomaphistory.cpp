#include "Othellomaphistory.h"

#include <memory>
#include <new>
#include <vector>

#include "Othellologic.h"
#include "TextFile.h"
#include "Util.h"

namespace {

constexpr std::size_t kMaxLineBytes = 1023;

enum class Section { None, Header, Information, InitialBoard, History };

Section SectionNamed(const std::string& name) {
    if (name == "モルヴァン") return Section::Header;
    if (name == "Information") return Section::Information;
    if (name == "InitialBoard") return Section::InitialBoard;
    if (name == "History") return Section::History;
    return Section::None;
}

char RowChar(int cell) {
    if (cell == kBlack) return '1';
    if (cell == kWhite) return '2';
    return '0';
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool InRange(int v) {
    return v >= 1 && v <= 8;
}

// What the reader has gathered so far; the history it fills is a fresh one.
struct RecordReader {
    OthelloMapHistory& history;
    Section section = Section::None;
    int version = 1;
    int step = 0;
    int row = 1;
    int count = 0;
    int initColor = 0;
    bool historySeen = false;
    RecordError error{RecordFault::BadRecordFile};

    // Refuses a 65th move before storing it: no legal game has that many.
    bool AddMove(int x, int y, int color) {
        if (count >= OthelloMapHistory::kMaxMoves) return false;
        history.Moves[count] = MoveData{x, y, color};
        ++count;
        return true;
    }

    bool ReadBoardRow(const std::string& text) {
        if (text.size() != 8 || row > 8) return true;
        for (int x = 1; x <= 8; ++x) {
            int cell = 0;
            switch (text[x - 1]) {
                case '0':
                    cell = kEmpty;
                    break;
                case '1':
                    cell = kBlack;
                    break;
                case '2':
                    cell = kWhite;
                    break;
                default:
                    return false;
            }
            history.Boards[0][BoardIndex(x, row)] = cell;
        }
        ++row;
        return true;
    }

    // Version 1: one move a line, "b = f5" or "w = c3", letters in either case.
    bool ReadVersion1Move(const std::string& name, const std::string& text) {
        if (name.size() != 1 || text.size() != 2) return true;
        const char side = AsciiLower(name[0]);
        if (side != 'b' && side != 'w') return false;
        const int x = XFromLetter(AsciiLower(text[0]));
        const int y = YFromDigit(text[1]);
        if (!InRange(x) || !InRange(y)) return false;
        return AddMove(x, y, side == 'b' ? kBlack : kWhite);
    }

    // Version 2: a move string, colours left to the replay.
    bool ReadVersion2Line(const std::string& name, const std::string& text) {
        if (name == "InitColor") {
            if (text == "BLACK") initColor = kBlack;
            if (text == "WHITE") initColor = kWhite;
            return true;
        }
        if (name != "Steps") return true;
        if (text.size() % 2 != 0) return false;
        for (std::size_t i = 0; i < text.size(); i += 2) {
            if (text[i] < 'a' || text[i] > 'h' || text[i + 1] < '1' || text[i + 1] > '8') {
                return false;
            }
            if (!AddMove(XFromLetter(text[i]), YFromDigit(text[i + 1]), kEmpty)) return false;
        }
        return true;
    }

    bool ReadLine(const std::string& line) {
        std::string name;
        std::string text;
        int number = 0;
        int kind = 0;
        if (!ParseIniLine(line, name, text, number, kind)) return true;
        if (kind == 1) {
            section = SectionNamed(name);
            historySeen = historySeen || section == Section::History;
            return true;
        }
        switch (section) {
            case Section::Header:
                // The moves already read were read by the version they came under.
                if (name == "FormatVersion" && historySeen) return false;
                // A value that is not a number gives no version to take.
                if (kind == 2 && name == "FormatVersion") version = number;
                return true;
            case Section::Information:
                if (kind == 2 && name == "CurrentStep") step = number;
                return true;
            case Section::InitialBoard:
                return kind != 4 || ReadBoardRow(name);
            case Section::History:
                if (kind != 3) return true;
                if (version == 1) return ReadVersion1Move(name, text);
                if (version == 2) return ReadVersion2Line(name, text);
                // Moves of a version we cannot read: no game to show.
                return false;
            case Section::None:
                return true;
        }
        return true;
    }

    bool Refuse(int index, RecordFault fault, int color) {
        const MoveData& move = history.Moves[index];
        error = RecordError(fault, index + 1, SquareText(move.x, move.y), color);
        error.recordFile = true;
        return false;
    }

    // Fills Boards[1..count] by playing the moves, each checked for legality. Version 2 finds
    // the colours: a side that cannot play the square must have passed. A pass is taken only
    // from a side without any legal move, so the history is always a game the rules allow.
    bool Replay() {
        OthelloLogic scratch;
        int color = initColor;
        for (int i = 0; i < count; ++i) {
            MoveData& move = history.Moves[i];
            scratch.CopyFrom(history.Boards[i]);
            if (version == 2) {
                if (!scratch.CanPut(color, move.x, move.y)) color = -color;
                move.color = color;
            }
            if (!scratch.CanPut(move.color, move.x, move.y))
                return Refuse(i, RecordFault::IllegalMove, kEmpty);
            const bool passed = i > 0 && move.color == history.Moves[i - 1].color;
            if (passed && scratch.HasLegalMove(-move.color))
                return Refuse(i, RecordFault::NoPass, -move.color);
            scratch.PutStone(move.color, move.x, move.y);
            CopyPlayingSquares(scratch.Board, history.Boards[i + 1]);
            color = -move.color;
        }
        return true;
    }

    bool Read(const std::string& fileName) {
        const auto lines = ReadTextLines(fileName, kMaxLineBytes);
        if (!lines) {
            error = RecordError(RecordFault::Unreadable, 0, fileName);
            return false;
        }
        for (const std::string& line : *lines) {
            if (!ReadLine(line)) return false;
        }
        history.StepCount = count;
        if (row != 9) return false;
        // A hand-edited step outside the record must never index the boards.
        if (step < 0 || step > count) return false;
        if (!Replay()) return false;
        history.CurrentStep = step;
        if (count == 0) history.StartColor = initColor;
        return true;
    }
};

}  // namespace

void OthelloMapHistory::Init(const BoardArray& board) {
    CurrentStep = 0;
    StepCount = 0;
    StartColor = kEmpty;
    CopyPlayingSquares(board, Boards[0]);
}

void OthelloMapHistory::AddMove(int color, int x, int y, const BoardArray& board) {
    // Unreachable in a legal game (at most 62 moves follow any position); keeps a faulty caller
    // inside the arrays.
    if (CurrentStep >= kMaxMoves) return;
    Moves[CurrentStep] = MoveData{x, y, color};
    ++CurrentStep;
    StepCount = CurrentStep;
    CopyPlayingSquares(board, Boards[CurrentStep]);
}

bool OthelloMapHistory::Forward() {
    if (CurrentStep >= StepCount) return false;
    ++CurrentStep;
    return true;
}

bool OthelloMapHistory::Back() {
    if (CurrentStep < 1) return false;
    --CurrentStep;
    return true;
}

int OthelloMapHistory::CurrentColor() const {
    if (CurrentStep < StepCount) return Moves[CurrentStep].color;
    OthelloLogic scratch;
    scratch.CopyFrom(Boards[CurrentStep]);
    // With no move recorded the start colour, if any, says who is to move; else black takes the
    // position when it can.
    const int color = StepCount >= 1         ? -Moves[CurrentStep - 1].color
                      : StartColor == kWhite ? kWhite
                                             : kBlack;
    if (scratch.HasLegalMove(color)) return color;
    if (scratch.HasLegalMove(-color)) return -color;
    return kEmpty;
}

std::string OthelloMapHistory::MoveString() const {
    std::string text;
    for (int i = 0; i < StepCount; ++i)
        text += SquareText(Moves[i].x, Moves[i].y);
    return text;
}

bool OthelloMapHistory::Save(const std::string& fileName) const {
    std::vector<std::string> lines = {
        "[モルヴァン]",
        "Kind = Record",
        "FormatVersion = 2",
        "",
        "[Information]",
        "CurrentStep = " + std::to_string(CurrentStep),
        "",
        "[InitialBoard]",
    };
    for (int y = 1; y <= 8; ++y) {
        std::string row;
        for (int x = 1; x <= 8; ++x)
            row += RowChar(Boards[0][BoardIndex(x, y)]);
        lines.push_back(row);
    }
    // Without moves only a position set up with white to move needs the history section.
    if (StepCount > 0 || StartColor == kWhite) {
        lines.push_back("");
        lines.push_back("[History]");
        const int first = StepCount > 0 ? Moves[0].color : StartColor;
        lines.push_back(first == kBlack ? "InitColor = BLACK" : "InitColor = WHITE");
        if (StepCount > 0) lines.push_back("Steps = " + MoveString());
    }
    return WriteTextFileAtomically(fileName, lines);
}

bool OthelloMapHistory::Load(const std::string& fileName, const ErrorReporter& onError,
                             RecordError* error) {
    // Read into a fresh history and take it over only when the whole file is good, so that a
    // fault leaves this one exactly as it was.
    std::unique_ptr<OthelloMapHistory> loaded;
    RecordError fault(RecordFault::Unreadable, 0, fileName);  // out of memory: as unreadable
    try {
        loaded = std::make_unique<OthelloMapHistory>();
        RecordReader reader{*loaded};
        if (!reader.Read(fileName)) {
            fault = reader.error;
            loaded.reset();
        }
    } catch (const std::bad_alloc&) {
        loaded.reset();
    }
    if (!loaded) {
        if (error) *error = fault;
        if (onError) onError(RecordErrorText(fault));
        return false;
    }
    *this = *loaded;
    return true;
}
