#pragma once

#include <string_view>

// Sound effects and event-pumping waits shared by the board view and the game manager.

// Starts the named sound ("PUT", "TURN" or "NOPUT") and returns at once; a sound still playing
// is cut off. Without an audio output (or for an unknown name) nothing is played.
void PlaySoundResource(std::string_view name);

// Waits ms milliseconds, handling pending window events in 1 ms steps so that the window stays
// responsive; ms <= 0 returns at once.
void WaitMs(int ms);
