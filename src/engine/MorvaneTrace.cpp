// Trace lines of the engine's work and the statistics block written after each search.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Morvane.h"

void Morvane::Trace(const std::string& text) {
    // An aborted think reports nothing more: its results are being thrown away.
    if (onTrace && !isAborted) onTrace(text);
}

// Up to 15 significant digits, no trailing zeros, never an exponent. Dividing by 1000 (rather than
// multiplying by 0.001) gives the double nearest to the decimal value, so whole milliseconds
// print as their natural decimals.
std::string Morvane::FormatSeconds(double ms) {
    const double t = ms / 1000.0;
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", t);
    if (std::strchr(text, 'e') != nullptr) {
        // Too small or too large for %g without an exponent: fixed notation with the same
        // significant digits.
        const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(t))));
        const int decimals = magnitude < 14 ? 14 - magnitude : 0;
        std::snprintf(text, sizeof text, "%.*f", decimals, t);
        std::string fixed(text);
        if (fixed.find('.') != std::string::npos) {
            while (!fixed.empty() && fixed.back() == '0')
                fixed.pop_back();
            if (!fixed.empty() && fixed.back() == '.') fixed.pop_back();
        }
        return fixed;
    }
    return text;
}

void Morvane::TraceStatistics(int move, int score, float ms) {
    const PointData xy = SquareXY(move);
    Trace("node index=0");
    Trace("得点=" + std::to_string(score));
    Trace("場所=(" + std::to_string(xy.x) + "," + std::to_string(xy.y) + ")");
    Trace("検索数=" + std::to_string(amount));
    Trace("検索時間=" + FormatSeconds(ms));
    if (ms == 0.0f) {
        Trace("検索数/sec=");
    } else {
        // amount ÷ (ms × 0.001), computed as amount × 1000 ÷ ms so that exact rates stay exact.
        const double rate = std::trunc(static_cast<double>(amount) * 1000.0 / ms);
        Trace("検索数/sec=" + std::to_string(static_cast<long long>(rate)));
    }
    Trace("trace off");
    Trace("");
}
