#include "Main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QToolButton>
#include <QTreeView>
#include <cmath>

#include "FormWidgets.h"
#include "MoveAnalyst.h"
#include "OthelloAbout.h"
#include "OthelloEvalGraph.h"
#include "Othelloboard.h"
#include "Othelloconf.h"
#include "Othelloenvconf.h"
#include "Othellohistorydisplay.h"
#include "QtGameSeams.h"
#include "UiResources.h"

namespace {
constexpr int kMarkerLine = 2;  // the turn marker's line width
}

// The rounded rectangle that marks the side to move; it never takes the mouse.
class ShapeOutline : public QWidget {
public:
    explicit ShapeOutline(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0, 0, 255), kMarkerLine));
        painter.setBrush(Qt::NoBrush);
        const qreal half = kMarkerLine / 2.0;
        painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), 8, 8);
    }
};

namespace {

constexpr int kToolBarHeight = 25;
constexpr int kBoardLeft = 10;
constexpr int kBoardTop = 40;
constexpr int kPanelInfoTop = 40;
constexpr int kPanelInfoHeight = 138;
constexpr int kPanelMsgTop = 184;
constexpr int kPanelMsgHeight = 57;

using SizeLayout = TFormMain::SizeLayout;

constexpr SizeLayout kSizeLayouts[3] = {
    {35, 10, false, 60, 58},
    {45, 13, true, 80, 78},
    {55, 16, true, 100, 98},
};

int BoardMargin(const SizeLayout& layout) {
    return layout.Cell * 45 / 100;
}

// Qt's Japanese translations lack the file dialog's type of a folder.
class JapaneseFileTypes : public QFileIconProvider {
public:
    QString type(const QFileInfo& info) const override {
        return info.isDir() ? QStringLiteral("フォルダー") : QFileIconProvider::type(info);
    }
};

// The record dialogs list their files in detail, every column but the name as wide as its
// texts.
void PrepareFileDialog(QFileDialog& dialog, QFileIconProvider& types) {
    constexpr QSize kDialogSize(760, 460);
    dialog.setIconProvider(&types);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.resize(kDialogSize);
    if (auto* view = dialog.findChild<QTreeView*>()) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

PanelLabel* MakeLabel(QWidget* parent, const QString& face, const QColor& colour) {
    auto* label = new PanelLabel(parent);
    label->setFont(DesignFont(face, 8));  // the layout sets size and weight
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QFrame* MakePanel(QWidget* parent, const QColor& colour) {
    auto* panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(3);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    panel->setPalette(palette);
    return panel;
}

}  // namespace

TFormMain::TFormMain(QWidget* parent, const std::string& settingsFile) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("モルヴァン"));
    setWindowIcon(ProgramIcon());
    setFont(DesignFont(QStringLiteral("Tahoma"), 8));

    CreatePrompts();
    Client = new QWidget(this);
    setCentralWidget(Client);
    CreateMenus();
    CreateToolBar();
    CreatePanels();
    CreateBoardAndGame(settingsFile);
    CreateDialogs();
    CreateAnalysis();
    ShowStartUp();
}

void TFormMain::CreatePrompts() {
    ConfirmOkCancel = [this](const QString& text) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), text,
                        QMessageBox::Ok | QMessageBox::Cancel, this);
        box.setDefaultButton(QMessageBox::Cancel);
        return box.exec() == QMessageBox::Ok;
    };
    ChooseSaveFile = [this] {
        JapaneseFileTypes types;
        QFileDialog dialog(this, QString(), RecordFolder(),
                           QStringLiteral("モルヴァン 棋譜ファイル(*.mvr)"));
        PrepareFileDialog(dialog, types);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("mvr"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    ChooseOpenFile = [this] {
        // The game also reads the formats of other Othello programs (RecordFormats.h).
        JapaneseFileTypes types;
        QFileDialog dialog(this, QString(), RecordFolder(),
                           QStringLiteral("モルヴァン 盤面ファイル(*.mvr);;"
                                          "GGF・棋譜文字列・盤面(*.ggf *.txt *.obf);;"
                                          "すべてのファイル(*)"));
        PrepareFileDialog(dialog, types);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QStringLiteral("mvr"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    ShowError = [this](const QString& text) {
        QMessageBox::warning(this, QStringLiteral("モルヴァン"), text);
    };
}

void TFormMain::CreateBoardAndGame(const std::string& settingsFile) {
    Board = new OthelloBoard(Client);
    Board->move(kBoardLeft, kBoardTop);
    Board->OnDebugText = [this](const std::string& text) { AppendDebug(text); };
    Board->OnTypedText = [this](const QString& text) { TypeMoveText(text); };
    Board->show();
    // Square names are typed while the board has the focus.
    Board->setFocus();
    seams_ = std::make_unique<QtGameSeams>(this, Board, LabelBlackTime, LabelWhiteTime);
    GameManager.Params.FileName = settingsFile;
    GameManager.Initialize(
        seams_.get(), seams_.get(), seams_->BlackClock(), seams_->WhiteClock(),
        [this](int color, const std::string& text) { UpdateInfo(color, text); },
        [this](int state, bool busy) { UpdateControls(state, busy); },
        [this](const std::string& text) { AppendDebug(text); });
}

void TFormMain::CreateDialogs() {
    FormConf = new TFormConf(this);
    FormEnvConf = new TFormEnvConf(this);
    AboutBox = new TAboutBox(this);
    FormHistory = new TFormHistory(this);
    FormHistory->OnLoadText = [this](const std::string& text) { return OpenRecordText(text); };
}

void TFormMain::ShowStartUp() {
    LayoutForBoardSize();
    UpdateInfo(0, "開始ボタンで対局を開始します。");
    NavigationEnabled = true;
    UpdateControls(OthelloGameManager::STATE_INIT, false);
    if (GameManager.Params.Sizeable) {
        MemoDebug->hide();
    } else {
        // A fixed single border: system menu, minimise and close, but no maximise box.
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
}

void TFormMain::CreateAnalysis() {
    FormEvalGraph = new TFormEvalGraph(this);
    FormEvalGraph->OnStepClicked = [this](int step) { BrowseToStep(step); };
    Analyst = std::make_unique<MoveAnalyst>(GameManager, *Board, *FormEvalGraph);
    seams_->OnBoardChanging = [this](const BoardArray* next) { Analyst->BoardChanging(next); };
    seams_->OnComputerThinking = [this](bool thinking) { Analyst->ComputerThinking(thinking); };
    NShowHints->setChecked(GameManager.Params.ShowHints);
}

TFormMain::~TFormMain() {
    // The analysis ends before the view it draws on; the manager's own destruction then stops its
    // clock and saves the settings.
    seams_->OnBoardChanging = nullptr;
    seams_->OnComputerThinking = nullptr;
    Analyst.reset();
    delete Board;
    Board = nullptr;
}

void TFormMain::CreateMenus() {
    QMenu* game = menuBar()->addMenu(QStringLiteral("対局"));
    NConf = game->addAction(QStringLiteral("対局設定"), this, &TFormMain::ToolButtonConfClick);
    game->addSeparator();
    NNewGame = game->addAction(QStringLiteral("新規対局"), this, &TFormMain::NNewGameClick);
    NNewGame->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    NStart =
        game->addAction(QStringLiteral("対局開始/再開"), this, &TFormMain::ToolButtonStartClick);
    NStop = game->addAction(QStringLiteral("対局中止"), this, &TFormMain::ToolButtonStopClick);
    NTakeBack = game->addAction(QStringLiteral("待った"), this, &TFormMain::NTakeBackClick);
    NTakeBack->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    game->addSeparator();
    NInitBoard = game->addAction(QStringLiteral("盤面を初期化"), this, &TFormMain::NInitBoardClick);
    game->addSeparator();
    N10 = game->addAction(QStringLiteral("終了"), this, &TFormMain::N10Click);
    N10->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* record = menuBar()->addMenu(QStringLiteral("棋譜"));
    NSaveHistory =
        record->addAction(QStringLiteral("棋譜の保存"), this, &TFormMain::NSaveHistoryClick);
    NLoadHistory =
        record->addAction(QStringLiteral("棋譜の読込"), this, &TFormMain::NLoadHistoryClick);
    NSaveHistory->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    NLoadHistory->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    record->addSeparator();
    N2 = record->addAction(QStringLiteral("棋譜を表示"), this, &TFormMain::N2Click);
    NEvalGraph = record->addAction(QStringLiteral("評価グラフ"), this, &TFormMain::NEvalGraphClick);
    NEvalGraph->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));

    QMenu* options = menuBar()->addMenu(QStringLiteral("オプション"));
    N15 = options->addAction(QStringLiteral("環境設定"), this, &TFormMain::ToolButton10Click);
    NShowHints =
        options->addAction(QStringLiteral("ヒントを表示"), this, &TFormMain::NShowHintsClick);
    NShowHints->setCheckable(true);
    NShowHints->setShortcut(QKeySequence(Qt::Key_H));

    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ"));
    N19 = help->addAction(QStringLiteral("バージョン情報"), this, &TFormMain::N19Click);
}

void TFormMain::CreateToolBar() {
    const auto button = [this](int left, int icon, void (TFormMain::*handler)()) {
        auto* b = new QToolButton(Client);
        b->setGeometry(left, 0, kToolBarHeight, kToolBarHeight);
        b->setIcon(ToolBarIcon(icon));
        b->setIconSize(QSize(16, 16));
        b->setAutoRaise(true);
        // As on any desktop tool bar: Space or Enter must not press a button behind the board.
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, handler);
        return b;
    };
    // The browsing buttons have no menu command; their keys work while they are enabled, once
    // for every press (a button's own shortcut would merge fast presses into one click).
    const auto browse = [this](QToolButton* b, const QString& text, Qt::Key key) {
        const QKeySequence keys(key);
        b->setToolTip(text + QStringLiteral(" (") + keys.toString(QKeySequence::NativeText) +
                      QLatin1Char(')'));
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setAutoRepeat(true);
        connect(shortcut, &QShortcut::activated, b, [b] {
            if (b->isEnabled()) b->click();
        });
    };
    ToolButtonStart = button(0, 0, &TFormMain::ToolButtonStartClick);
    ToolButtonStart->setToolTip(QStringLiteral("開始/再開"));
    ToolButtonStop = button(25, 1, &TFormMain::ToolButtonStopClick);
    ToolButtonStop->setToolTip(NStop->text());
    ToolButtonToFirst = button(65, 2, &TFormMain::ToolButtonToFirstClick);
    browse(ToolButtonToFirst, QStringLiteral("最初の局面へ"), Qt::Key_Home);
    ToolButtonBackward = button(90, 3, &TFormMain::ToolButtonBackwardClick);
    browse(ToolButtonBackward, QStringLiteral("1手戻る"), Qt::Key_Left);
    ToolButtonForward = button(115, 4, &TFormMain::ToolButtonForwardClick);
    browse(ToolButtonForward, QStringLiteral("1手進む"), Qt::Key_Right);
    ToolButtonToLast = button(140, 5, &TFormMain::ToolButtonToLastClick);
    browse(ToolButtonToLast, QStringLiteral("最後の局面へ"), Qt::Key_End);
    ToolButtonConf = button(177, 6, &TFormMain::ToolButtonConfClick);
    ToolButtonConf->setToolTip(NConf->text());
    ToolButton10 = button(202, 7, &TFormMain::ToolButton10Click);
    ToolButton10->setToolTip(N15->text());
    // After the designed buttons, beyond a separator as wide as the one before them.
    ToolButtonTakeBack = button(239, 8, &TFormMain::NTakeBackClick);
    ToolButtonTakeBack->setToolTip(NTakeBack->text() + QStringLiteral(" (") +
                                   NTakeBack->shortcut().toString(QKeySequence::NativeText) +
                                   QLatin1Char(')'));

    auto* bevel = new QFrame(Client);
    bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    bevel->setGeometry(0, 26, 864, 2);
}

void TFormMain::CreatePanels() {
    // A caption-gradient blue, dark enough for the white player labels to read.
    PanelInfo = MakePanel(Client, QColor(170, 190, 220));
    BevelInfo = new QFrame(PanelInfo);
    BevelInfo->setFrameStyle(QFrame::Box | QFrame::Raised);

    const QString nameFace = QStringLiteral("MS UI Gothic");
    const QString clockFace = QStringLiteral("ＭＳ Ｐゴシック");
    LabelBlackPlayer = MakeLabel(PanelInfo, nameFace, Qt::black);
    LabelBlackCount = MakeLabel(PanelInfo, nameFace, Qt::black);
    LabelBlackTime = MakeLabel(PanelInfo, clockFace, Qt::black);
    LabelWhitePlayer = MakeLabel(PanelInfo, nameFace, Qt::white);
    LabelWhiteCount = MakeLabel(PanelInfo, nameFace, Qt::white);
    LabelWhiteTime = MakeLabel(PanelInfo, clockFace, Qt::white);
    LabelTesu = MakeLabel(PanelInfo, nameFace, Qt::blue);
    LabelCount = MakeLabel(PanelInfo, nameFace, Qt::blue);
    LabelCount->setText(QStringLiteral("石数"));
    LabelTimeMode = MakeLabel(PanelInfo, nameFace, Qt::blue);
    ShapeCurPlayer = new ShapeOutline(PanelInfo);
    ShapeCurPlayer->hide();

    PanelMsg = MakePanel(Client, QColor(192, 220, 192));
    LabelMsg = MakeLabel(PanelMsg, nameFace, Qt::black);

    MemoDebug = new QPlainTextEdit(Client);
    MemoDebug->setGeometry(288, 544, 352, 265);
    MemoDebug->setReadOnly(true);
    MemoDebug->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoDebug->setPlainText(QStringLiteral("MemoDebug"));
}

void TFormMain::LayoutForBoardSize() {
    const int size = GameManager.Params.BoardSize;
    const SizeLayout& layout = kSizeLayouts[size >= 0 && size <= 2 ? size : 1];
    SetPanelFonts(layout);
    PlaceTurnMarker(layout);
    PlacePanelLabels(layout);
    PlacePanelsAndWindow(layout);
    Board->CellSize = layout.Cell;
    Board->Margin = BoardMargin(layout);
    GameManager.RefreshBoard();
}

void TFormMain::SetPanelFonts(const SizeLayout& layout) {
    for (PanelLabel* label :
         {LabelBlackPlayer, LabelBlackCount, LabelBlackTime, LabelWhitePlayer, LabelWhiteCount,
          LabelWhiteTime, LabelTesu, LabelCount, LabelTimeMode, LabelMsg}) {
        QFont font = label->font();
        font.setPointSize(layout.FontPoints);
        font.setBold(layout.Bold);
        label->setFont(font);
    }
}

void TFormMain::PlaceTurnMarker(const SizeLayout& layout) {
    MarkerLeftBlack = 5;
    MarkerLeftWhite = layout.Side + layout.Middle + 20;
    ShapeCurPlayer->resize(layout.Side * 105 / 100, 121);
    ShapeCurPlayer->move(markerColor_ == -1 ? MarkerLeftWhite : MarkerLeftBlack, 8);
}

void TFormMain::PlacePanelLabels(const SizeLayout& layout) {
    const int s = layout.Side;
    const int m = layout.Middle;
    const int sideHeight = std::max(21, LabelLineHeight());
    const int middleHeight = std::max(19, LabelLineHeight());
    const int middleWidth = m - 4 - BevelInfo->frameWidth();
    // A column's texts stay inside the turn marker's line when it stands beside them.
    const auto roomInMarker = [&](int labelLeft, int markerLeft) {
        const int twiceCentre = 2 * labelLeft + s;
        const int inside = markerLeft + kMarkerLine;
        const int insideRight = markerLeft + ShapeCurPlayer->width() - kMarkerLine;
        return std::min(twiceCentre - 2 * inside, 2 * insideRight - twiceCentre);
    };
    const int tops[3] = {16, 56, 96};
    PanelLabel* left[3] = {LabelBlackPlayer, LabelBlackCount, LabelBlackTime};
    PanelLabel* middle[3] = {LabelTesu, LabelCount, LabelTimeMode};
    PanelLabel* right[3] = {LabelWhitePlayer, LabelWhiteCount, LabelWhiteTime};
    for (int i = 0; i < 3; ++i) {
        left[i]->setGeometry(8, tops[i], s, sideHeight);
        left[i]->SetRoom(roomInMarker(8, MarkerLeftBlack));
        middle[i]->setGeometry(s + 20, tops[i], middleWidth, middleHeight);
        right[i]->setGeometry(s + m + 24, tops[i], s, sideHeight);
        right[i]->SetRoom(roomInMarker(s + m + 24, MarkerLeftWhite));
    }
    BevelInfo->setGeometry(s + 16, 8, m, 121);
    LabelMsg->setGeometry(8, 16, 2 * s + m + 16, middleHeight);
}

void TFormMain::PlacePanelsAndWindow(const SizeLayout& layout) {
    const int panelWidth = 2 * layout.Side + layout.Middle + 32;
    const int boardExtent = 8 * layout.Cell + 2 * BoardMargin(layout);
    const int panelLeft = kBoardLeft + boardExtent + 11;
    PanelInfo->setGeometry(panelLeft, kPanelInfoTop, panelWidth, kPanelInfoHeight);
    PanelMsg->setGeometry(panelLeft, kPanelMsgTop, panelWidth, kPanelMsgHeight);

    const int clientWidth = panelLeft + panelWidth + 15;
    const int clientHeight = kBoardTop + boardExtent + 11;
    Client->setFixedSize(clientWidth, clientHeight);
    const int windowHeight = clientHeight + menuBar()->sizeHint().height();
    if (GameManager.Params.Sizeable) {
        setMinimumSize(clientWidth, windowHeight);
        resize(clientWidth, windowHeight);
    } else {
        setFixedSize(clientWidth, windowHeight);
    }
}

int TFormMain::LabelLineHeight() const {
    // The designed heights suit the Windows fonts; the texts here need their font's line height.
    // Middle labels reach to the frame around them, which their texts need at the small size.
    return static_cast<int>(std::ceil(QFontMetricsF(LabelMsg->font()).height()));
}

void TFormMain::UpdateInfo(int turn, const std::string& text) {
    if (turn == 1 || turn == -1) {
        ShapeCurPlayer->hide();
        markerColor_ = turn;
        ShapeCurPlayer->move(turn == 1 ? MarkerLeftBlack : MarkerLeftWhite, 8);
        ShapeCurPlayer->show();
    } else if (turn == 0) {
        ShapeCurPlayer->hide();
    }
    LabelMsg->setText(Q(text));

    OthelloLogic& logic = GameManager.Logic;
    if (logic.IsGameOver()) {
        LabelTesu->setText(QStringLiteral("終局"));
    } else {
        const int number = logic.CountStones(1) + logic.CountStones(-1) - 3;
        LabelTesu->setText(QString::number(number) + QStringLiteral("手目"));
    }

    const OthelloParams& params = GameManager.Params;
    const auto setName = [&](QLabel* label, int color) {
        const QString name =
            Q(GameManager.IsComputer(color) == 1 ? params.CpuName : params.PlayerName);
        if (label->text() != name) label->setText(name);
    };
    setName(LabelBlackPlayer, 1);
    setName(LabelWhitePlayer, -1);
    LabelBlackCount->setText(QString::number(logic.CountStones(1)));
    LabelWhiteCount->setText(QString::number(logic.CountStones(-1)));
    LabelTimeMode->setText(params.TimeControl() ? QStringLiteral("残り時間")
                                                : QStringLiteral("経過時間"));
    if (Analyst) Analyst->RefreshSoon();
}

void TFormMain::UpdateControls(int state, bool busy) {
    // A letter typed for a turn that has ended is forgotten.
    if (!GameManager.AwaitsHumanMove()) Board->SetTypedColumn(0);
    const bool takeBack = !busy && GameManager.CanTakeBack();
    ToolButtonTakeBack->setEnabled(takeBack);
    NTakeBack->setEnabled(takeBack);
    if (busy) {
        for (QToolButton* b : {ToolButtonToFirst, ToolButtonBackward, ToolButtonForward,
                               ToolButtonToLast, ToolButtonStart, ToolButtonStop}) {
            b->setEnabled(false);
        }
        NStart->setEnabled(false);
        NStop->setEnabled(false);
        return;
    }
    const bool playing = OthelloGameManager::IsPlayingState(state);
    ToolButtonStart->setEnabled(!playing);
    NStart->setEnabled(!playing);
    NSaveHistory->setEnabled(!playing);
    NLoadHistory->setEnabled(!playing);
    NInitBoard->setEnabled(!playing);
    ToolButtonStop->setEnabled(playing);
    NStop->setEnabled(playing);

    const OthelloMapHistory& history = GameManager.Logic.History;
    const bool browsable = OthelloGameManager::CanBrowseIn(state);
    const bool notFirst = history.CurrentStep != 0;
    const bool notLast = history.CurrentStep != history.StepCount;
    ToolButtonToFirst->setEnabled(browsable && notFirst);
    ToolButtonBackward->setEnabled(browsable && notFirst);
    ToolButtonToLast->setEnabled(browsable && notLast);
    ToolButtonForward->setEnabled(browsable && notLast);

    // Side, mode and allowances stay as they are while the clocks run.
    const bool onTheClock = state == OthelloGameManager::STATE_PLAY_TIME;
    ToolButtonConf->setEnabled(!onTheClock);
    NConf->setEnabled(!onTheClock);
    if (Analyst) Analyst->RefreshSoon();
}

void TFormMain::AppendDebug(const std::string& text) {
    MemoDebug->appendPlainText(Q(text));
}

void TFormMain::ToolButtonStartClick() {
    if (Animating()) return;
    switch (GameManager.GameState()) {
        case OthelloGameManager::STATE_INIT:
            GameManager.Start();
            break;
        case OthelloGameManager::STATE_STOP:
            if (!GameManager.Logic.IsGameOver()) {
                GameManager.Resume();
            } else if (ConfirmOkCancel(QStringLiteral("終局です。\n盤面を初期化しますか？"))) {
                NInitBoardClick();
            }
            break;
        default:
            break;
    }
}

void TFormMain::ToolButtonStopClick() {
    if (Animating()) return;
    if (!ConfirmOkCancel(QStringLiteral("対局を中止します。"))) return;
    GameManager.Stop();
    UpdateInfo(2, "対局を中止しました。");
}

void TFormMain::NNewGameClick() {
    if (Animating()) return;
    if (GameManager.IsPlaying() &&
        !ConfirmOkCancel(QStringLiteral("対局中です。\n新しい対局を始めますか？"))) {
        return;
    }
    GameManager.Start();
}

void TFormMain::NTakeBackClick() {
    GameManager.TakeBack();
}

bool TFormMain::TypeMoveText(const QString& text) {
    // Full-width letters and digits become their ASCII forms.
    const QString typed = text.normalized(QString::NormalizationForm_KC).toLower();
    if (typed.isEmpty()) return false;
    for (const QChar c : typed) {
        if (!GameManager.AwaitsHumanMove()) {
            Board->SetTypedColumn(0);
            return false;
        }
        if (c >= QLatin1Char('a') && c <= QLatin1Char('h')) {
            Board->SetTypedColumn(c.unicode() - 'a' + 1);
        } else if (c >= QLatin1Char('1') && c <= QLatin1Char('8') && Board->TypedColumn != 0) {
            const int x = Board->TypedColumn;
            Board->SetTypedColumn(0);
            Board->PressSquare(x, c.unicode() - '0');
        } else {
            return false;
        }
    }
    return true;
}

void TFormMain::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && Board->TypedColumn != 0) {
        Board->SetTypedColumn(0);
        return;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier) ||
        !TypeMoveText(event->text())) {
        QMainWindow::keyPressEvent(event);
    }
}

void TFormMain::NInitBoardClick() {
    GameManager.InitBoard();
    UpdateControls(OthelloGameManager::STATE_INIT, false);
    UpdateInfo(0, "盤面を初期化しました。");
}

void TFormMain::Navigate(const std::function<void()>& step) {
    // A step animates while window events run. A press meanwhile finishes that step at once and
    // is carried out after it, so that every press moves one step.
    pendingSteps_.push_back(step);
    if (!NavigationEnabled) {
        Board->FinishAnimation();
        return;
    }
    NavigationEnabled = false;
    while (!pendingSteps_.empty()) {
        const std::function<void()> next = pendingSteps_.front();
        pendingSteps_.pop_front();
        next();
    }
    NavigationEnabled = true;
}

bool TFormMain::Animating() const {
    return Board->IsAnimating();
}

void TFormMain::ToolButtonToFirstClick() {
    Navigate([this] { GameManager.HistoryFirst(); });
}
void TFormMain::ToolButtonBackwardClick() {
    Navigate([this] { GameManager.HistoryBack(); });
}
void TFormMain::ToolButtonForwardClick() {
    Navigate([this] { GameManager.HistoryForward(); });
}
void TFormMain::ToolButtonToLastClick() {
    Navigate([this] { GameManager.HistoryLast(); });
}

void TFormMain::PlaceBeside(QWidget* dialog) const {
    dialog->move(x() + 30, y() + 30);
}

void TFormMain::ToolButtonConfClick() {
    if (Animating()) return;
    FormConf->Params = &GameManager.Params;
    FormConf->GameRunning = GameManager.IsPlaying();
    PlaceBeside(FormConf);
    FormConf->exec();
    GameManager.ApplySettings();
    UpdateInfo(2, "");
}

void TFormMain::ToolButton10Click() {
    if (Animating()) return;
    FormEnvConf->Params = &GameManager.Params;
    PlaceBeside(FormEnvConf);
    FormEnvConf->exec();
    LayoutForBoardSize();
    UpdateInfo(2, "");
    GameManager.ApplySettings();
}

void TFormMain::NSaveHistoryClick() {
    if (Animating()) return;
    const QString file = ChooseSaveFile();
    if (file.isEmpty()) return;
    if (!GameManager.Logic.History.Save(file.toStdString())) {
        ShowError(QStringLiteral("棋譜を保存できません。\n\n") + file +
                  QStringLiteral("\nに書き込めませんでした。"));
        return;
    }
    recordFolder_ = QFileInfo(file).absolutePath();
}

void TFormMain::NLoadHistoryClick() {
    if (Animating()) return;
    const QString file = ChooseOpenFile();
    if (!file.isEmpty()) OpenRecordFile(file);
}

bool TFormMain::OpenRecordFile(const QString& file) {
    const auto report = [this](const std::string& text) { ShowError(Q(text)); };
    if (!GameManager.Logic.LoadRecord(file.toStdString(), report)) return false;
    recordFolder_ = QFileInfo(file).absolutePath();
    GameManager.ShowLoadedRecord();
    return true;
}

bool TFormMain::OpenRecordText(const std::string& text) {
    const auto report = [this](const std::string& message) { ShowError(Q(message)); };
    if (!GameManager.Logic.LoadRecordText(text, report)) return false;
    GameManager.ShowLoadedRecord();
    return true;
}

QString TFormMain::RecordFolder() const {
    if (!recordFolder_.isEmpty()) return recordFolder_;
    // A folder that does not exist would open its parent with the folder's name as the file's.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void TFormMain::N2Click() {
    if (Animating()) return;
    const std::string moves = GameManager.Logic.History.MoveString();
    AppendDebug(moves);
    FormHistory->HistoryText = moves;
    // A pasted game loads only when a record file could be loaded.
    FormHistory->Button2->setEnabled(NLoadHistory->isEnabled());
    PlaceBeside(FormHistory);
    FormHistory->exec();
}

void TFormMain::NEvalGraphClick() {
    FormEvalGraph->show();
    FormEvalGraph->raise();
    FormEvalGraph->activateWindow();
    Analyst->Refresh();
}

void TFormMain::NShowHintsClick() {
    GameManager.Params.ShowHints = NShowHints->isChecked();
    Analyst->Refresh();
}

void TFormMain::BrowseToStep(int step) {
    // As the browsing buttons allow it: not on the clock, not while a move is being applied.
    const bool allowed = GameManager.CanBrowse() &&
                         (ToolButtonToFirst->isEnabled() || ToolButtonToLast->isEnabled());
    if (!allowed || step == GameManager.Logic.History.CurrentStep) return;
    Navigate([this, step] { GameManager.HistoryToStep(step); });
}

void TFormMain::N19Click() {
    if (Animating()) return;
    AboutBox->exec();
}

void TFormMain::N10Click() {
    close();
}

void TFormMain::closeEvent(QCloseEvent* event) {
    // Closing in the middle of a search or a message box of the manager stops the turn: the
    // search is aborted, an open box is answered, and the turn sequence unwinds to the event
    // loop, which then ends because the window is gone. The settings are written here already.
    GameManager.Shutdown();
    seams_->CloseOpenMessageBox();
    event->accept();
}
