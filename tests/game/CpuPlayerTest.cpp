#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Othellocpuplayer.h"

namespace {

// Mode 1 thinks by time with the seconds given, any other mode by the level's amount. Playing
// white, the engine plays -1 and the square comes back legal in the game's coordinates; the
// player's copy of the position is only read, so the same call gives the same square.
TEST(OthelloCpuPlayer, ThinksByTheModeAndAnswersInGameCoordinates) {
    for (const int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        OthelloCpuPlayer player(kWhite);
        std::vector<std::string> lines;
        std::uint32_t now = 5000;
        player.Engine.onTrace = [&](const std::string& line) { lines.push_back(line); };
        player.Engine.tickCount = [&] { return now += 100; };  // a timed search ends soon
        const auto traced = [&](const char* line) {
            return std::find(lines.begin(), lines.end(), line) != lines.end();
        };
        player.Logic->PutStone(kBlack, 6, 5);  // f5
        const PointData move = player.Think(mode, 0, 60);
        EXPECT_TRUE(player.Logic->CanPut(kWhite, move.x, move.y));
        EXPECT_EQ(player.Engine.ownColor, kWhite);
        EXPECT_EQ(player.Engine.oppColor, kBlack);
        EXPECT_EQ(traced("ID search by time"), mode == 1);
        EXPECT_EQ(traced("rTime=60000"), mode == 1);
        EXPECT_EQ(traced("ID search by amount"), mode != 1);
        EXPECT_EQ(player.Logic->History.StepCount, 1);
        EXPECT_TRUE(mode == 1 || player.Think(mode, 0, 60) == move);
    }
}

}  // namespace
