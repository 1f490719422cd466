#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Othellocpuplayer.h"

namespace {

struct TracedPlayer {
    explicit TracedPlayer(int color) : Player(color) {
        Player.Engine.onTrace = [this](const std::string& line) { Lines.push_back(line); };
        // Each reading of the clock costs a millisecond, so a timed search always ends.
        Player.Engine.tickCount = [this] { return Now += 1; };
    }
    bool Traced(const std::string& line) const {
        for (const auto& l : Lines) {
            if (l == line) return true;
        }
        return false;
    }

    OthelloCpuPlayer Player;
    std::vector<std::string> Lines;
    std::uint32_t Now = 5000;
};

TEST(OthelloCpuPlayer, ConstructionSetsColourAndStartPosition) {
    OthelloCpuPlayer player(kWhite);
    EXPECT_EQ(player.Color, kWhite);
    ASSERT_NE(player.Logic, nullptr);
    EXPECT_EQ(player.Logic->CountStones(kBlack), 2);
    EXPECT_EQ(player.Logic->CountStones(kWhite), 2);
}

TEST(OthelloCpuPlayer, WhiteAnswersWithALegalSquareInGameCoordinates) {
    TracedPlayer t(kWhite);
    t.Player.Logic->PutStone(kBlack, 6, 5);  // f5
    const PointData first = t.Player.Think(0, 0, 60);
    ASSERT_TRUE(first.IsValid());
    EXPECT_TRUE(t.Player.Logic->CanPut(kWhite, first.x, first.y));
    EXPECT_EQ(t.Player.Engine.ownColor, kWhite);
    EXPECT_EQ(t.Player.Engine.oppColor, kBlack);
    // Only read: the player's copy of the position is not played on.
    EXPECT_EQ(t.Player.Logic->History.StepCount, 1);

    const PointData second = t.Player.Think(0, 0, 60);
    EXPECT_EQ(second, first);
}

TEST(OthelloCpuPlayer, ModeSelectsTheThinkOperation) {
    TracedPlayer fixed(kBlack);
    const PointData byAmount = fixed.Player.Think(0, 0, 60);
    EXPECT_TRUE(fixed.Traced("ID search by amount"));
    EXPECT_FALSE(fixed.Traced("ID search by time"));

    // Any mode other than 1 searches the fixed amount, with the same result.
    TracedPlayer other(kBlack);
    EXPECT_EQ(other.Player.Think(2, 0, 60), byAmount);
    EXPECT_TRUE(other.Traced("ID search by amount"));

    TracedPlayer timed(kBlack);
    const PointData byTime = timed.Player.Think(1, 0, 60);
    EXPECT_TRUE(timed.Player.Logic->CanPut(kBlack, byTime.x, byTime.y));
    EXPECT_TRUE(timed.Traced("ID search by time"));
    EXPECT_TRUE(timed.Traced("rTime=60000"));
    EXPECT_FALSE(timed.Traced("ID search by amount"));
}

}  // namespace
