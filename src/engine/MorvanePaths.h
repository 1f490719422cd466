#pragma once

// The disc-bitboard code the engine calls, one copy per instruction set (MorvaneSolve.cpp).
#include <cstdint>

#include "Morvane.h"

namespace morvane_paths {

struct PathFunctions {
    SearchResult (*search)(Morvane& e, std::uint64_t P, std::uint64_t O, int n, int level, int lo,
                           int hi, int sign);
    int (*winLoss)(Morvane& e, std::uint64_t P, std::uint64_t O, int n, int level, int sign);
    int (*evaluate)(std::uint64_t own, std::uint64_t opp);
    // The evaluation without its mobility term, for the padded board's own mobility count.
    int (*evaluateStatic)(std::uint64_t own, std::uint64_t opp);
    int (*stableDiff)(std::uint64_t own, std::uint64_t opp);
    void (*orderScores)(std::uint64_t own, std::uint64_t opp, const int* moves, int count,
                        int mover, int* scores);
};

const PathFunctions& Functions(Morvane::CpuPath path);

}  // namespace morvane_paths
