#include "Othelloparams.h"

#include <new>
#include <tuple>
#include <vector>

#include "SettingsPath.h"
#include "TextCodec.h"
#include "TextFile.h"
#include "Util.h"

namespace {

// Longest line the reader takes; a longer one ends the reading.
constexpr std::size_t kMaxLineLength = 1022;

// Without quotes an empty name would be skipped and outer blanks trimmed on reading.
std::string QuotedName(const std::string& name) {
    const bool quoted = name.size() >= 2 && name.front() == '"' && name.back() == '"';
    if (!name.empty() && name.front() != ' ' && name.back() != ' ' && !quoted) return name;
    return '"' + name + '"';
}

std::string UnquotedName(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

// Values outside a field's range are ignored, so the field keeps a value every table lookup and
// layout can use.
void SetIfInRange(int& field, int value, int low, int high) {
    if (value >= low && value <= high) field = value;
}

}  // namespace

OthelloParams::OthelloParams() : FileName(kSettingsFileName) {
    SetDefault();
}

void OthelloParams::SetDefault() {
    BoardColor = 4227200;
    SoundEffect = true;
    PlayerColor = 1;
    CpuMode = 0;
    CpuLevel = 3;
    PlayerTime = 7;
    CpuTime = 1;
    DoAfterTimeUp = true;
    AutoPass = false;
    BoardSize = 1;
    TurnSpeed = 1;
    PlayerName = "あなた";
    CpuName = "モルヴァン";
    Sizeable = false;
    ShowLastMove = true;
    ShowCoordinates = true;
    ShowLegalMoves = false;
    ShowHints = false;
}

void OthelloParams::LoadFromFile() {
    const auto lines = ReadTextLines(FileName, kMaxLineLength);
    if (!lines) return;
    try {
        // Taken over once every line is applied, so that running out of memory changes nothing.
        OthelloParams read = *this;
        for (const std::string& line : *lines)
            read.ApplyLine(line);
        *this = std::move(read);
    } catch (const std::bad_alloc&) {
    }
}

void OthelloParams::ApplyLine(const std::string& line) {
    std::string name;
    std::string text;
    int number = 0;
    int kind = 0;
    if (!ParseIniLine(line, name, text, number, kind) || (kind != 2 && kind != 3)) return;
    // A name takes its text as written, also when it reads as a number ("007").
    if (name == "PlayerName") PlayerName = UnquotedName(text);
    if (name == "CpuName") CpuName = UnquotedName(text);
    if (kind != 2) return;

    if (name == "PlayerColor") {
        if (number == 1 || number == -1) PlayerColor = number;
    } else if (name == "BoardColor") {
        BoardColor = number;
    } else if (name == "CpuLevel") {
        SetIfInRange(CpuLevel, number, 0, static_cast<int>(kLevelTable.size()) - 1);
    } else if (name == "PlayerTime") {
        SetIfInRange(PlayerTime, number, 0, static_cast<int>(kPlayerTimeList.size()) - 1);
    } else if (name == "CpuTime") {
        SetIfInRange(CpuTime, number, 0, static_cast<int>(kCpuTimeList.size()) - 1);
    } else if (name == "BoardSize") {
        SetIfInRange(BoardSize, number, 0, 2);
    } else if (name == "TurnSpeed") {
        SetIfInRange(TurnSpeed, number, 0, 2);
    } else if (name == "SoundEffect") {
        SoundEffect = number != 0;
    } else if (name == "DoAfterTimeUp") {
        DoAfterTimeUp = number != 0;
    } else if (name == "AutoPass") {
        AutoPass = number != 0;
    } else if (name == "Sizeable") {
        Sizeable = number != 0;
    } else if (name == "ShowLastMove") {
        ShowLastMove = number != 0;
    } else if (name == "ShowCoordinates") {
        ShowCoordinates = number != 0;
    } else if (name == "ShowLegalMoves") {
        ShowLegalMoves = number != 0;
    } else if (name == "ShowHints") {
        ShowHints = number != 0;
    } else if (name == "CpuMode") {
        CpuMode = number == 1 ? 1 : 0;
    }
}

bool OthelloParams::SaveToFile() const {
    const auto line = [](const char* key, int value) {
        return std::string(key) + " = " + std::to_string(value);
    };
    try {
        std::vector<std::string> lines{
            line("PlayerColor", PlayerColor),
            line("BoardColor", BoardColor),
            line("SoundEffect", SoundEffect ? 1 : 0),
            line("CpuMode", CpuMode),
            line("CpuLevel", CpuLevel),
            line("PlayerTime", PlayerTime),
            line("CpuTime", CpuTime),
            line("DoAfterTimeUp", DoAfterTimeUp ? 1 : 0),
            line("AutoPass", AutoPass ? 1 : 0),
            line("BoardSize", BoardSize),
            line("TurnSpeed", TurnSpeed),
            "PlayerName = " + QuotedName(StorableName(PlayerName)),
            "CpuName = " + QuotedName(StorableName(CpuName)),
        };
        // Written only when they differ from their defaults, as Sizeable: with the defaults the
        // file stays the original program's, byte for byte.
        const OthelloParams defaults;
        for (const auto& [key, value, byDefault] :
             {std::tuple("ShowLastMove", ShowLastMove, defaults.ShowLastMove),
              std::tuple("ShowCoordinates", ShowCoordinates, defaults.ShowCoordinates),
              std::tuple("ShowLegalMoves", ShowLegalMoves, defaults.ShowLegalMoves),
              std::tuple("ShowHints", ShowHints, defaults.ShowHints)}) {
            if (value != byDefault) lines.push_back(line(key, value ? 1 : 0));
        }
        if (Sizeable) lines.push_back(line("Sizeable", 1));
        // The per-user settings folder does not exist before the first save.
        return CreateSettingsFolder(FileName) && WriteTextFileAtomically(FileName, lines);
    } catch (const std::bad_alloc&) {  // called at shut-down, where nothing may throw
        return false;
    }
}

std::string OthelloParams::StorableName(const std::string& name) {
    std::string visible = name;
    for (char& c : visible) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    std::string text = AsCp932Text(visible);
    int characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && ++characters > kMaxNameLength) {
            text.resize(i);
            break;
        }
    }
    return text;
}

bool OthelloParams::IsStorableName(const std::string& name) {
    return name.find_first_of("#;=") == std::string::npos && StorableName(name) == name;
}
