#pragma once

#include <string>

// Name of the settings file, in the working folder or in the per-user settings folder.
inline constexpr const char* kSettingsFileName = "morvane.ini";

// Where the settings live: morvane.ini in the working folder when it exists there (portable use,
// and every existing set-up keeps working), else $XDG_CONFIG_HOME/morvane/morvane.ini, with
// ~/.config as the base when XDG_CONFIG_HOME is unset, empty or relative. Without a home folder,
// the working folder's file.
std::string SettingsFilePath();

// Creates the folder that holds the settings file when it is missing (owner-only, as the XDG
// base-directory rules ask). True when the folder exists afterwards.
bool CreateSettingsFolder(const std::string& settingsFile);
