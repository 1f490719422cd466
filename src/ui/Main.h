#pragma once

#include <QMainWindow>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "Othellogamemanager.h"
#include "SettingsPath.h"

class QAction;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QToolButton;
class OthelloBoard;
class PanelLabel;
class TAboutBox;
class TFormConf;
class TFormEnvConf;
class TFormHistory;
class TFormEvalGraph;
class MoveAnalyst;
class QtGameSeams;

// The game's only main window: information and message panels, tool bar, menus and the debug
// pane around the board view. It turns commands into calls on the game manager it owns and shows
// what the manager reports through UpdateInfo, UpdateControls and AppendDebug.
class TFormMain : public QMainWindow {
    Q_OBJECT

public:
    // One row of the layout table of the board sizes: cell, label font, side and middle columns.
    struct SizeLayout {
        int Cell;
        int FontPoints;
        bool Bold;
        int Side;
        int Middle;
    };

    // settingsFile is read at start-up and written at shut-down.
    explicit TFormMain(QWidget* parent = nullptr,
                       const std::string& settingsFile = kSettingsFileName);
    ~TFormMain() override;

    void LayoutForBoardSize();
    void UpdateInfo(int turn, const std::string& text);
    void UpdateControls(int state, bool busy);
    void AppendDebug(const std::string& text);

    void ToolButtonStartClick();
    void ToolButtonStopClick();
    void NInitBoardClick();
    void ToolButtonToFirstClick();
    void ToolButtonBackwardClick();
    void ToolButtonForwardClick();
    void ToolButtonToLastClick();
    void ToolButtonConfClick();
    void ToolButton10Click();
    void NSaveHistoryClick();
    void NLoadHistoryClick();
    // What the load command does with the chosen file; also for a record named at start-up.
    bool OpenRecordFile(const QString& file);
    // The same for a game pasted into the record window.
    bool OpenRecordText(const std::string& text);
    // Where the record dialogs open: the last record's folder of this run, else the documents
    // folder where there is one, else the home folder.
    QString RecordFolder() const;
    void N2Click();
    // 評価グラフ: opens the graph window, which fills itself in the background.
    void NEvalGraphClick();
    // ヒントを表示: ShowHints on or off.
    void NShowHintsClick();
    // Browses to a step when browsing is allowed (a click on the graph).
    void BrowseToStep(int step);
    void N19Click();
    void N10Click();
    // A new game with the current settings at once; during a game only after OK.
    void NNewGameClick();
    void NTakeBackClick();
    // Square names typed on the human's turn: a letter a-h (full-width forms too) shows its
    // column, then a digit 1-8 plays the square as a click on it does. False for text that is no
    // part of a square name, or when no move is awaited.
    bool TypeMoveText(const QString& text);

    // Seams that tests replace: the OK/Cancel confirmation (true for OK; Cancel is the default
    // button), the two file dialogs (an empty string for Cancel) and the error box.
    std::function<bool(const QString& text)> ConfirmOkCancel;
    std::function<QString()> ChooseSaveFile;
    std::function<QString()> ChooseOpenFile;
    std::function<void(const QString& text)> ShowError;

    OthelloGameManager GameManager;
    OthelloBoard* Board = nullptr;
    bool NavigationEnabled = false;
    int MarkerLeftBlack = 5;
    int MarkerLeftWhite = 0;

    QToolButton* ToolButtonStart = nullptr;
    QToolButton* ToolButtonStop = nullptr;
    QToolButton* ToolButtonToFirst = nullptr;
    QToolButton* ToolButtonBackward = nullptr;
    QToolButton* ToolButtonForward = nullptr;
    QToolButton* ToolButtonToLast = nullptr;
    QToolButton* ToolButtonConf = nullptr;
    QToolButton* ToolButton10 = nullptr;
    QToolButton* ToolButtonTakeBack = nullptr;
    QAction* NConf = nullptr;
    QAction* NStart = nullptr;
    QAction* NStop = nullptr;
    QAction* NInitBoard = nullptr;
    QAction* NNewGame = nullptr;
    QAction* NTakeBack = nullptr;
    QAction* N10 = nullptr;
    QAction* NSaveHistory = nullptr;
    QAction* NLoadHistory = nullptr;
    QAction* N2 = nullptr;
    QAction* NEvalGraph = nullptr;
    QAction* NShowHints = nullptr;
    QAction* N15 = nullptr;
    QAction* N19 = nullptr;

    QWidget* Client = nullptr;
    QFrame* PanelInfo = nullptr;
    QFrame* BevelInfo = nullptr;
    QFrame* PanelMsg = nullptr;
    PanelLabel* LabelBlackPlayer = nullptr;
    PanelLabel* LabelBlackCount = nullptr;
    PanelLabel* LabelBlackTime = nullptr;
    PanelLabel* LabelWhitePlayer = nullptr;
    PanelLabel* LabelWhiteCount = nullptr;
    PanelLabel* LabelWhiteTime = nullptr;
    PanelLabel* LabelTesu = nullptr;
    PanelLabel* LabelCount = nullptr;
    PanelLabel* LabelTimeMode = nullptr;
    PanelLabel* LabelMsg = nullptr;
    QWidget* ShapeCurPlayer = nullptr;  // a rounded outline beside the side to move
    QPlainTextEdit* MemoDebug = nullptr;

    TFormConf* FormConf = nullptr;
    TFormEnvConf* FormEnvConf = nullptr;
    TAboutBox* AboutBox = nullptr;
    TFormHistory* FormHistory = nullptr;
    TFormEvalGraph* FormEvalGraph = nullptr;
    std::unique_ptr<MoveAnalyst> Analyst;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Keys the focused control leaves alone reach the window: typed square names and Escape.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The parts of the window, in the order the constructor makes them.
    void CreatePrompts();
    void CreateMenus();
    void CreateToolBar();
    void CreatePanels();
    void CreateBoardAndGame(const std::string& settingsFile);
    void CreateDialogs();
    void ShowStartUp();
    // The steps of LayoutForBoardSize.
    void SetPanelFonts(const SizeLayout& layout);
    void PlaceTurnMarker(const SizeLayout& layout);
    void PlacePanelLabels(const SizeLayout& layout);
    void PlacePanelsAndWindow(const SizeLayout& layout);
    int LabelLineHeight() const;
    void Navigate(const std::function<void()>& step);
    void CreateAnalysis();
    // While a move or a history step animates no command opens a dialog.
    bool Animating() const;
    void PlaceBeside(QWidget* dialog) const;

    std::unique_ptr<QtGameSeams> seams_;
    int markerColor_ = 1;   // the side the turn marker was last put beside
    QString recordFolder_;  // folder of the last record loaded or saved
    std::deque<std::function<void()>> pendingSteps_;  // browsing presses not yet done
};
