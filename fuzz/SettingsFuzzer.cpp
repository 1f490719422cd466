// The settings reader on any file: the fields stay in their ranges, and what was read survives
// a save and a second reading (names as the file keeps them).
#include <string>

#include "FuzzSupport.h"
#include "Othelloparams.h"

namespace {

std::string Fields(const OthelloParams& p) {
    return std::to_string(p.BoardColor) + ' ' + std::to_string(p.SoundEffect) + ' ' +
           std::to_string(p.PlayerColor) + ' ' + std::to_string(p.CpuMode) + ' ' +
           std::to_string(p.CpuLevel) + ' ' + std::to_string(p.PlayerTime) + ' ' +
           std::to_string(p.CpuTime) + ' ' + std::to_string(p.DoAfterTimeUp) + ' ' +
           std::to_string(p.AutoPass) + ' ' + std::to_string(p.BoardSize) + ' ' +
           std::to_string(p.TurnSpeed) + ' ' + std::to_string(p.Sizeable) + " [" + p.PlayerName +
           "][" + p.CpuName + ']';
}

bool InRange(int value, std::size_t count) {
    return value >= 0 && static_cast<std::size_t>(value) < count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    OthelloParams params;
    params.FileName = InputFile(data, size);
    params.LoadFromFile();
    Check(params.PlayerColor == 1 || params.PlayerColor == -1, "PlayerColor");
    Check(params.CpuMode <= 1, "CpuMode");
    Check(InRange(params.CpuLevel, kLevelTable.size()) &&
              InRange(params.PlayerTime, kPlayerTimeList.size()) &&
              InRange(params.CpuTime, kCpuTimeList.size()) && InRange(params.BoardSize, 3) &&
              InRange(params.TurnSpeed, 3),
          "index fields in range");

    OthelloParams expected = params;
    expected.PlayerName = OthelloParams::StorableName(params.PlayerName);
    expected.CpuName = OthelloParams::StorableName(params.CpuName);
    Check(OthelloParams::StorableName(expected.PlayerName) == expected.PlayerName,
          "a storable name stays");
    params.FileName = ScratchFolder() + "/morvane.ini";
    Check(params.SaveToFile(), "saved");
    OthelloParams back;
    back.FileName = params.FileName;
    back.LoadFromFile();
    Check(Fields(back) == Fields(expected), "the saved settings read back");
    return 0;
}
