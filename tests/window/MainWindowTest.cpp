#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "FormWidgets.h"
#include "Main.h"
#include "MorvaneAnalysis.h"
#include "MoveAnalyst.h"
#include "OthelloAbout.h"
#include "OthelloEvalGraph.h"
#include "Othelloboard.h"
#include "Othelloconf.h"
#include "Othelloenvconf.h"
#include "Othellohistorydisplay.h"

namespace {

// The texts that a window shows, each with the box it takes at the font it is drawn in, the room
// its control gives it and the control, in the window's coordinates. The boxes follow the layout
// of Qt's styles: a push button centres its icon, 4 pixels and its text; the others place their
// text in the style's contents rectangle.
struct ShownText {
    QWidget* control;
    QString text;
    QRect box, room;
};

std::vector<ShownText> ShownTexts(QWidget* window) {
    std::vector<ShownText> shown;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->visibleRegion().isEmpty()) continue;
        const QStyle* style = w->style();
        QStyleOptionButton option;
        option.initFrom(w);
        QFont font = w->font();
        QString text = w->property(qobject_cast<QGroupBox*>(w) ? "title" : "text").toString();
        QRect room;
        int align = Qt::AlignLeft | Qt::AlignVCenter;
        int lead = 0;
        const auto* panel = qobject_cast<PanelLabel*>(w);
        if (auto* label = qobject_cast<QLabel*>(w)) {
            room = label->contentsRect();
            align = label->alignment();
            if (panel != nullptr) {
                font = panel->FittedFont();
                const int cut = room.width() - panel->Room();
                room.adjust(cut / 2, 0, -(cut - cut / 2), 0);
            }
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            lead = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
            align = Qt::AlignCenter;
            room = style->subElementRect(QStyle::SE_PushButtonContents, &option, w);
        } else if (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w)) {
            room = style->subElementRect(qobject_cast<QRadioButton*>(w)
                                             ? QStyle::SE_RadioButtonContents
                                             : QStyle::SE_CheckBoxContents,
                                         &option, w);
        } else if (qobject_cast<QGroupBox*>(w)) {
            room = w->rect();
            align = Qt::AlignLeft | Qt::AlignTop;
        } else if (qobject_cast<QLineEdit*>(w)) {
            QStyleOptionFrame frame;
            frame.initFrom(w);
            frame.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, w);
            room = style->subElementRect(QStyle::SE_LineEditContents, &frame, w);
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i) {  // any item may be chosen
                const QString item = combo->itemText(i);
                if (QFontMetrics(font).horizontalAdvance(item) >
                    QFontMetrics(font).horizontalAdvance(text))
                    text = item;
            }
            QStyleOptionComboBox box;
            box.initFrom(w);
            room =
                style->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxEditField, w);
        } else {
            continue;  // not a text control
        }
        if (text.isEmpty()) continue;  // a picture
        const QFontMetrics metrics(font);
        QRect box = metrics.boundingRect(room, align, text);
        if (lead > 0) {
            box.setWidth(box.width() + lead);
            box.moveCenter(room.center());
        }
        if (panel != nullptr && panel->Outlined()) box.adjust(-1, 0, 1, 0);
        const QPoint at = w->mapTo(window, QPoint());
        shown.push_back({w, text, box.translated(at), room.translated(at)});
    }
    return shown;
}

// Every text inside its room and no two text controls on top of each other; the controls that
// failed, or "" when all fit.
QString Misfits(QWidget* window, const std::vector<ShownText>& shown) {
    QStringList faults;
    for (const ShownText& t : shown) {
        if (!t.room.contains(t.box)) faults << t.text + QStringLiteral(" cut");
        for (const ShownText& u : shown) {
            const QRect a(t.control->mapTo(window, QPoint()), t.control->size());
            const QRect b(u.control->mapTo(window, QPoint()), u.control->size());
            if (&t < &u && a.intersects(b) && !t.control->isAncestorOf(u.control) &&
                !u.control->isAncestorOf(t.control))
                faults << t.text + QStringLiteral(" on ") + u.text;
        }
    }
    return faults.join(QStringLiteral(", "));
}

// Each test runs in a scratch folder: the window reads and writes morvane.ini in the current one.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = QDir::currentPath();
        QDir::setCurrent(scratch_.path());
    }
    void TearDown() override {
        window_.reset();
        QDir::setCurrent(previous_);
    }

    // Quick (level 1 answers at once, no animation) unless the settings file's game is wanted.
    TFormMain& Open(bool quick = true) {
        window_ = std::make_unique<TFormMain>();
        TFormMain& w = *window_;
        w.ConfirmOkCancel = [this](const QString& text) {
            confirmations_.push_back(text);
            return confirmAnswer_;
        };
        w.ShowError = [this](const QString& text) { errors_.push_back(text); };
        w.GameManager.Params.SoundEffect = false;
        if (quick) w.GameManager.Params.TurnSpeed = 2, w.GameManager.Params.CpuLevel = 0;
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

    // The pixels of a colour in the field bitmap: the legal squares' yellow, the last move's red.
    qsizetype Marked(QRgb colour = qRgb(255, 255, 0)) const {
        const QImage image = window_->Board->BoardBitmap.convertToFormat(QImage::Format_RGB32);
        const auto* bits = reinterpret_cast<const QRgb*>(image.constBits());
        return std::count(bits, bits + image.sizeInBytes() / 4, colour);
    }

    // Plays the human's (black's) first legal square in scan order; the computer answers.
    void PlayHumanMove() {
        OthelloGameManager& manager = window_->GameManager;
        for (int i = 0; i < 64; ++i)
            if (manager.Logic.CanPut(1, i / 8 + 1, i % 8 + 1))
                return manager.TryPut(i / 8 + 1, i % 8 + 1);
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
        for (const auto& [name, on] : commands)
            if (on) names << QString::fromLatin1(name);
        return names.join(' ');
    }

    // The information panel, left column, middle column, right column, then the message.
    QString Info() const {
        const TFormMain& w = *window_;
        QStringList texts;
        for (const QLabel* l :
             {w.LabelBlackPlayer, w.LabelBlackCount, w.LabelBlackTime, w.LabelTesu, w.LabelTimeMode,
              w.LabelWhitePlayer, w.LabelWhiteCount, w.LabelWhiteTime, w.LabelMsg})
            texts << l->text();
        return texts.join('|');
    }

    void WriteFile(const char* name, const QByteArray& bytes) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QString Path(const char* name) const { return scratch_.filePath(QString::fromLatin1(name)); }
    int State() const { return window_->GameManager.GameState(); }
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
    EXPECT_EQ(w.Board->geometry(), QRect(10, 40, 401, 401));
    EXPECT_EQ(w.PanelInfo->geometry(), QRect(421, 40, 270, 138));
    EXPECT_EQ(w.PanelMsg->geometry(), QRect(421, 184, 270, 57));
    EXPECT_EQ(Info(), QStringLiteral("あなた|2|00:00|1手目|経過時間|モルヴァン|2|00:00|"
                                     "開始ボタンで対局を開始します。"));
    EXPECT_FALSE(w.ShapeCurPlayer->isVisible());
    EXPECT_EQ(Enabled(), QStringLiteral("start conf init save load always"));
    // Each tool button says what it does: its menu command, or its step and key.
    // Each has a picture for screens of pixel ratio 2 as well.
    QStringList tips;
    for (QToolButton* b :
         {w.ToolButtonStart, w.ToolButtonStop, w.ToolButtonToFirst, w.ToolButtonBackward,
          w.ToolButtonForward, w.ToolButtonToLast, w.ToolButtonConf, w.ToolButton10}) {
        tips << b->toolTip();
        EXPECT_TRUE(b->icon().availableSizes().contains(QSize(32, 32))) << tips.size();
    }
    EXPECT_EQ(tips.join('|').toStdString(),
              "開始/再開|対局中止|最初の局面へ (Home)|1手戻る (←)|1手進む (→)|最後の局面へ (End)|"
              "対局設定|環境設定");
}

TEST_F(MainWindowTest, BoardSizeAndSettingsTakeEffectAtOnce) {
    TFormMain& w = Open();
    // The OK of either dialog takes effect on the window right away.
    QTimer::singleShot(0, [&w] {
        w.FormEnvConf->RadioGroupBoardSize->findChildren<QRadioButton*>().at(0)->setChecked(true);
        w.FormEnvConf->BitBtn1->click();
    });
    w.ToolButton10Click();
    EXPECT_EQ(w.GameManager.Params.BoardSize, 0);
    EXPECT_EQ(w.Client->size(), QSize(556, 361));
    QTimer::singleShot(0, [&w] {
        w.FormConf->ComboBoxLevel->setCurrentIndex(5);
        w.FormConf->RadioButtonTime->click();
        w.FormConf->BitBtn1->click();
    });
    w.ToolButtonConfClick();
    EXPECT_EQ(std::tuple(w.GameManager.Params.CpuLevel, w.GameManager.Params.CpuMode),
              std::tuple(5, 1));
    EXPECT_EQ(w.LabelTimeMode->text(), QStringLiteral("残り時間"));
    // On the clock the settings are locked; stop asks first.
    w.ToolButtonStartClick();
    EXPECT_EQ(Enabled(), QStringLiteral("stop always"));
    confirmAnswer_ = false;
    w.ToolButtonStopClick();
    EXPECT_EQ(State(), OthelloGameManager::STATE_PLAY_TIME);
    confirmAnswer_ = true;
    w.ToolButtonStopClick();
    EXPECT_EQ(confirmations_, std::vector<QString>(2, QStringLiteral("対局を中止します。")));
    EXPECT_EQ(Message(), QStringLiteral("対局を中止しました。"));
    EXPECT_EQ(Enabled(), QStringLiteral("start conf init save load always"));
}

TEST_F(MainWindowTest, ClickOnASquarePlaysAndTheComputerAnswers) {
    TFormMain& w = Open();
    w.ToolButtonStartClick();
    EXPECT_EQ(Enabled(), QStringLiteral("stop conf always"));
    // The right button shows the legal squares until it is let go.
    QTest::mousePress(w.Board, Qt::RightButton, {}, SquareCentre(1, 1));
    EXPECT_GT(Marked(), 0);
    QTest::mouseRelease(w.Board, Qt::RightButton, {}, SquareCentre(1, 1));
    EXPECT_EQ(Marked(), 0);

    // While the moves animate no command opens a dialog or a prompt.
    int opened = 0;
    w.ChooseSaveFile = [&opened] { return ++opened, QString(); };
    w.Board->WaitFunction = [&](int) {
        QTimer::singleShot(0, w.FormConf, [&] {
            w.FormConf->isVisible() ? ++opened, w.FormConf->reject() : void();
        });
        w.ToolButtonConfClick(), w.ToolButtonStopClick(), w.NSaveHistoryClick();
    };
    QTest::mouseClick(w.Board, Qt::LeftButton, {}, SquareCentre(6, 5));
    QCoreApplication::processEvents();
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(confirmations_.empty());
    // Tool buttons take no keyboard focus, so that Space or Enter presses none of them.
    EXPECT_EQ(qobject_cast<QToolButton*>(QApplication::focusWidget()), nullptr);
    ASSERT_EQ(History().StepCount, 2);
    EXPECT_EQ(History().MoveString().substr(0, 2), "f5");
    EXPECT_TRUE(
        Info().endsWith(QStringLiteral("|3手目|経過時間|モルヴァン|3|00:00|あなたの番です。")));
    EXPECT_EQ(Enabled(), QStringLiteral("stop first back conf always"));
    const QString debug = w.MemoDebug->toPlainText();
    EXPECT_TRUE(debug.contains(QStringLiteral("x=6, y=5\ncan put here")));
    EXPECT_TRUE(w.ShapeCurPlayer->isVisible());
    EXPECT_EQ(w.ShapeCurPlayer->x(), w.MarkerLeftBlack);
}

// By keys and clicks: 新規対局 (Ctrl+N), square names typed, the last move's mark on the
// computer's reply, 待った (Ctrl+Z) back to before the human's move, and 新規対局 during a game,
// which asks first.
TEST_F(MainWindowTest, NewGameTypedMovesLastMoveAndTakeBack) {
    TFormMain& w = Open();
    const BoardArray initial = w.GameManager.Logic.Board;
    const auto square = [this](int step) {
        const MoveData m = History().Moves[static_cast<std::size_t>(step)];
        return std::string{static_cast<char>('a' + m.x - 1), static_cast<char>('0' + m.y), ' '};
    };
    const auto ctrl = [&w](Qt::Key key) { QTest::keyClick(&w, key, Qt::ControlModifier); };
    EXPECT_FALSE(w.NTakeBack->isEnabled() || w.ToolButtonTakeBack->isEnabled());
    ctrl(Qt::Key_N);  // no game running: no question
    EXPECT_EQ(State(), OthelloGameManager::STATE_PLAY_AMOUNT);
    QTest::keyClicks(w.Board, "c");
    EXPECT_EQ(w.Board->TypedColumn, 3);
    QTest::keyClick(w.Board, Qt::Key_Escape);
    QTest::keyClicks(w.Board, "6A1");  // a digit alone does nothing; a1 is refused
    EXPECT_TRUE(w.MemoDebug->toPlainText().endsWith(QStringLiteral("x=1, y=1\ncan't put here")));
    QTest::keyClicks(w.Board, "f5");
    ASSERT_EQ(History().StepCount, 2);
    EXPECT_EQ(square(0), "f5 ");
    const auto redAt = [this, &w](int step) {  // at the centre of the square of a move
        const MoveData m = History().Moves[static_cast<std::size_t>(step)];
        const int c = w.Board->CellSize;
        return w.Board->BoardBitmap.pixel((m.x - 1) * c + c / 2, (m.y - 1) * c + c / 2) ==
               qRgb(230, 0, 0);
    };
    EXPECT_TRUE(redAt(1) && !redAt(0));
    EXPECT_TRUE(w.NTakeBack->isEnabled() && w.ToolButtonTakeBack->isEnabled());

    ctrl(Qt::Key_Z);
    EXPECT_EQ(History().StepCount, 0);
    EXPECT_EQ(w.GameManager.Logic.Board, initial);
    EXPECT_EQ(State(), OthelloGameManager::STATE_PLAY_AMOUNT);
    EXPECT_EQ(Message(), QStringLiteral("あなたの番です。"));
    EXPECT_EQ(Marked(qRgb(230, 0, 0)), 0);
    EXPECT_FALSE(w.NTakeBack->isEnabled());
    QTest::mouseClick(w.Board, Qt::LeftButton, {}, SquareCentre(4, 3));
    ASSERT_EQ(History().StepCount, 2);
    EXPECT_EQ(square(0), "d3 ");
    // Full-width, as an input method commits it, after taking back once more.
    ctrl(Qt::Key_Z);
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("ｃ４"));
    QApplication::sendEvent(w.Board, &typed);
    ASSERT_EQ(History().StepCount, 2);
    EXPECT_EQ(square(0), "c4 ");

    confirmAnswer_ = false;
    ctrl(Qt::Key_N);
    EXPECT_EQ(confirmations_,
              std::vector<QString>{QStringLiteral("対局中です。\n新しい対局を始めますか？")});
    EXPECT_EQ(History().StepCount, 2);
    confirmAnswer_ = true;
    ctrl(Qt::Key_N);
    EXPECT_EQ(std::tuple(History().StepCount, State()),
              std::tuple(0, int{OthelloGameManager::STATE_PLAY_AMOUNT}));
    EXPECT_EQ(Message(), QStringLiteral("あなたの番です。"));
}

TEST_F(MainWindowTest, BrowsingSuspendsAndStartResumesFromTheShownStep) {
    TFormMain& w = Open();
    w.ToolButtonStartClick();
    PlayHumanMove();
    PlayHumanMove();
    const int steps = History().StepCount;
    ASSERT_EQ(steps, 4);

    // By keyboard as well. Presses while a step animates finish it at once and each counts: the
    // two during the first step's animation make three steps with it, and the board shows the
    // last of them.
    const auto key = [&w](Qt::Key k) { QTest::keyClick(&w, k); };
    int waits = 0;
    w.Board->WaitFunction = [&](int) {
        if (++waits <= 2) key(Qt::Key_Left);
    };
    key(Qt::Key_Left);
    EXPECT_EQ(w.Board->Squares, w.GameManager.Logic.Board);
    key(Qt::Key_Right);
    EXPECT_EQ(State(), OthelloGameManager::STATE_STOP);
    EXPECT_EQ(History().CurrentStep, steps - 2);
    EXPECT_EQ(Message(), QStringLiteral("対局を中断しています。"));
    EXPECT_EQ(Enabled(),
              QStringLiteral("start first back forward last conf init save load always"));

    // ← does nothing at step 0, where its button is disabled.
    for (const auto& [k, step] : {std::pair{Qt::Key_Home, 0},
                                  {Qt::Key_Left, 0},
                                  {Qt::Key_Right, 1},
                                  {Qt::Key_End, steps}}) {
        key(k);
        EXPECT_EQ(History().CurrentStep, step) << k;
    }
    w.ToolButtonBackwardClick();
    w.ToolButtonBackwardClick();

    // Resuming plays on from the shown step: the recorded mover there is the human (black), so
    // the game waits for a click.
    w.ToolButtonStartClick();
    EXPECT_EQ(Message(), QStringLiteral("あなたの番です。"));
    EXPECT_EQ(History().CurrentStep, 2);
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

// Failures first (a bad record, a folder chosen as one, a save into a missing folder): each is
// reported and changes nothing. Then a save by Ctrl+S and a load by Ctrl+O.
TEST_F(MainWindowTest, RecordsSaveAndLoadBackAndFailuresChangeNothing) {
    TFormMain& w = Open();
    w.ToolButtonStartClick();
    PlayHumanMove();
    w.ToolButtonStopClick();
    const std::string moves = History().MoveString();
    ASSERT_EQ(moves.size(), 4u);
    const BoardArray board = w.GameManager.Logic.Board;
    const QString shown = Info() + Enabled();
    WriteFile("bad.mvr", FinishedRecord().replace("11111111", "11131111"));
    for (const QString& path : {Path("bad.mvr"), scratch_.path()}) {
        errors_.clear();
        w.ChooseOpenFile = [path] { return path; };
        w.NLoadHistoryClick();
        ASSERT_EQ(errors_.size(), 1u);
        EXPECT_TRUE(errors_[0].startsWith(QStringLiteral("ファイルを読み込めません。")));
        EXPECT_EQ(State(), OthelloGameManager::STATE_STOP);
        EXPECT_EQ(Info() + Enabled(), shown);
        EXPECT_EQ(History().MoveString(), moves);
        EXPECT_EQ(w.GameManager.Logic.Board, board);
    }
    w.ChooseSaveFile = [this] { return Path("missing-folder/game.mvr"); };
    w.NSaveHistoryClick();
    ASSERT_EQ(errors_.size(), 2u);
    EXPECT_TRUE(errors_[1].contains(QStringLiteral("missing-folder/game.mvr")));

    w.ChooseSaveFile = [this] { return Path("game.mvr"); };
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(errors_.size(), 2u);
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

// morvane FILE.mvr: the file named at start-up takes the load command's own path. After the end of
// a game the start button offers to initialise the board.
TEST_F(MainWindowTest, RecordNamedAtStartUpAndStartAfterTheEnd) {
    TFormMain& w = Open();
    WriteFile("finished.mvr", FinishedRecord());
    EXPECT_TRUE(w.OpenRecordFile(Path("finished.mvr")));
    EXPECT_EQ(State(), OthelloGameManager::STATE_STOP);
    EXPECT_EQ(Info(), QStringLiteral("あなた|40|00:00|終局|経過時間|モルヴァン|24|00:00|"
                                     "棋譜データを読み込みました。"));
    EXPECT_EQ(w.RecordFolder(), scratch_.path());
    confirmAnswer_ = false;
    w.ToolButtonStartClick();
    EXPECT_EQ(confirmations_,
              std::vector<QString>{QStringLiteral("終局です。\n盤面を初期化しますか？")});
    EXPECT_EQ(State(), OthelloGameManager::STATE_STOP);
    EXPECT_EQ(w.GameManager.Logic.CountStones(1), 40);
    confirmAnswer_ = true;
    w.ToolButtonStartClick();
    EXPECT_EQ(State(), OthelloGameManager::STATE_INIT);
    EXPECT_TRUE(Info().endsWith(
        QStringLiteral("|2|00:00|1手目|経過時間|モルヴァン|2|00:00|盤面を初期化しました。")));
}

// A game pasted into the record window loads as a record file does; a bad one names the move.
TEST_F(MainWindowTest, PastedGameLoadsFromTheRecordWindow) {
    TFormMain& w = Open();
    TFormHistory& form = *w.FormHistory;
    QTimer::singleShot(0, [&] {
        QTest::keyClicks(form.EditHistory, " d6 c3 c3");
        QTest::mouseClick(form.Button2, Qt::LeftButton);
        ASSERT_TRUE(form.isVisible());
        form.EditHistory->setText("F5d6C3");
        QTest::keyClick(form.EditHistory, Qt::Key_Return);  // Enter loads an edited text
    });
    w.N2Click();
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_TRUE(errors_[0].contains(QStringLiteral("1手目の d6 は打てません。")))
        << errors_[0].toStdString();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(History().MoveString(), "f5d6c3");
    EXPECT_EQ(State(), OthelloGameManager::STATE_STOP);
    EXPECT_EQ(Message(), QStringLiteral("棋譜データを読み込みました。"));
    // Not while a game runs, as the load command; Enter then closes the window as before an edit.
    w.ToolButtonStartClick();
    QTimer::singleShot(0, [&] {
        EXPECT_FALSE(form.Button2->isEnabled());
        QTest::keyClicks(form.EditHistory, "d6");
        QTest::keyClick(form.EditHistory, Qt::Key_Return);
        if (form.isVisible()) ADD_FAILURE() << "Enter left the window open", form.reject();
    });
    w.N2Click();
}

// Qt's own dialogs speak Japanese whatever the system language: the stop confirmation, the
// time-out question and the save dialog, each answered by its last button.
// The time-out question stands over the board, clear of the clocks. The save dialog opens in the
// home folder when there is no documents folder, with no file name, its columns wide enough and
// its types in Japanese too.
TEST_F(MainWindowTest, StandardDialogsSpeakJapanese) {
    window_ = std::make_unique<TFormMain>();  // with its real boxes and dialogs
    TFormMain& w = *window_;
    w.show();
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", scratch_.path().toLocal8Bit());
    WriteFile("game.mvr", "");
    QDir(scratch_.path()).mkdir(QStringLiteral("棋譜"));
    QStringList seen;
    const auto readAndClose = [&seen, &w, this] {
        QTimer::singleShot(0, [&seen, &w, this] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            const QRect place = dialog->frameGeometry();
            const auto global = [](QWidget* c) {
                return QRect(c->mapToGlobal(QPoint()), c->size());
            };
            if (dialog->windowTitle() == QStringLiteral("時間切れ")) {
                EXPECT_TRUE(global(w.Board).contains(place.center()) &&
                            !place.intersects(global(w.LabelBlackTime)) &&
                            !place.intersects(global(w.LabelWhiteTime)));
            }
            if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
                EXPECT_EQ(files->directory().path(), scratch_.path());
                EXPECT_EQ(files->findChild<QLineEdit*>("fileNameEdit")->text(), "");
                auto* view = files->findChild<QTreeView*>();
                ASSERT_TRUE(QTest::qWaitFor(
                    [view] { return view->model()->rowCount(view->rootIndex()) == 2; }));
                for (int c = 1; c < 4; ++c)
                    EXPECT_GE(view->header()->sectionSize(c),
                              static_cast<QAbstractItemView*>(view)->sizeHintForColumn(c))
                        << c;
                seen << view->model()->index(0, 2, view->rootIndex()).data().toString();  // 棋譜
            }
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
    qputenv("HOME", home);
    EXPECT_EQ(seen.join(" / ").toStdString(),
              "確認|OK|キャンセル / 時間切れ|はい(&Y)|いいえ(&N) / フォルダー / "
              "名前を付けて保存|保存(&S)|キャンセル")
        << "the test main loads Qt's translations as the program does: qt6-translations-l10n";
}

// At each board size and in every dialog, every text fits its control at the font in use (the
// one `make run` installs), none runs under another control, and the turn marker's line crosses
// no text of the column it frames.
TEST_F(MainWindowTest, EveryTextFitsItsControl) {
    TFormMain& w = Open();
    const QFontInfo font(w.LabelMsg->font());
    ASSERT_EQ(font.family(), QStringLiteral("Noto Sans CJK JP"))
        << "the fonts the game is designed for are missing: install fonts-noto-cjk";
    QStringList counts;
    for (int size : {0, 1, 2}) {
        w.GameManager.Params.BoardSize = size;
        w.LayoutForBoardSize();
        // The longest message, with the marker beside each side in turn.
        for (int side : {1, -1}) {
            w.UpdateInfo(side, "時間切れでモルヴァンの負けです。");
            // Inside the marker's 2-pixel line, from side to side.
            const QRect marker = w.ShapeCurPlayer->geometry().adjusted(2, 0, -2, 0);
            const std::vector<ShownText> shown = ShownTexts(&w);
            QString faults = Misfits(&w, shown);
            for (const ShownText& t : shown) {
                const QRect box = t.box.translated(-w.PanelInfo->mapTo(&w, QPoint()));
                if (t.control->parentWidget() == w.PanelInfo &&
                    t.control->geometry().intersects(marker) &&
                    (box.left() < marker.left() || box.right() > marker.right()))
                    faults += QStringLiteral(" marker on ") + t.text;
            }
            EXPECT_EQ(faults.toStdString(), "") << "board size " << size << ", side " << side;
            counts << QString::number(shown.size());
        }
        w.UpdateInfo(0, "開始ボタンで対局を開始します。");
        EXPECT_EQ(Misfits(&w, ShownTexts(&w)).toStdString(), "") << size;
    }
    w.FormConf->Params = w.FormEnvConf->Params = &w.GameManager.Params;
    w.FormHistory->HistoryText = "f5d6c3d3c4f4";
    for (QDialog* dialog :
         std::initializer_list<QDialog*>{w.FormConf, w.FormEnvConf, w.FormHistory, w.AboutBox}) {
        dialog->show();
        const std::vector<ShownText> shown = ShownTexts(dialog);
        EXPECT_EQ(Misfits(dialog, shown).toStdString(), "") << dialog->windowTitle().toStdString();
        counts << QString::number(shown.size());
        dialog->hide();
    }
    // Nothing went unmeasured: the ten panel labels, then each dialog's text controls.
    EXPECT_EQ(counts.join(' ').toStdString(), "10 10 10 10 10 10 14 23 4 2");
}

// The white side's name, count and clock stay white on the light blue panel, yet read at each
// board size: 3:1 or better against what borders their strokes (the median of the pixels next to
// those of the text's own colour), and with pixels of their own colour at least two fifths as
// many as of that edge, where letters closed up into blots show mostly edge.
TEST_F(MainWindowTest, WhiteTextsReadOnThePanel) {
    TFormMain& w = Open();
    // Relative luminance from the contrast with black.
    const auto luminance = [](QRgb c) { return ContrastRatio(QColor(c), Qt::black) * 0.05 - 0.05; };
    for (int size : {0, 1, 2}) {
        w.GameManager.Params.BoardSize = size;
        w.LayoutForBoardSize();
        for (PanelLabel* label : {w.LabelWhitePlayer, w.LabelWhiteCount, w.LabelWhiteTime}) {
            const QImage image = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QRgb text = label->palette().color(QPalette::WindowText).rgb();
            std::vector<double> border;
            int own = 0;
            for (int y = 1; y + 1 < image.height(); ++y) {
                for (int x = 1; x + 1 < image.width(); ++x) {
                    own += image.pixel(x, y) == text;
                    if (image.pixel(x, y) == text) continue;
                    bool next = false;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            next = next || image.pixel(x + dx, y + dy) == text;
                    if (next) border.push_back(luminance(image.pixel(x, y)));
                }
            }
            const std::string name = label->text().toStdString() + " " + std::to_string(size);
            ASSERT_GT(border.size(), 20u) << name;
            EXPECT_GE(5 * own, 2 * static_cast<int>(border.size())) << name;
            std::nth_element(border.begin(), border.begin() + border.size() / 2, border.end());
            EXPECT_GE(1.05 / (border[border.size() / 2] + 0.05), 3.0) << name;
        }
    }
}

TEST_F(MainWindowTest, ClosingDuringASearchStopsItAndSavesTheSettings) {
    WriteFile("morvane.ini", "PlayerColor = -1\r\nCpuLevel = 8\r\nPlayerName = 花子\r\n");
    TFormMain& w = Open(false);
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

// A folder in place of the settings file reads as no file: the defaults at start-up. Names typed
// in the dialog come back after a restart; what the file could not keep cannot be typed.
TEST_F(MainWindowTest, SettingsFolderAndNamesThroughARestart) {
    ASSERT_TRUE(QDir(scratch_.path()).mkdir(QStringLiteral("morvane.ini")));
    TFormMain& w = Open();
    EXPECT_EQ(w.GameManager.Params.PlayerName + w.GameManager.Params.CpuName, "あなたモルヴァン");
    ASSERT_TRUE(QDir(scratch_.path()).rmdir(QStringLiteral("morvane.ini")));
    QTimer::singleShot(0, [&w] {
        w.FormEnvConf->EditPlayerName->clear();
        for (const QChar c : QStringLiteral("ﾅｶ¥#=;〜 ")) {  // as an input method commits them
            QInputMethodEvent typed;
            typed.setCommitString(c);
            QApplication::sendEvent(w.FormEnvConf->EditPlayerName, &typed);
        }
        QApplication::clipboard()->setText(QStringLiteral("x\ny"));
        w.FormEnvConf->EditCpuName->selectAll();
        w.FormEnvConf->EditCpuName->paste();
        w.FormEnvConf->BitBtn1->click();
    });
    w.ToolButton10Click();
    window_.reset();
    Open();
    EXPECT_EQ(window_->GameManager.Params.PlayerName + "|" + window_->GameManager.Params.CpuName,
              "ﾅｶ |モルヴァン");
}

// Hints (key H, kept in the settings file) show every legal square's value as the analysis gives
// it: for this endgame position the exact disc differences ("+4", "−2", "0"), the best standing
// out. A move takes them off at once; the human's next turn brings those of the new position.
TEST_F(MainWindowTest, HintsShowTheValueOfEveryLegalSquare) {
    WriteFile("morvane.ini", "ShowHints = 1\r\n");
    TFormMain& w = Open();
    ASSERT_TRUE(w.NShowHints->isChecked());
    QTest::keyClick(&w, Qt::Key_H);
    EXPECT_FALSE(w.GameManager.Params.ShowHints);
    ASSERT_TRUE(
        w.OpenRecordText("-OOO---O-OOXO--OOOOOXOXOOOXOOXXOOXOOOXXOOOXOXOOOO-XXXXOO--XO-O-O X"));
    EXPECT_TRUE(w.Board->Hints().empty());
    QTest::keyClick(&w, Qt::Key_H);
    ASSERT_TRUE(w.NShowHints->isChecked() && w.GameManager.Params.ShowHints);
    const auto hinted = [&w] { return w.Analyst->Idle() && !w.Board->Hints().empty(); };
    // The squares and texts shown, and those of an analysis of the same position.
    const auto compare = [&w](int color) {
        MorvaneAnalysis own;
        const AnalysisResult result = own.Analyze(w.GameManager.Logic.Board.data(), color, 3);
        QStringList expected;
        QStringList shown;
        for (const MoveValue& v : result.moves) {
            EXPECT_EQ(v.kind, MoveValue::Kind::Exact);
            const QString sign = v.value > 0 ? "+" : v.value < 0 ? "−" : "";
            expected << QString("%1%2 %3%4%5")
                            .arg(QChar('a' + v.x - 1))
                            .arg(v.y)
                            .arg(sign)
                            .arg(std::abs(v.value))
                            .arg(v.value == result.moves[0].value ? "!" : "");
        }
        for (const BoardHint& h : w.Board->Hints()) {
            EXPECT_TRUE(w.GameManager.Logic.CanPut(color, h.x, h.y));
            shown << QString("%1%2 %3%4")
                         .arg(QChar('a' + h.x - 1))
                         .arg(h.y)
                         .arg(h.text)
                         .arg(h.emphasised ? "!" : "");
        }
        expected.sort();
        shown.sort();
        return std::pair(expected.join(", ").toStdString(), shown.join(", ").toStdString());
    };
    ASSERT_TRUE(QTest::qWaitFor(hinted, 60000));
    const auto [expected, shown] = compare(1);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), ','), 7) << "eight legal squares";

    w.ToolButtonStartClick();  // the human's turn in the same position: the same hints stay
    EXPECT_EQ(compare(1).second, shown);
    PlayHumanMove();
    EXPECT_TRUE(w.Board->Hints().empty());
    ASSERT_TRUE(QTest::qWaitFor(hinted, 60000));
    const auto [expectedNext, shownNext] = compare(1);
    EXPECT_EQ(shownNext, expectedNext);
    QTest::keyClick(&w, Qt::Key_H);
    EXPECT_TRUE(w.Board->Hints().empty());
}

// The evaluation graph (Ctrl+G) fills step by step for a loaded game, from black's view:
// evaluation points at 18 and 17 empty squares, solved disc differences from 16 on, each as an
// analysis of its own gives it. It marks the shown step and a click on a step browses there.
TEST_F(MainWindowTest, EvalGraphFillsMarksTheStepAndBrowsesOnAClick) {
    TFormMain& w = Open();
    ASSERT_TRUE(
        w.OpenRecordText("(;GM[Othello]BO[8 -OOO-----OO*O----OOO*OO-***OO*O***OOOO***O*O*"
                         "OO*O-**OOO---*O-O-- *]B[h7]W[h8]B[h2]W[a3];)"));
    // Valued in the background before the graph is first opened, so it opens full.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Analyst->Idle(); }, 60000));
    QTest::keyClick(&w, Qt::Key_G, Qt::ControlModifier);
    TFormEvalGraph& g = *w.FormEvalGraph;
    ASSERT_TRUE(g.isVisible());
    EXPECT_EQ(g.EvalSeries->count() + g.ExactSeries->count(), 5);
    EXPECT_EQ(g.windowTitle(), QStringLiteral("評価グラフ"));
    const auto filled = [&](int points) {
        return QTest::qWaitFor(
            [&] {
                return w.Analyst->Idle() &&
                       g.EvalSeries->count() + g.ExactSeries->count() == points;
            },
            60000);
    };
    ASSERT_TRUE(filled(5));
    QStringList points;
    for (QLineSeries* series : {g.EvalSeries, g.ExactSeries})
        for (const QPointF& p : series->points())
            points << QString("%1:%2").arg(p.x()).arg(p.y());
    QStringList expected;
    for (int step = 0; step <= 4; ++step) {
        OthelloMapHistory at = History();
        at.CurrentStep = step;
        const int color = at.CurrentColor();
        MorvaneAnalysis own;
        const int level = MoveAnalyst::GraphLevel(3, 18 - step);
        const MoveValue best = own.Analyze(at.Boards[step].data(), color, level).moves.at(0);
        EXPECT_EQ(best.kind, step < 2 ? MoveValue::Kind::Eval : MoveValue::Kind::Exact);
        expected << QString("%1:%2").arg(step).arg(best.value * color);
    }
    EXPECT_EQ(points.join(' ').toStdString(), expected.join(' ').toStdString());
    EXPECT_EQ(g.ShownStep->at(0).x(), 4);

    QTest::mouseClick(g.ChartView->viewport(), Qt::LeftButton, {}, g.StepPosition(1));
    EXPECT_EQ(History().CurrentStep, 1);
    EXPECT_EQ(w.GameManager.Logic.Board, History().Boards[1]);
    EXPECT_TRUE(QTest::qWaitFor([&] { return g.ShownStep->at(0).x() == 1; }));

    // Resumed from step 0, the game's new steps join as they are played; the graph's work
    // waits while the computer thinks.
    QTest::mouseClick(g.ChartView->viewport(), Qt::LeftButton, {}, g.StepPosition(0));
    w.ToolButtonStartClick();
    Morvane& engine = w.GameManager.White.CpuPlayer->Engine;
    bool idleWhileThinking = true;
    engine.onTrace = [&, trace = engine.onTrace](const std::string& text) {
        idleWhileThinking = idleWhileThinking && w.Analyst->Idle();
        trace(text);
    };
    PlayHumanMove();
    ASSERT_EQ(History().StepCount, 2);
    EXPECT_TRUE(idleWhileThinking);
    EXPECT_TRUE(filled(3));
}

}  // namespace
