#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <memory>

#include "Main.h"
#include "Othelloboard.h"
#include "Othelloconf.h"
#include "Othelloenvconf.h"
#include "Othellohistorydisplay.h"

namespace {

// Each test runs in a scratch folder: the window reads and writes morvane.ini in the current one.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(scratch_.isValid());
        previous_ = QDir::currentPath();
        QDir::setCurrent(scratch_.path());
    }
    void TearDown() override {
        window_.reset();
        QDir::setCurrent(previous_);
    }

    TFormMain& Open() {
        window_ = std::make_unique<TFormMain>();
        TFormMain& w = *window_;
        w.ConfirmOkCancel = [this](const QString& text) {
            confirmations_.push_back(text);
            return confirmAnswer_;
        };
        w.ShowError = [this](const QString& text) { errors_.push_back(text); };
        // Quick and silent; level 1 answers at once.
        w.GameManager.Params.SoundEffect = false;
        w.GameManager.Params.TurnSpeed = 2;
        w.GameManager.Params.CpuLevel = 0;
        w.GameManager.ApplySettings();
        w.show();
        w.activateWindow();  // for its keyboard shortcuts
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }

    QPoint SquareCentre(int x, int y) const {
        const OthelloBoard& b = *window_->Board;
        return {b.Margin + (x - 1) * b.CellSize + b.CellSize / 2,
                b.Margin + (y - 1) * b.CellSize + b.CellSize / 2};
    }

    // Whether any pixel of the square (x, y) in the field bitmap is the mark colour (yellow).
    bool SquareHasMark(int x, int y) const {
        const OthelloBoard& b = *window_->Board;
        const QImage image = b.BoardBitmap.convertToFormat(QImage::Format_RGB32);
        for (int px = (x - 1) * b.CellSize; px < x * b.CellSize; ++px) {
            for (int py = (y - 1) * b.CellSize; py < y * b.CellSize; ++py) {
                if (image.pixelColor(px, py) == QColor(255, 255, 0)) return true;
            }
        }
        return false;
    }

    // Plays the human's (black's) first legal square in scan order; the computer answers.
    void PlayHumanMove() {
        OthelloGameManager& manager = window_->GameManager;
        for (int x = 1; x <= 8; ++x) {
            for (int y = 1; y <= 8; ++y) {
                if (manager.Logic.CanPut(1, x, y)) {
                    manager.TryPut(x, y);
                    return;
                }
            }
        }
        FAIL() << "no legal move for the human";
    }

    // The enabled commands, tool buttons and menu items alike, in a fixed order.
    QString Enabled() const {
        const TFormMain& w = *window_;
        const std::pair<const char*, bool> commands[] = {
            {"start", w.ToolButtonStart->isEnabled() && w.NStart->isEnabled()},
            {"stop", w.ToolButtonStop->isEnabled() && w.NStop->isEnabled()},
            {"first", w.ToolButtonToFirst->isEnabled()},
            {"back", w.ToolButtonBackward->isEnabled()},
            {"forward", w.ToolButtonForward->isEnabled()},
            {"last", w.ToolButtonToLast->isEnabled()},
            {"conf", w.ToolButtonConf->isEnabled() && w.NConf->isEnabled()},
            {"init", w.NInitBoard->isEnabled()},
            {"save", w.NSaveHistory->isEnabled()},
            {"load", w.NLoadHistory->isEnabled()},
            {"always", w.ToolButton10->isEnabled() && w.N15->isEnabled() && w.N2->isEnabled() &&
                           w.N19->isEnabled() && w.N10->isEnabled()}};
        QStringList names;
        for (const auto& [name, on] : commands) {
            if (on) names << QString::fromLatin1(name);
        }
        return names.join(' ');
    }

    // The information panel, left column, middle column, right column, then the message.
    QString Info() const {
        const TFormMain& w = *window_;
        QStringList texts;
        for (const QLabel* l :
             {w.LabelBlackPlayer, w.LabelBlackCount, w.LabelBlackTime, w.LabelTesu, w.LabelTimeMode,
              w.LabelWhitePlayer, w.LabelWhiteCount, w.LabelWhiteTime, w.LabelMsg}) {
            texts << l->text();
        }
        return texts.join('|');
    }

    void WriteFile(const char* name, const QByteArray& bytes) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QString Path(const char* name) const { return scratch_.filePath(QString::fromLatin1(name)); }
    int State() const { return window_->GameManager.State; }
    const OthelloMapHistory& History() const { return window_->GameManager.Logic.History; }
    QString Message() const { return window_->LabelMsg->text(); }

    QTemporaryDir scratch_;
    QString previous_;
    std::unique_ptr<TFormMain> window_;
    std::vector<QString> confirmations_;
    std::vector<QString> errors_;
    bool confirmAnswer_ = true;
};

TEST_F(MainWindowTest, StartsWithDefaultsAndOnlyStartTypeCommands) {
    TFormMain& w = Open();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("モルヴァン"));
    EXPECT_EQ(w.Client->size(), QSize(706, 451));
    EXPECT_EQ(w.Board->geometry(), QRect(10, 40, 401, 401));
    EXPECT_EQ(w.PanelInfo->geometry(), QRect(421, 40, 270, 138));
    EXPECT_EQ(w.PanelMsg->geometry(), QRect(421, 184, 270, 57));
    EXPECT_EQ(Info(), QStringLiteral("あなた|2|00:00|1手目|経過時間|モルヴァン|2|00:00|"
                                     "開始ボタンで対局を開始します。"));
    EXPECT_FALSE(w.ShapeCurPlayer->isVisible());
    EXPECT_EQ(w.MemoDebug->toPlainText().split('\n').first(), QStringLiteral("MemoDebug"));
    EXPECT_EQ(Enabled(), QStringLiteral("start conf init save load always"));
    // Each tool button says what it does; the menu items keep their texts, the keys shown beside.
    QStringList tips;
    for (QToolButton* b :
         {w.ToolButtonStart, w.ToolButtonStop, w.ToolButtonToFirst, w.ToolButtonBackward,
          w.ToolButtonForward, w.ToolButtonToLast, w.ToolButtonConf, w.ToolButton10})
        tips << b->toolTip();
    for (QAction* menu : w.menuBar()->actions()) {
        for (QAction* item : menu->menu()->actions())
            tips << item->text();
    }
    EXPECT_EQ(tips.join('|').toStdString(),
              "開始/再開|対局中止|最初の局面へ (Home)|1手戻る (←)|1手進む (→)|最後の局面へ (End)|"
              "対局設定|環境設定|対局設定||対局開始/再開|対局中止||盤面を初期化||終了|棋譜の保存|"
              "棋譜の読込||棋譜を表示|環境設定|バージョン情報");

    // Closing writes the settings file: 13 lines while Sizeable is off.
    w.GameManager.Params.BoardColor = 255;
    window_.reset();
    QFile settings(Path("morvane.ini"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = settings.readAll().split('\n');
    EXPECT_EQ(lines.size(), 14);  // the last line end leaves an empty rest
    EXPECT_EQ(lines[1], QByteArray("BoardColor = 255\r"));
}

TEST_F(MainWindowTest, BoardSizeLaysTheWindowOutAtOnce) {
    TFormMain& w = Open();
    const struct {
        int size;
        QSize client;
        int board;
    } cases[] = {{0, {556, 361}, 311}, {2, {854, 539}, 489}, {1, {706, 451}, 401}};
    for (const auto& c : cases) {
        w.GameManager.Params.BoardSize = c.size;
        w.LayoutForBoardSize();
        EXPECT_EQ(w.Client->size(), c.client) << c.size;
        EXPECT_EQ(w.Board->width(), c.board) << c.size;
        EXPECT_EQ(w.PanelInfo->x(), 10 + c.board - 1 + 11) << c.size;
    }

    // The environment dialog's OK takes effect on the window right away.
    QTimer::singleShot(0, [&w] {
        w.FormEnvConf->RadioGroupBoardSize->findChildren<QRadioButton*>().at(0)->setChecked(true);
        w.FormEnvConf->BitBtn1->click();
    });
    w.ToolButton10Click();
    EXPECT_EQ(w.GameManager.Params.BoardSize, 0);
    EXPECT_EQ(w.Client->size(), QSize(556, 361));
}

TEST_F(MainWindowTest, ClickOnASquarePlaysAndTheComputerAnswers) {
    TFormMain& w = Open();
    w.ToolButtonStartClick();
    EXPECT_EQ(State(), OthelloGameManager::STATE_PLAY_AMOUNT);
    EXPECT_EQ(Enabled(), QStringLiteral("stop conf always"));

    QTest::mouseClick(w.Board, Qt::LeftButton, {}, SquareCentre(6, 5));
    ASSERT_EQ(History().StepCount, 2);
    EXPECT_EQ(History().MoveString().substr(0, 2), "f5");
    EXPECT_TRUE(
        Info().endsWith(QStringLiteral("|3手目|経過時間|モルヴァン|3|00:00|あなたの番です。")));
    EXPECT_EQ(Enabled(), QStringLiteral("stop first back conf always"));
    const QString debug = w.MemoDebug->toPlainText();
    EXPECT_TRUE(debug.contains(QStringLiteral("x=6, y=5\ncan put here")));
    EXPECT_TRUE(debug.contains(QStringLiteral("No. 1\nID search by amount")));
    EXPECT_TRUE(w.ShapeCurPlayer->isVisible());
    EXPECT_EQ(w.ShapeCurPlayer->x(), w.MarkerLeftBlack);
}

TEST_F(MainWindowTest, RightButtonShowsTheLegalSquaresUntilReleased) {
    TFormMain& w = Open();
    w.ToolButtonStartClick();
    QTest::mousePress(w.Board, Qt::RightButton, {}, SquareCentre(1, 1));
    EXPECT_TRUE(SquareHasMark(4, 3));
    EXPECT_TRUE(SquareHasMark(6, 5));
    EXPECT_FALSE(SquareHasMark(5, 5));
    QTest::mouseRelease(w.Board, Qt::RightButton, {}, SquareCentre(1, 1));
    EXPECT_FALSE(SquareHasMark(4, 3));
    EXPECT_EQ(History().StepCount, 0);
}

TEST_F(MainWindowTest, BrowsingSuspendsAndStartResumesFromTheShownStep) {
    TFormMain& w = Open();
    w.ToolButtonStartClick();
    PlayHumanMove();
    PlayHumanMove();
    const int steps = History().StepCount;
    ASSERT_EQ(steps, 4);

    // By keyboard as well: a key presses its button, which clicks once it is let up.
    const auto key = [&w](Qt::Key k) {
        QTest::keyClick(&w, k);
        EXPECT_TRUE(QTest::qWaitFor([&w] {
            return std::ranges::none_of(w.findChildren<QToolButton*>(), &QToolButton::isDown);
        }));
    };
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    EXPECT_EQ(State(), OthelloGameManager::STATE_STOP);
    EXPECT_EQ(History().CurrentStep, steps - 2);
    EXPECT_EQ(Message(), QStringLiteral("対局を中断しています。"));
    EXPECT_EQ(Enabled(),
              QStringLiteral("start first back forward last conf init save load always"));

    key(Qt::Key_Home);
    EXPECT_EQ(History().CurrentStep, 0);
    EXPECT_EQ(Enabled(), QStringLiteral("start forward last conf init save load always"));
    key(Qt::Key_Left);  // its button is disabled
    EXPECT_EQ(History().CurrentStep, 0);
    key(Qt::Key_Right);
    EXPECT_EQ(History().CurrentStep, 1);
    key(Qt::Key_End);
    EXPECT_EQ(History().CurrentStep, steps);
    w.ToolButtonBackwardClick();
    w.ToolButtonBackwardClick();

    // Resuming plays on from the shown step: the recorded mover there is the human (black), so
    // the game waits for a click; its next move truncates the history.
    w.ToolButtonStartClick();
    EXPECT_EQ(State(), OthelloGameManager::STATE_PLAY_AMOUNT);
    EXPECT_EQ(Message(), QStringLiteral("あなたの番です。"));
    EXPECT_EQ(History().CurrentStep, 2);
    PlayHumanMove();
    EXPECT_EQ(History().CurrentStep, History().StepCount);
    EXPECT_EQ(Enabled(), QStringLiteral("stop first back conf always"));
}

TEST_F(MainWindowTest, ClockGameLocksSettingsAndStopAsksFirst) {
    WriteFile("morvane.ini", "CpuMode = 1\r\nPlayerTime = 1\r\n");
    TFormMain& w = Open();
    EXPECT_TRUE(
        Info().startsWith(QStringLiteral("あなた|2|01:00|1手目|残り時間|モルヴァン|2|01:00|")));
    w.ToolButtonStartClick();
    EXPECT_EQ(State(), OthelloGameManager::STATE_PLAY_TIME);
    EXPECT_EQ(Enabled(), QStringLiteral("stop always"));

    confirmAnswer_ = false;
    w.ToolButtonStopClick();
    EXPECT_EQ(confirmations_, std::vector<QString>{QStringLiteral("対局を中止します。")});
    EXPECT_EQ(State(), OthelloGameManager::STATE_PLAY_TIME);
    confirmAnswer_ = true;
    w.ToolButtonStopClick();
    EXPECT_EQ(State(), OthelloGameManager::STATE_STOP);
    EXPECT_EQ(Message(), QStringLiteral("対局を中止しました。"));
    EXPECT_EQ(Enabled(), QStringLiteral("start conf init save load always"));
}

// A record whose start position is a full board: the game is over as soon as it is loaded.
QByteArray FinishedRecord() {
    QByteArray text =
        "[\x83\x82\x83\x8B\x83\x94\x83\x40\x83\x93]\r\nKind = Record\r\n"
        "FormatVersion = 2\r\n\r\n[Information]\r\nCurrentStep = 0\r\n\r\n"
        "[InitialBoard]\r\n";
    for (int row = 0; row < 8; ++row)
        text += row < 5 ? "11111111\r\n" : "22222222\r\n";
    return text;
}

TEST_F(MainWindowTest, StartAfterTheEndOffersToInitialiseTheBoard) {
    TFormMain& w = Open();
    WriteFile("finished.mvr", FinishedRecord());
    w.ChooseOpenFile = [this] { return Path("finished.mvr"); };
    w.NLoadHistoryClick();
    ASSERT_EQ(State(), OthelloGameManager::STATE_STOP);
    EXPECT_TRUE(Info().startsWith(QStringLiteral("あなた|40|00:00|終局|")));

    confirmAnswer_ = false;
    w.ToolButtonStartClick();
    ASSERT_EQ(confirmations_.size(), 1u);
    EXPECT_EQ(confirmations_[0], QStringLiteral("終局です。\n盤面を初期化しますか？"));
    EXPECT_EQ(State(), OthelloGameManager::STATE_STOP);
    EXPECT_EQ(w.GameManager.Logic.CountStones(1), 40);

    confirmAnswer_ = true;
    w.ToolButtonStartClick();
    EXPECT_EQ(State(), OthelloGameManager::STATE_INIT);
    EXPECT_TRUE(
        Info().endsWith(QStringLiteral("|2|00:00|1手目|経過時間|モルヴァン|2|00:00|"
                                       "盤面を初期化しました。")));
}

TEST_F(MainWindowTest, SavedRecordLoadsBackThroughTheWindow) {
    TFormMain& w = Open();
    w.ToolButtonStartClick();
    PlayHumanMove();
    confirmAnswer_ = true;
    w.ToolButtonStopClick();
    const std::string moves = History().MoveString();
    ASSERT_EQ(moves.size(), 4u);

    w.ChooseSaveFile = [this] { return Path("game.mvr"); };
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(errors_.empty());
    QFile saved(Path("game.mvr"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains(QByteArray("Steps = ") + moves.c_str() + "\r\n"));

    w.NInitBoardClick();
    EXPECT_EQ(History().StepCount, 0);
    w.ChooseOpenFile = [this] { return Path("game.mvr"); };
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(History().MoveString(), moves);
    EXPECT_EQ(History().CurrentStep, 2);
    EXPECT_EQ(State(), OthelloGameManager::STATE_STOP);
    EXPECT_EQ(Message(), QStringLiteral("棋譜データを読み込みました。"));
    EXPECT_EQ(Enabled(), QStringLiteral("start first back conf init save load always"));
    EXPECT_EQ(w.ShapeCurPlayer->x(), w.MarkerLeftBlack);

    // The record window gets the whole move string, which also goes to the debug pane.
    QTimer::singleShot(0, w.FormHistory, &QDialog::accept);
    w.N2Click();
    EXPECT_EQ(w.FormHistory->HistoryText, moves);
    EXPECT_TRUE(w.MemoDebug->toPlainText().endsWith(QString::fromStdString(moves)));
}

TEST_F(MainWindowTest, RecordFileFailuresAreReportedAndChangeNothing) {
    TFormMain& w = Open();
    w.ToolButtonStartClick();
    PlayHumanMove();
    w.ToolButtonStopClick();
    const BoardArray board = w.GameManager.Logic.Board;
    const QString info = Info();
    const QString enabled = Enabled();
    const int steps = History().StepCount;

    WriteFile("bad.mvr", FinishedRecord().replace("11111111", "11131111"));
    w.ChooseOpenFile = [this] { return Path("bad.mvr"); };
    w.NLoadHistoryClick();

    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_TRUE(errors_[0].startsWith(QStringLiteral("ファイルを読み込めません。")));
    EXPECT_EQ(State(), OthelloGameManager::STATE_STOP);
    EXPECT_EQ(Info(), info);
    EXPECT_EQ(Enabled(), enabled);
    EXPECT_EQ(History().StepCount, steps);
    EXPECT_EQ(w.GameManager.Logic.Board, board);

    // A save that cannot be written says so instead of pretending it worked.
    w.ChooseSaveFile = [this] { return Path("missing-folder/game.mvr"); };
    w.NSaveHistoryClick();
    ASSERT_EQ(errors_.size(), 2u);
    EXPECT_TRUE(errors_[1].contains(QStringLiteral("missing-folder/game.mvr")));
}

// morvane FILE.mvr: the file named at start-up takes the load command's own path.
TEST_F(MainWindowTest, RecordNamedAtStartUpLoadsLikeTheLoadCommand) {
    TFormMain& w = Open();
    const BoardArray initial = w.GameManager.Logic.Board;
    EXPECT_EQ(w.RecordFolder(),
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));

    WriteFile("bad.mvr", FinishedRecord().replace("11111111", "11131111"));
    EXPECT_FALSE(w.OpenRecordFile(Path("bad.mvr")));
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_TRUE(errors_[0].startsWith(QStringLiteral("ファイルを読み込めません。")));
    EXPECT_EQ(State(), OthelloGameManager::STATE_INIT);
    EXPECT_EQ(w.GameManager.Logic.Board, initial);
    EXPECT_EQ(Message(), QStringLiteral("開始ボタンで対局を開始します。"));

    WriteFile("finished.mvr", FinishedRecord());
    EXPECT_TRUE(w.OpenRecordFile(Path("finished.mvr")));
    EXPECT_EQ(State(), OthelloGameManager::STATE_STOP);
    EXPECT_EQ(Message(), QStringLiteral("棋譜データを読み込みました。"));
    EXPECT_EQ(w.RecordFolder(), scratch_.path());
}

TEST_F(MainWindowTest, GameSettingsDialogWritesOnOkOnly) {
    TFormMain& w = Open();
    QTimer::singleShot(0, [&w] {
        w.FormConf->ComboBoxLevel->setCurrentIndex(5);
        w.FormConf->BitBtn2->click();
    });
    w.ToolButtonConfClick();
    EXPECT_EQ(w.GameManager.Params.CpuLevel, 0);

    QTimer::singleShot(0, [&w] {
        w.FormConf->ComboBoxLevel->setCurrentIndex(5);
        w.FormConf->RadioButtonTime->click();
        w.FormConf->BitBtn1->click();
    });
    w.ToolButtonConfClick();
    EXPECT_EQ(w.GameManager.Params.CpuLevel, 5);
    EXPECT_EQ(w.GameManager.Params.CpuMode, 1);
    EXPECT_EQ(w.LabelTimeMode->text(), QStringLiteral("残り時間"));
}

// Qt's own dialogs speak Japanese whatever the system language: the stop confirmation, the
// time-out question and the save dialog, each answered by its last button.
TEST_F(MainWindowTest, StandardDialogsSpeakJapanese) {
    window_ = std::make_unique<TFormMain>();  // with its real boxes and dialogs
    TFormMain& w = *window_;
    QStringList seen;
    const auto readAndClose = [&seen] {
        QTimer::singleShot(0, [&seen] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            QList<QAbstractButton*> buttons;
            if (auto* box = qobject_cast<QMessageBox*>(dialog)) buttons = box->buttons();
            if (auto* box = dialog->findChild<QDialogButtonBox*>()) buttons = box->buttons();
            QStringList texts{dialog->windowTitle()};
            for (QAbstractButton* b : buttons)
                texts << b->text();
            seen << texts.join('|');
            ASSERT_FALSE(buttons.isEmpty());
            buttons.back()->click();
        });
    };
    readAndClose();
    EXPECT_FALSE(w.ConfirmOkCancel(QStringLiteral("対局を中止します。")));
    readAndClose();
    EXPECT_FALSE(w.GameManager.OwnerWindow->AskYesNo("時間切れで…", "時間切れ"));
    readAndClose();
    EXPECT_TRUE(w.ChooseSaveFile().isEmpty());
    EXPECT_EQ(
        seen.join(" / ").toStdString(),
        "確認|OK|キャンセル / 時間切れ|はい(&Y)|いいえ(&N) / 名前を付けて保存|保存(&S)|キャンセル")
        << "the test main loads Qt's translations as the program does: qt6-translations-l10n";
}

TEST_F(MainWindowTest, ClosingDuringASearchStopsItAndSavesTheSettings) {
    WriteFile("morvane.ini", "PlayerColor = -1\r\nCpuLevel = 8\r\nPlayerName = 花子\r\n");
    window_ = std::make_unique<TFormMain>();
    TFormMain& w = *window_;
    w.GameManager.Params.SoundEffect = false;
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    // The computer (black) opens with a long search; Ctrl+Q closes the window in the middle of it.
    QTimer::singleShot(300, [&w] { QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier); });
    w.ToolButtonStartClick();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(History().StepCount, 0);
    EXPECT_FALSE(w.GameManager.IsBusy());
    window_.reset();

    QFile settings(Path("morvane.ini"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QByteArray text = settings.readAll();
    EXPECT_TRUE(text.startsWith("PlayerColor = -1\r\n"));
    EXPECT_TRUE(text.contains("CpuLevel = 8\r\n"));
    EXPECT_TRUE(text.contains("PlayerName = \x89\xD4\x8E\x71\r\n"));  // 花子 in code page 932
}

}  // namespace
