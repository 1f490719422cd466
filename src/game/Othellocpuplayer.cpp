#include "Othellocpuplayer.h"

#include <cstdint>
#include <utility>

OthelloCpuPlayer::OthelloCpuPlayer(int color)
    : Logic(std::make_unique<OthelloLogic>()), Engine(), Color(color) {}

PointData OthelloCpuPlayer::Think(int mode, int level, int seconds) {
    Engine.LoadPosition(Logic->Board.data(), Color);
    if (mode == 1) {
        // The product wraps in 32 bits like the engine's own millisecond arithmetic.
        const auto ms = static_cast<std::uint32_t>(seconds) * 1000u;
        return Engine.ThinkByTime(static_cast<int>(ms));
    }
    return Engine.ThinkByAmount(level);
}

void OthelloCpuPlayer::SetWindowPump(std::function<void()> pump) {
    Engine.onPump = std::move(pump);
    Engine.pumpIntervalMs = Morvane::kWindowPumpIntervalMs;
}
