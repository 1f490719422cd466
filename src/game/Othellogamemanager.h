#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "GameInterfaces.h"
#include "Othellocpuplayer.h"
#include "Othellologic.h"
#include "Othelloparams.h"

// Runs a game between one human and the computer: whose turn it is, the computer's search, the
// human's clicks, passes, the end of the game and its result, history browsing and both clocks.
// Everything runs on the window thread; the toolkit is reached only through the interfaces of
// GameInterfaces.h and the three callbacks, so the whole game runs without a display.
//
// Re-entrancy: the message pump runs inside the computer's search, the animations and the message
// boxes, so any entry point can be called while another is still on the stack. Only the manager
// changes its state; the window stops, browses and loads through its operations. Closing: call
// Shutdown() from the close event; while IsBusy() is still true a turn sequence is unwinding
// further up the stack and the object must not be destroyed yet (retry the close once the event
// loop is reached again).
class OthelloGameManager {
public:
    // The values are those the state callback reports.
    static constexpr std::uint8_t STATE_INIT = 1;         // no game yet, or the board initialised
    static constexpr std::uint8_t STATE_PLAY_TIME = 2;    // playing on the clock
    static constexpr std::uint8_t STATE_PLAY_AMOUNT = 4;  // playing by the level's amount
    static constexpr std::uint8_t STATE_STOP = 8;         // stopped, over, browsed or loaded

    static constexpr bool IsPlayingState(int state) {
        return (state & (STATE_PLAY_TIME | STATE_PLAY_AMOUNT)) != 0;
    }
    // The history may be browsed: a game without a clock, or none running.
    static constexpr bool CanBrowseIn(int state) {
        return state == STATE_PLAY_AMOUNT || state == STATE_STOP;
    }

    static constexpr int kClockInterval = 50;  // ms between two clock ticks
    static constexpr int kLabelBlack = 0x000000;
    static constexpr int kLabelWhite = 0xFFFFFF;
    static constexpr int kLabelRed = 0x0000FF;

    struct _PlayerData {
        int Allowance = 0;  // seconds, 0 unlimited
        int Remaining = 0;  // count-down clock, may go negative after a continued time-out
        int Elapsed = 0;    // count-up clock
        int Color = 0;
        std::string Name;  // "BLACK" or "WHITE", for debug lines
        bool IsCpu = false;
        std::unique_ptr<OthelloCpuPlayer> CpuPlayer;
    };

    using MessageCallback = std::function<void(int color, const std::string& text)>;
    using StateCallback = std::function<void(int state, bool busy)>;
    using DebugCallback = std::function<void(const std::string& text)>;

    OthelloGameManager();
    // Stops the clock and writes the settings file, unless Shutdown already did.
    ~OthelloGameManager();
    OthelloGameManager(const OthelloGameManager&) = delete;
    OthelloGameManager& operator=(const OthelloGameManager&) = delete;

    // Reads the settings file (Params.FileName), stores the seams, creates the clock timer and both
    // computer players, sets up and draws the initial board. The pointers must outlive the manager.
    void Initialize(GameHost* ownerWindow, GameBoardView* boardView,
                    GameClockLabel* blackClockLabel, GameClockLabel* whiteClockLabel,
                    MessageCallback onMessage, StateCallback onStateChanged, DebugCallback onDebug);
    void ApplySettings();
    void InitBoard();
    void Start();
    // Continues from the history step shown; clocks and time-out flags stay as they are.
    void Resume();
    void Stop();
    // After a record was loaded into Logic: shows it, stopped, with fresh clocks (a record holds
    // no times).
    void ShowLoadedRecord();

    std::uint8_t GameState() const { return State; }
    bool IsPlaying() const { return IsPlayingState(State); }
    bool CanBrowse() const { return CanBrowseIn(State); }

    void OnBoardMouse(int x, int y, int button, bool pressed);
    void TryPut(int x, int y);
    // Whether a square chosen now would be taken as the human's move.
    bool AwaitsHumanMove() const {
        return !ShuttingDown && IsPlaying() && AwaitingHumanMove && Current != nullptr &&
               !Current->IsCpu;
    }

    // On the human's turn, or once the game is over: takes back the human's last move with
    // everything played after it (the computer's reply, passes), so that the human is to move
    // again in a running game. The record loses those moves; the clocks keep the time used.
    // False, and nothing changes, when there is no such move.
    bool TakeBack();
    bool CanTakeBack() const { return TakeBackStep() >= 0; }

    void HistoryFirst();
    void HistoryLast();
    void HistoryForward();
    void HistoryBack();
    // Shows any step of the history at once, without animation.
    void HistoryToStep(int step);

    void RefreshBoard();
    // 1 or 0 for the colours 1 and -1, -1 for anything else.
    std::int8_t IsComputer(int color) const;
    void ReportMessage(const std::string& text, int color);
    static std::string FormatClock(int seconds, bool unlimited);
    void OnClockTimer();

    // For the window's close event, also while a search or a box of the manager is open: aborts
    // the search, stops the clock and writes the settings file (once, whatever calls follow).
    // Afterwards the pending turn sequence unwinds without playing, drawing or reporting anything
    // and every entry point does nothing. Returns whether the manager may be destroyed now.
    bool Shutdown();
    // Whether an entry point of this manager is still on the call stack.
    bool IsBusy() const { return BusyDepth > 0; }

    GameBoardView* BoardView = nullptr;
    OthelloLogic Logic;
    OthelloParams Params;
    _PlayerData* Current = nullptr;
    _PlayerData Black;
    _PlayerData White;
    GameHost* OwnerWindow = nullptr;
    bool TimeOverAccepted = false;
    bool CpuTimeOver = false;
    std::unique_ptr<GameClockTimer> ClockTimer;
    std::uint32_t TurnStartTick = 0;
    std::uint32_t CountedMs = 0;
    GameClockLabel* BlackClockLabel = nullptr;
    GameClockLabel* WhiteClockLabel = nullptr;
    MessageCallback OnMessage;
    StateCallback OnStateChanged;
    DebugCallback OnDebug;

private:
    // One animated step through the history, forward or back.
    void HistoryStep(bool forward);
    // Counts the entry points on the call stack for IsBusy.
    class BusyScope {
    public:
        explicit BusyScope(OthelloGameManager& owner) : Owner(owner) { ++Owner.BusyDepth; }
        ~BusyScope() { --Owner.BusyDepth; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        OthelloGameManager& Owner;
    };

    // The history step to go back to, or -1.
    int TakeBackStep() const;
    // Logic's board as the view should show it: with the legal squares marked on the human's
    // turn when ShowLegalMoves is set; the last move marked.
    void ShowBoard();
    const BoardArray& ShownBoard();
    PointData LastMovePlayed() const;

    void DoTurn();
    void AfterMove();
    void PlayComputerMove(std::uint32_t flow);
    // Plays a tested move on Logic and has the view animate it.
    void PlayMove(int color, int x, int y);
    // Start, Resume and InitBoard begin a new game flow: a turn sequence of an older flow that is
    // still on the stack (below a pump) ends at its next check instead of running on.
    void BeginNewFlow();
    bool FlowGoesOn(std::uint32_t flow) const {
        return !ShuttingDown && flow == FlowSerial && IsPlaying();
    }
    _PlayerData& Other(const _PlayerData& side) { return &side == &Black ? White : Black; }
    int ThinkingSeconds() const;
    std::string ResultText() const;
    void RunTimeOver();
    // Both clocks to their allowances (a game or record without times), time-outs forgotten.
    void ResetClocks();
    // The labels from the clocks, which are what a resumed game counts from.
    void RedrawClockLabels();
    std::string TurnMessage() const;
    void SetTimerEnabled(bool enabled);
    void ProcessMessages();
    void Debug(const std::string& text);
    void StateChanged(bool busy);

    std::uint8_t State = STATE_INIT;
    int BusyDepth = 0;
    bool ShuttingDown = false;
    // Open from the start of a human turn until its move is accepted: clicks outside it (the
    // animation of the human's own move in particular) are ignored.
    bool AwaitingHumanMove = false;
    bool InTimeOver = false;
    // Mode and allowances (black, white) the clocks count for; a change resets them.
    std::array<int, 3> ClockBasis{-1, -1, -1};
    std::uint32_t FlowSerial = 0;
    // The computer turn whose search is on the stack, the board it searches, and whether a newer
    // turn asked for it to be abandoned and the turn to be begun afresh once it has returned (the
    // engine is not re-entrant, so a second search never starts inside the first).
    _PlayerData* ThinkingSide = nullptr;
    BoardArray SearchedBoard{};
    bool RestartTurn = false;
};
