#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Othelloparams.h"
#include "SettingsPath.h"

namespace {

namespace fs = std::filesystem;

// Runs in a scratch working folder with HOME and XDG_CONFIG_HOME under the test's control.
class SettingsPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("morvane-settings-path-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        previous_ = fs::current_path();
        fs::current_path(dir_);
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_)
            SetEnv(name, value);
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }
    static void SetEnv(const char* name, const std::optional<std::string>& value) {
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }

    fs::path dir_;
    fs::path previous_;
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_F(SettingsPathTest, WorkingFolderFileElseXdgConfigHomeElseDotConfig) {
    const std::optional<std::string> unset;
    const struct {
        bool localFile;
        std::optional<std::string> home;
        std::optional<std::string> config;
        std::string expected;
    } cases[] = {
        {true, "/home/u", "/cfg", "morvane.ini"},
        {false, "/home/u", "/cfg", "/cfg/morvane/morvane.ini"},
        {false, "/home/u", unset, "/home/u/.config/morvane/morvane.ini"},
        {false, "/home/u", "", "/home/u/.config/morvane/morvane.ini"},
        {false, "/home/u", "relative/cfg", "/home/u/.config/morvane/morvane.ini"},
        {false, unset, unset, "morvane.ini"},
    };
    for (const auto& c : cases) {
        if (c.localFile)
            std::ofstream("morvane.ini") << "BoardSize = 2\n";
        else
            fs::remove("morvane.ini");
        SetEnv("HOME", c.home);
        SetEnv("XDG_CONFIG_HOME", c.config);
        EXPECT_EQ(SettingsFilePath(), c.expected)
            << c.localFile << " " << c.home.value_or("(unset)") << " "
            << c.config.value_or("(unset)");
    }
}

TEST_F(SettingsPathTest, FirstSaveCreatesTheOwnerOnlyFolderAndTheNextStartReadsIt) {
    SetEnv("XDG_CONFIG_HOME", (dir_ / "config").string());
    OthelloParams params;
    params.FileName = SettingsFilePath();
    params.BoardSize = 2;
    ASSERT_TRUE(params.SaveToFile());
    const fs::path folder = dir_ / "config" / "morvane";
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(dir_ / "morvane.ini"));

    OthelloParams next;
    next.FileName = SettingsFilePath();
    next.LoadFromFile();
    EXPECT_EQ(next.BoardSize, 2);

    // A folder that cannot be made (a file stands in its way) fails the save.
    std::ofstream(dir_ / "blocked") << "";
    params.FileName = (dir_ / "blocked" / "morvane.ini").string();
    EXPECT_FALSE(params.SaveToFile());
}

}  // namespace
