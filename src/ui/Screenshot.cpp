// Renders what the program shows, offscreen, so that anyone can look at it without a display:
// morvane-screenshot FOLDER writes the main window at each board size, once as it opens and once
// after a few moves and a step back (the last move marked, the coordinates on the frame), the
// human's turn with the legal squares shown and a typed letter's column, then the two settings
// dialogs and the record text window, then the hints at three stages of a game and the
// evaluation graph of that game.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "Main.h"
#include "MoveAnalyst.h"
#include "OthelloEvalGraph.h"
#include "Othelloboard.h"
#include "Othelloconf.h"
#include "Othelloenvconf.h"
#include "Othellohistorydisplay.h"
#include "Translations.h"

namespace {

constexpr int kHumanMoves = 4;
constexpr const char* kSizeNames[3] = {"small", "normal", "big"};

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

bool Save(QWidget& widget, const QDir& folder, const QString& name) {
    widget.show();
    QApplication::processEvents();
    const QString path = folder.absoluteFilePath(name + QStringLiteral(".png"));
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "morvane-screenshot: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// A fresh window at a board size, quick and silent; the computer plays level 1.
void SetUp(TFormMain& window, int boardSize) {
    OthelloParams& params = window.GameManager.Params;
    params.SoundEffect = false;
    params.TurnSpeed = 2;
    params.CpuLevel = 0;
    params.BoardSize = boardSize;
    params.ShowLastMove = true;
    params.ShowCoordinates = true;
    window.LayoutForBoardSize();
    window.GameManager.ApplySettings();
}

// Runs the window's events until the analysis has nothing left to do (and, when hints are
// wanted, has put them on the board); false after a minute.
bool WaitForAnalysis(TFormMain& window, bool hints) {
    constexpr int kLongestWaitMs = 60000;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kLongestWaitMs) {
        QApplication::processEvents();
        if (window.Analyst->Idle() && (!hints || !window.Board->Hints().empty())) return true;
        QThread::msleep(5);
    }
    std::fprintf(stderr, "morvane-screenshot: the analysis did not finish\n");
    return false;
}

// Hints in the opening, the midgame (evaluations) and the endgame (exact values), then the graph.
bool SaveHintsAndGraph(const QDir& folder) {
    constexpr int kMidgameEmpties = 36;
    constexpr int kEndgameEmpties = 14;  // solved exactly at the hints' least level
    TFormMain window;
    SetUp(window, 1);
    window.show();
    window.NShowHints->trigger();
    window.ToolButtonStartClick();
    bool ok =
        WaitForAnalysis(window, true) && Save(window, folder, QStringLiteral("hints-opening"));
    const OthelloLogic& logic = window.GameManager.Logic;
    for (const auto& [empties, name] : {std::pair{kMidgameEmpties, "hints-midgame"},
                                        std::pair{kEndgameEmpties, "hints-endgame"}}) {
        while (window.GameManager.IsPlaying() &&
               64 - logic.CountStones(1) - logic.CountStones(-1) > empties &&
               PlayFirstLegalMove(window)) {
        }
        ok = WaitForAnalysis(window, true) && Save(window, folder, QString::fromLatin1(name)) && ok;
    }
    window.NEvalGraphClick();
    return WaitForAnalysis(window, false) &&
           Save(*window.FormEvalGraph, folder, QStringLiteral("graph")) && ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: morvane-screenshot FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallQtTranslations();
    const QDir folder(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "morvane-screenshot: cannot create %s\n", argv[1]);
        return 1;
    }

    // A scratch folder keeps the user's own settings file out of it.
    QTemporaryDir scratch;
    if (!scratch.isValid() || !QDir::setCurrent(scratch.path())) {
        std::fprintf(stderr, "morvane-screenshot: cannot create a scratch folder\n");
        return 1;
    }

    bool ok = true;
    std::string moves;
    for (int size = 0; size < 3; ++size) {
        const QString name = QStringLiteral("main-") + QString::fromLatin1(kSizeNames[size]);
        TFormMain opening;
        SetUp(opening, size);
        ok = Save(opening, folder, name + QStringLiteral("-start")) && ok;

        // A step back puts the turn marker beside the computer's name.
        TFormMain window;
        SetUp(window, size);
        window.show();
        window.ToolButtonStartClick();
        for (int i = 0; i < kHumanMoves && PlayFirstLegalMove(window); ++i) {
        }
        window.ToolButtonBackwardClick();
        ok = Save(window, folder, name) && ok;
        moves = window.GameManager.Logic.History.MoveString();
    }

    {
        // The human's turn with the legal squares shown and a typed letter's column.
        TFormMain turn;
        turn.GameManager.Params.ShowLegalMoves = true;
        SetUp(turn, 1);
        turn.show();
        turn.ToolButtonStartClick();
        PlayFirstLegalMove(turn);
        turn.TypeMoveText(QStringLiteral("d"));
        ok = Save(turn, folder, QStringLiteral("main-normal-turn")) && ok;
    }

    TFormMain window;
    OthelloParams params = window.GameManager.Params;
    window.FormConf->Params = &params;
    ok = Save(*window.FormConf, folder, QStringLiteral("conf")) && ok;
    window.FormConf->hide();
    window.FormEnvConf->Params = &params;
    ok = Save(*window.FormEnvConf, folder, QStringLiteral("envconf")) && ok;
    window.FormEnvConf->hide();
    window.FormHistory->HistoryText = moves;
    ok = Save(*window.FormHistory, folder, QStringLiteral("history")) && ok;
    window.FormHistory->hide();
    ok = SaveHintsAndGraph(folder) && ok;
    return ok ? 0 : 1;
}
