// Renders the main window offscreen after a few moves of a game, so that anyone can look at what
// the program shows without a display: morvane-screenshot OUTPUT.png

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

#include "Main.h"

namespace {

constexpr int kHumanMoves = 4;

bool PlayFirstLegalMove(TFormMain& window) {
    OthelloGameManager& manager = window.GameManager;
    const int color = manager.IsComputer(1) == 1 ? -1 : 1;
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            if (manager.Logic.CanPut(color, x, y)) {
                manager.OnBoardMouse(x, y, 0, true);
                manager.OnBoardMouse(x, y, 0, false);
                return true;
            }
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: morvane-screenshot OUTPUT.png\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString output = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();

    // A scratch folder keeps the user's own settings file out of it.
    QTemporaryDir scratch;
    if (!scratch.isValid() || !QDir::setCurrent(scratch.path())) {
        std::fprintf(stderr, "morvane-screenshot: cannot create a scratch folder\n");
        return 1;
    }

    TFormMain window;
    OthelloParams& params = window.GameManager.Params;
    params.SoundEffect = false;
    params.TurnSpeed = 2;
    params.CpuLevel = 0;
    window.GameManager.ApplySettings();
    window.show();
    window.ToolButtonStartClick();
    for (int i = 0; i < kHumanMoves && PlayFirstLegalMove(window); ++i) {
    }
    QApplication::processEvents();

    if (!window.grab().save(output)) {
        std::fprintf(stderr, "morvane-screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n", qPrintable(output));
    return 0;
}
