#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

// Widgets need one QApplication for the whole run; the tests use the offscreen platform. Beside
// its usual screen it gets two of device pixel ratio 2 and 1.5, where the board view is drawn as
// on high-DPI screens.
int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const std::filesystem::path screens = std::filesystem::temp_directory_path() /
                                          ("morvane-ui-screens-" + std::to_string(::getpid()));
    if (platform.isEmpty() || platform == "offscreen") {
        std::ofstream(screens) << R"({"screens": [)"
                               << R"({"name": "1", "x": 0, "width": 800, "dpr": 1},)"
                               << R"({"name": "2", "x": 800, "width": 800, "dpr": 2},)"
                               << R"({"name": "1.5", "x": 1600, "width": 800, "dpr": 1.5}]})";
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QByteArray(screens.c_str()));
    }
    QApplication app(argc, argv);
    std::filesystem::remove(screens);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
