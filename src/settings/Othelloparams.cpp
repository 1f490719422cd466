#include "Othelloparams.h"

#include <vector>

#include "SettingsPath.h"
#include "TextFile.h"
#include "Util.h"

namespace {

// Longest line the reader takes; a longer one ends the reading.
constexpr std::size_t kMaxLineLength = 1022;

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
}

void OthelloParams::LoadFromFile() {
    const auto lines = ReadTextLines(FileName, kMaxLineLength);
    if (!lines) return;

    for (const std::string& line : *lines) {
        std::string name;
        std::string text;
        int number = 0;
        int kind = 0;
        if (!ParseIniLine(line, name, text, number, kind)) continue;
        if (kind == 3) {
            // Only the names take a value that is not a number.
            if (name == "PlayerName") PlayerName = text;
            if (name == "CpuName") CpuName = text;
            continue;
        }
        if (kind != 2) continue;

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
        } else if (name == "CpuMode") {
            CpuMode = number == 1 ? 1 : 0;
        } else if (name == "PlayerName") {
            PlayerName = text;
        } else if (name == "CpuName") {
            CpuName = text;
        }
    }
}

bool OthelloParams::SaveToFile() const {
    const auto line = [](const char* key, int value) {
        return std::string(key) + " = " + std::to_string(value);
    };
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
        "PlayerName = " + PlayerName,
        "CpuName = " + CpuName,
    };
    if (Sizeable) lines.push_back(line("Sizeable", 1));
    // The per-user settings folder does not exist before the first save.
    return CreateSettingsFolder(FileName) && WriteTextFileAtomically(FileName, lines);
}
