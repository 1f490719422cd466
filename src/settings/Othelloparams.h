#pragma once

#include <array>
#include <cstdint>
#include <string>

// The user's settings: which side the human plays, how the computer is limited, the clocks, the
// board's look and the two names. Read from "morvane.ini" at start-up and written back at
// shut-down; the fixed lists below are what the index fields select.

struct TimeListEntry {
    const char* Name;
    int Seconds;  // 0 = unlimited
};

struct LevelEntry {
    const char* Name;
    int StartDepth;      // depth of the first main iteration
    int NodeAmount;      // node budget for deepening; 0 = exactly one iteration
    int WinLossEmpties;  // win/loss search at this many empty squares or fewer
    int ExactEmpties;    // exact search at this many empty squares or fewer
};

inline constexpr std::array<TimeListEntry, 8> kPlayerTimeList{{
    {"３０秒", 30},
    {"１分", 60},
    {"３分", 180},
    {"５分", 300},
    {"１０分", 600},
    {"２０分", 1200},
    {"３０分", 1800},
    {"無制限", 0},
}};

inline constexpr std::array<TimeListEntry, 7> kCpuTimeList{{
    {"３０秒", 30},
    {"１分", 60},
    {"３分", 180},
    {"５分", 300},
    {"１０分", 600},
    {"２０分", 1200},
    {"３０分", 1800},
}};

inline constexpr std::array<LevelEntry, 9> kLevelTable{{
    {"レベル１", 2, 0, 10, 8},
    {"レベル２", 4, 0, 12, 10},
    {"レベル３", 6, 0, 14, 12},
    {"レベル４", 6, 200000, 16, 14},
    {"レベル５", 6, 500000, 18, 16},
    {"レベル６", 6, 1000000, 20, 18},
    {"レベル７", 6, 2000000, 22, 20},
    {"レベル８", 6, 5000000, 22, 20},
    {"レベル９", 6, 10000000, 22, 20},
}};

class OthelloParams {
public:
    OthelloParams();

    void SetDefault();
    // Fields without a valid line keep their values; a missing file changes nothing.
    void LoadFromFile();
    // Writes through a temporary file; returns whether the file was written (callers at
    // shut-down ignore it). Names are written as StorableName gives them, in double quotes when
    // empty, when they begin or end with a blank, or when they are themselves in quotes; the
    // reader takes a quoted value without its quotes.
    bool SaveToFile() const;

    // Longest name the settings dialog takes, in characters.
    static constexpr int kMaxNameLength = 64;
    // The name as the file keeps it: a control character, or one that code page 932 cannot hold
    // exactly, becomes "?", and the name ends after kMaxNameLength characters.
    static std::string StorableName(const std::string& name);
    // Whether the name comes back from the file exactly: storable as it is, and free of "#" and
    // ";" (which start a comment) and "=" (which splits a line).
    static bool IsStorableName(const std::string& name);

    static constexpr std::uint8_t kCpuModeAmount = 0;  // the level's fixed search amount
    static constexpr std::uint8_t kCpuModeTime = 1;    // time control
    bool TimeControl() const { return CpuMode == kCpuModeTime; }

    std::string FileName;  // not stored in the file
    int BoardColor;        // packed RGB, red in the low byte
    bool SoundEffect;
    int PlayerColor;       // 1 human black, -1 human white
    std::uint8_t CpuMode;  // kCpuModeAmount or kCpuModeTime
    int CpuLevel;          // index into kLevelTable
    int PlayerTime;        // index into kPlayerTimeList
    int CpuTime;           // index into kCpuTimeList
    bool DoAfterTimeUp;
    bool AutoPass;
    int BoardSize;           // 0 small, 1 normal, 2 big
    int TurnSpeed;           // 0 slow, 1 normal, 2 fast
    std::string PlayerName;  // UTF-8
    std::string CpuName;     // UTF-8
    bool Sizeable;
    // What the board shows besides the stones; all off gives the board as originally designed.
    bool ShowLastMove;
    bool ShowCoordinates;
    bool ShowLegalMoves;  // on the human's turn, without holding the right button
    bool ShowHints;

private:
    // One line of the file: a known key with a valid value sets its field.
    void ApplyLine(const std::string& line);
};
