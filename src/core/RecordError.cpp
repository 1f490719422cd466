#include "RecordError.h"

#include <climits>

#include "TextCodec.h"

namespace {

// Enough for any move or property; a pasted page of text is not repeated in a message box.
constexpr int kMaxShownCharacters = 32;

const char* const kRecordFileText =
    "ファイルを読み込めません。"
    "\n\nこのファイルはモルヴァンの棋譜ファイルの"
    "\n正しいフォーマットで書かれていません。";

// The token in whole characters: a control character or a byte of no character as "?".
std::string Shown(const std::string& token, int limit = kMaxShownCharacters) {
    std::string shown;
    int characters = 0;
    for (std::size_t i = 0; i < token.size(); i = NextCharacter(token, i)) {
        if (++characters > limit) return shown + "…";
        const std::string character = token.substr(i, NextCharacter(token, i) - i);
        const auto lead = static_cast<unsigned char>(character[0]);
        const bool bad = character.size() == 1 && (lead < 0x20 || lead >= 0x7F);
        shown += bad ? "?" : character;
    }
    return shown;
}

std::string Side(int color, const char* black, const char* white) {
    return color > 0 ? black : color < 0 ? white : "";
}

std::string Japanese(const RecordError& e) {
    const std::string n = std::to_string(e.number);
    const std::string token = Shown(e.token);
    const std::string move = n + "手目の " + token + " は打てません。\n";
    switch (e.fault) {
        case RecordFault::EmptyText:
            return "棋譜の文字列が空です。";
        case RecordFault::NotASquare:
            return n + "手目の " + token + " はマスの名前（a1〜h8）ではありません。";
        case RecordFault::IllegalMove:
            return move + "その局面で" + Side(e.color, "黒が", "白が") + "打てる手ではありません。";
        case RecordFault::NoPass:
            return move + "ここで" + Side(e.color, "黒は", "白は") + "パスできません。";
        case RecordFault::ManyLines:
            return "盤面の文字列が 2 行以上あります。\n盤面は 1 行に 64 マスと手番を書きます。";
        case RecordFault::FewSquares:
            return "盤面の文字列が " + n +
                   " 文字しかありません。\n64 マス、空白、手番（X か O）を書きます。";
        case RecordFault::BadSquare:
            return "盤面の " + n + " マス目の「" + token +
                   "」は石を表す文字（X O - など）ではありません。";
        case RecordFault::NoSide:
            return "盤面の 64 マスの後に手番（X か O）がありません。";
        case RecordFault::BadSeparator:
            return "盤面の 64 マスの後の「" + token +
                   "」が読めません。\n64 マスの後には空白 1 つと手番（X か O）を書きます。";
        case RecordFault::BadSide:
            return "手番の「" + token + "」は X でも O でもありません。";
        case RecordFault::GgfStart:
            return "GGF の棋譜が「(;」で始まっていません。";
        case RecordFault::GgfEnd:
            return "GGF の棋譜が「;)」で終わっていません。";
        case RecordFault::GgfProperty:
            return "GGF の " + n + " 文字目の「" + token +
                   "」はプロパティ（B[f5] など）ではありません。";
        case RecordFault::GgfUnclosed:
            return "GGF の " + token + "[ を閉じる「]」がありません。";
        case RecordFault::GgfNotOthello:
            return "GGF の棋譜がオセロではありません（GM[" + token + "]）。";
        case RecordFault::GgfNotEightByEight:
            return "GGF の盤が 8×8 ではありません（" + token + "）。";
        case RecordFault::GgfBoard:
            return "GGF の盤面（BO）に 64 マスと手番がそろっていません。";
        case RecordFault::GgfAfterGame:
            return "GGF の棋譜の後に「" + token + "」があります。\n棋譜は 1 局ずつ読み込みます。";
        case RecordFault::None:
        case RecordFault::Unreadable:
        case RecordFault::BadRecordFile:
            break;
    }
    return "棋譜として読めない文字列です。";
}

}  // namespace

std::string RecordErrorText(const RecordError& error) {
    if (error.fault == RecordFault::Unreadable)
        return "ファイルを読み込めません。\n\n" + Shown(error.token, INT_MAX) +
               "\nは存在しないか、読み取れないファイルです。";
    if (error.recordFile || error.fault == RecordFault::BadRecordFile) return kRecordFileText;
    return "棋譜を読み込めません。\n\n" + Japanese(error);
}

std::string RecordErrorLine(const RecordError& e) {
    const std::string token = Shown(e.token);
    const std::string move = "move " + std::to_string(e.number) + " (" + token + "): ";
    switch (e.fault) {
        case RecordFault::Unreadable:
            return "cannot read " + token;
        case RecordFault::BadRecordFile:
            return "not a game record file of the expected format";
        case RecordFault::EmptyText:
            return "the text is empty";
        case RecordFault::NotASquare:
            return move + "not a square";
        case RecordFault::IllegalMove:
            return move + "not a legal move" + Side(e.color, " for black", " for white");
        case RecordFault::NoPass:
            return move + "no pass for " + Side(e.color, "black", "white");
        case RecordFault::ManyLines:
            return "a board text is one line: 64 squares and the side to move";
        case RecordFault::FewSquares:
            return "position has " + std::to_string(e.number) +
                   " characters, expected 64 squares, a space and X or O";
        case RecordFault::BadSquare:
            return "unknown square character '" + token + "' at position " +
                   std::to_string(e.number);
        case RecordFault::NoSide:
            return "missing side to move after the 64 squares";
        case RecordFault::BadSeparator:
            return "expected one space and the side to move (X or O) after the 64 squares";
        case RecordFault::BadSide:
            return "unknown side to move '" + token + "', expected X or O";
        case RecordFault::GgfStart:
            return "a GGF game starts with \"(;\"";
        case RecordFault::GgfEnd:
            return "the GGF game does not end with \";)\"";
        case RecordFault::GgfProperty:
            return "expected a GGF property such as B[f5] at character " +
                   std::to_string(e.number) + " ('" + token + "')";
        case RecordFault::GgfUnclosed:
            return "property " + token + " has no ']'";
        case RecordFault::GgfNotOthello:
            return "the GGF game is not Othello (GM[" + token + "])";
        case RecordFault::GgfNotEightByEight:
            return "the GGF game is not played on 8x8 (" + token + ")";
        case RecordFault::GgfBoard:
            return "BO needs 64 squares and the side to move";
        case RecordFault::GgfAfterGame:
            return "text after the GGF game: '" + token + "'";
        case RecordFault::None:
            break;
    }
    return "not a game record";
}
