// Static evaluation: corners, the squares next to empty corners, edges, mobility and stable discs.
// Both board forms read the same terms (MorvaneTables.h), computed on the disc bitboards; the
// padded board counts its mobility with its own move generator.
#include <cstdint>

#include "Morvane.h"
#include "MorvaneHot.h"
#include "MorvanePaths.h"
#include "MorvaneTables.h"

using morvane_hot::DiscBits;

int Morvane::Evaluate() {
    return EvaluateHot();
}

int Morvane::EvaluatePlain() {
    const int mine = GenerateMovesWide(1);
    const int theirs = GenerateMovesWide(-1);
    return morvane_paths::Functions(cpuPath).evaluateStatic(DiscBits(board, 1),
                                                            DiscBits(board, -1)) +
           morvane_tables::kMobilityWeight * (mine - theirs);
}

// Discs that a corner anchors: along each edge line from the corner, then line by line inwards,
// each line allowed one cell fewer than the line before unless the line before was full.
int Morvane::CountStable() const {
    return morvane_paths::Functions(cpuPath).stableDiff(DiscBits(board, 1), DiscBits(board, -1));
}

int Morvane::EvaluateBits() const {
    return morvane_paths::Functions(cpuPath).evaluate(ownBits, oppBits);
}

void Morvane::OrderScoresBits(const int* moves, int count, int mover) {
    morvane_paths::Functions(cpuPath).orderScores(ownBits, oppBits, moves, count, mover, sortScore);
}
