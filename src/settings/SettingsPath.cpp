#include "SettingsPath.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// An unset, empty or relative variable is ignored, as the XDG base-directory rules ask.
fs::path AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return {};
    fs::path path(value);
    return path.is_absolute() ? path : fs::path();
}

}  // namespace

std::string SettingsFilePath() {
    std::error_code error;
    if (fs::exists(kSettingsFileName, error)) return kSettingsFileName;
    fs::path base = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
    if (base.empty()) {
        const fs::path home = AbsoluteFromEnvironment("HOME");
        if (home.empty()) return kSettingsFileName;
        base = home / ".config";
    }
    return (base / "morvane" / kSettingsFileName).string();
}

bool CreateSettingsFolder(const std::string& settingsFile) {
    const fs::path folder = fs::path(settingsFile).parent_path();
    if (folder.empty()) return true;
    std::error_code error;
    if (fs::create_directories(folder, error)) fs::permissions(folder, fs::perms::owner_all, error);
    return !error;
}
