#include "Othellogamemanager.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Out-of-range indices read from the settings file fall back to the nearest entry instead of
// reading past the list.
template <typename List>
int AllowanceAt(const List& list, int index) {
    const int last = static_cast<int>(list.size()) - 1;
    return list[static_cast<std::size_t>(std::clamp(index, 0, last))].Seconds;
}

}  // namespace

OthelloGameManager::OthelloGameManager() {
    Black.Color = kBlack;
    Black.Name = "BLACK";
    White.Color = kWhite;
    White.Name = "WHITE";
}

OthelloGameManager::~OthelloGameManager() {
    Shutdown();
    ClockTimer.reset();
}

void OthelloGameManager::Initialize(GameHost* ownerWindow, GameBoardView* boardView,
                                    GameClockLabel* blackClockLabel,
                                    GameClockLabel* whiteClockLabel, MessageCallback onMessage,
                                    StateCallback onStateChanged, DebugCallback onDebug) {
    Params.LoadFromFile();
    OwnerWindow = ownerWindow;
    BoardView = boardView;
    BlackClockLabel = blackClockLabel;
    WhiteClockLabel = whiteClockLabel;
    OnMessage = std::move(onMessage);
    OnStateChanged = std::move(onStateChanged);
    OnDebug = std::move(onDebug);

    ClockTimer = OwnerWindow->CreateClockTimer([this] { OnClockTimer(); });
    ClockTimer->SetEnabled(false);

    for (_PlayerData* side : {&Black, &White}) {
        side->CpuPlayer = std::make_unique<OthelloCpuPlayer>(side->Color);
        Morvane& engine = side->CpuPlayer->Engine;
        engine.onTrace = [this](const std::string& text) { Debug(text); };
        side->CpuPlayer->SetWindowPump([this] { ProcessMessages(); });
        engine.tickCount = [this] { return OwnerWindow->TickCount(); };
    }
    Black.IsCpu = Params.PlayerColor != kBlack;
    White.IsCpu = !Black.IsCpu;

    State = STATE_INIT;
    Logic.Init(kBlack);
    BoardView->SetBoardColor(Params.BoardColor);
    BoardView->SetOnPut(
        [this](int x, int y, int button, bool pressed) { OnBoardMouse(x, y, button, pressed); });
    ShowBoard();
    ApplySettings();
}

void OthelloGameManager::ApplySettings() {
    if (ShuttingDown) return;
    Black.IsCpu = Params.PlayerColor != kBlack;
    White.IsCpu = !Black.IsCpu;
    for (_PlayerData* side : {&Black, &White}) {
        side->Allowance = side->IsCpu ? AllowanceAt(kCpuTimeList, Params.CpuTime)
                                      : AllowanceAt(kPlayerTimeList, Params.PlayerTime);
    }
    const std::array<int, 3> basis{Params.TimeControl(), Black.Allowance, White.Allowance};
    if (basis != ClockBasis) ResetClocks();
    ClockBasis = basis;
    RedrawClockLabels();
    BoardView->SetSoundEffect(Params.SoundEffect);
    BoardView->SetTurnSpeed(Params.TurnSpeed);
    BoardView->SetShowLastMove(Params.ShowLastMove);
    BoardView->SetShowCoordinates(Params.ShowCoordinates);
}

void OthelloGameManager::InitBoard() {
    if (ShuttingDown) return;
    BusyScope busy(*this);
    BeginNewFlow();
    SetTimerEnabled(false);
    State = STATE_INIT;
    Logic.Init(kBlack);
    ShowBoard();
    ResetClocks();
    ApplySettings();
}

void OthelloGameManager::Start() {
    if (ShuttingDown) return;
    BusyScope busy(*this);
    BeginNewFlow();
    Logic.Init(kBlack);
    ShowBoard();
    Current = &Black;
    State = Params.TimeControl() ? STATE_PLAY_TIME : STATE_PLAY_AMOUNT;
    ResetClocks();
    RedrawClockLabels();
    StateChanged(false);
    // Only the computer's side is told that a game begins.
    for (_PlayerData* side : {&Black, &White}) {
        if (!side->IsCpu) continue;
        side->CpuPlayer->Color = side->Color;
        side->CpuPlayer->Engine.StartGame(side->Allowance * 1000);
        break;
    }
    DoTurn();
}

void OthelloGameManager::Resume() {
    if (ShuttingDown) return;
    BusyScope busy(*this);
    BeginNewFlow();
    Current = Logic.History.CurrentColor() == kBlack ? &Black : &White;
    State = Params.TimeControl() ? STATE_PLAY_TIME : STATE_PLAY_AMOUNT;
    // The window shows a game in play before the computer's search begins, as Start does.
    StateChanged(false);
    DoTurn();
}

void OthelloGameManager::Stop() {
    if (ShuttingDown) return;
    State = STATE_STOP;
    AwaitingHumanMove = false;
    SetTimerEnabled(false);
    StateChanged(false);
}

void OthelloGameManager::ShowLoadedRecord() {
    if (ShuttingDown) return;
    RefreshBoard();
    ResetClocks();
    RedrawClockLabels();
    // A finished game's record has no side to move: no turn marker.
    if (OnMessage) OnMessage(Logic.History.CurrentColor(), "棋譜データを読み込みました。");
    Stop();
}

void OthelloGameManager::BeginNewFlow() {
    ++FlowSerial;
    AwaitingHumanMove = false;
    // A search still on the stack belongs to the old flow; its move would be dropped anyway.
    if (ThinkingSide != nullptr) ThinkingSide->CpuPlayer->Engine.Abort();
}

void OthelloGameManager::DoTurn() {
    const std::uint32_t flow = FlowSerial;
    // The window's stop leaves the timer running: a tick inside the pump below would charge the
    // whole pause to this turn. The clock starts after the pump.
    SetTimerEnabled(false);
    ProcessMessages();
    if (!FlowGoesOn(flow) || Current == nullptr) return;

    TurnStartTick = OwnerWindow->TickCount();
    CountedMs = 0;
    ClockTimer->SetInterval(kClockInterval);
    SetTimerEnabled(true);

    if (!Current->IsCpu) {
        AwaitingHumanMove = true;
        if (Params.ShowLegalMoves) ShowBoard();
        ReportMessage(TurnMessage(), 0);
        Debug(Current->Name + "'s turn");
        StateChanged(false);
        return;
    }
    AwaitingHumanMove = false;
    ReportMessage(TurnMessage(), 0);
    ProcessMessages();
    if (!FlowGoesOn(flow)) return;
    PlayComputerMove(flow);
}

void OthelloGameManager::PlayComputerMove(std::uint32_t flow) {
    _PlayerData& side = *Current;
    if (ThinkingSide != nullptr) {
        // This turn began inside the pump of a search that is still running; the engine cannot
        // take a second search, so the old one is abandoned and this turn begins once it is off
        // the stack.
        ThinkingSide->CpuPlayer->Engine.Abort();
        RestartTurn = true;
        return;
    }
    if (!Logic.HasLegalMove(side.Color)) {
        // Only a resumed finished game gets here; the engine has no pass result to give.
        Debug("no place to put for " + side.Name);
        Stop();
        return;
    }

    OthelloCpuPlayer& player = *side.CpuPlayer;
    player.Logic->CopyFrom(Logic.Board);
    const int seconds = ThinkingSeconds();
    ThinkingSide = &side;
    SearchedBoard = Logic.Board;
    OwnerWindow->ComputerThinking(true);
    const PointData move = player.Think(Params.CpuMode, Params.CpuLevel, seconds);
    ThinkingSide = nullptr;
    OwnerWindow->ComputerThinking(false);

    if (ShuttingDown) return;
    if (RestartTurn) {
        RestartTurn = false;
        Debug("discarded computer move: turn restarted");
        DoTurn();
        return;
    }
    if (!IsPlaying()) {
        Debug("discarded computer move: game stopped");
        return;
    }
    if (flow != FlowSerial || Current != &side || Logic.Board != SearchedBoard) {
        Debug("discarded computer move: position changed");
        return;
    }
    if (!Logic.CanPut(side.Color, move.x, move.y)) {
        Debug("discarded computer move: illegal square");
        Stop();
        return;
    }

    SetTimerEnabled(false);
    PlayMove(side.Color, move.x, move.y);
    if (!FlowGoesOn(flow)) return;
    StateChanged(false);
    AfterMove();
}

void OthelloGameManager::PlayMove(int color, int x, int y) {
    const BoardArray before = Logic.Board;
    Logic.PutStone(color, x, y);
    int colour = kEmpty;
    PointData placed;
    std::vector<PointData> flips;
    OthelloLogic::DiffBoards(before, Logic.Board, colour, placed, flips);
    BoardView->SetLastMove(placed);
    BoardView->AnimateMove(colour, placed, flips);
}

void OthelloGameManager::AfterMove() {
    const std::uint32_t flow = FlowSerial;
    Current = &Other(*Current);
    ProcessMessages();
    if (ShuttingDown || flow != FlowSerial) return;
    RefreshBoard();
    if (!IsPlaying()) return;

    if (!Logic.HasLegalMove(Current->Color)) {
        Debug("no place to put for " + Current->Name);
        const bool passingIsCpu = Current->IsCpu;
        Current = &Other(*Current);
        if (!Logic.HasLegalMove(Current->Color)) {
            Debug("game over");
            ReportMessage("対局終了です。", 0);
            const std::string result = ResultText();
            Stop();
            OwnerWindow->ShowMessage(result, "対局終了");
            // The result stays in view; nobody is to move any more.
            if (!ShuttingDown && OnMessage) OnMessage(0, result);
            return;
        }
        const std::string text =
            (passingIsCpu ? Params.CpuName : Params.PlayerName) + "はパスです。";
        ReportMessage(text, 0);
        if (!Params.TimeControl() && !Params.AutoPass) {
            OwnerWindow->ShowMessage(text, "パスの確認");
        }
    }
    DoTurn();
}

std::string OthelloGameManager::ResultText() const {
    const int humanColor = Black.IsCpu ? kWhite : kBlack;
    const int h = Logic.CountStones(humanColor);
    const int c = Logic.CountStones(-humanColor);
    if (h == c) return std::to_string(h) + "対" + std::to_string(c) + "で引き分けです。";
    if (h > c) return std::to_string(h - c) + "枚差で" + Params.PlayerName + "の勝ちです。";
    return std::to_string(c - h) + "枚差で" + Params.PlayerName + "の負けです。";
}

int OthelloGameManager::ThinkingSeconds() const {
    if (CpuTimeOver && Params.TimeControl()) return std::max(1, Current->Allowance / 60);
    return Current->Remaining;
}

void OthelloGameManager::OnBoardMouse(int x, int y, int button, bool pressed) {
    if (ShuttingDown) return;
    BusyScope busy(*this);
    if (!IsPlaying() || Current == nullptr || Current->IsCpu || !AwaitingHumanMove) return;
    if (button == 1) {
        // The side to move, not Logic.Turn: a loaded record leaves Turn as it was.
        BoardView->DrawBoard(pressed ? Logic.GetMarkedBoard(Current->Color) : ShownBoard());
        return;
    }
    if (pressed) TryPut(x, y);
}

void OthelloGameManager::TryPut(int x, int y) {
    if (ShuttingDown) return;
    BusyScope busy(*this);
    if (!IsPlaying() || Current == nullptr) return;
    if (Current->IsCpu) {
        Debug("not human player's turn");
        return;
    }
    // The human's own move is still being applied or animated.
    if (!AwaitingHumanMove) return;
    if (!Logic.CanPut(Current->Color, x, y)) {
        Debug("can't put here");
        if (Params.SoundEffect) OwnerWindow->PlaySoundResource("NOPUT");
        return;
    }
    const std::uint32_t flow = FlowSerial;
    SetTimerEnabled(false);
    Debug("can put here");
    AwaitingHumanMove = false;
    StateChanged(true);
    PlayMove(Current->Color, x, y);
    if (!FlowGoesOn(flow)) return;
    AfterMove();
}

void OthelloGameManager::HistoryFirst() {
    HistoryToStep(0);
}

void OthelloGameManager::HistoryLast() {
    HistoryToStep(Logic.History.StepCount);
}

void OthelloGameManager::HistoryToStep(int step) {
    if (ShuttingDown) return;
    BusyScope busy(*this);
    AwaitingHumanMove = false;
    Logic.ToStep(step);
    ShowBoard();
    ReportMessage("対局を中断しています。", Logic.History.CurrentColor());
    Stop();
}

void OthelloGameManager::HistoryForward() {
    HistoryStep(true);
}

void OthelloGameManager::HistoryBack() {
    HistoryStep(false);
}

void OthelloGameManager::HistoryStep(bool forward) {
    if (ShuttingDown) return;
    BusyScope busy(*this);
    // The game stops only once the step is shown: a click on the board while it animates must
    // not be taken as the move of the position no longer shown.
    AwaitingHumanMove = false;
    int color = kEmpty;
    PointData placed;
    std::vector<PointData> changed;
    if (forward ? Logic.StepForward(color, placed, changed)
                : Logic.StepBack(color, placed, changed)) {
        BoardView->SetLastMove(LastMovePlayed());
        BoardView->AnimateHistoryStep(forward, color, placed, changed);
        ReportMessage("対局を中断しています。", Logic.History.CurrentColor());
    }
    Stop();
}

void OthelloGameManager::RefreshBoard() {
    if (ShuttingDown) return;
    BoardView->SetBoardColor(Params.BoardColor);
    ShowBoard();
}

void OthelloGameManager::ShowBoard() {
    BoardView->SetLastMove(LastMovePlayed());
    BoardView->DrawBoard(ShownBoard());
}

const BoardArray& OthelloGameManager::ShownBoard() {
    if (Params.ShowLegalMoves && AwaitsHumanMove()) return Logic.GetMarkedBoard(Current->Color);
    return Logic.Board;
}

PointData OthelloGameManager::LastMovePlayed() const {
    const OthelloMapHistory& history = Logic.History;
    if (history.CurrentStep <= 0) return {};
    const MoveData& move = history.Moves[static_cast<std::size_t>(history.CurrentStep - 1)];
    return {move.x, move.y};
}

int OthelloGameManager::TakeBackStep() const {
    const OthelloMapHistory& history = Logic.History;
    const bool over =
        State == STATE_STOP && history.CurrentStep == history.StepCount && Logic.IsGameOver();
    if (!AwaitsHumanMove() && !over) return -1;
    const int human = Black.IsCpu ? kWhite : kBlack;
    for (int step = history.CurrentStep - 1; step >= 0; --step) {
        if (history.Moves[static_cast<std::size_t>(step)].color == human) return step;
    }
    return -1;
}

bool OthelloGameManager::TakeBack() {
    if (ShuttingDown) return false;
    BusyScope busy(*this);
    const int step = TakeBackStep();
    if (step < 0) return false;
    const bool humanTurn = AwaitsHumanMove();
    Debug("take back to step " + std::to_string(step));
    OthelloMapHistory& history = Logic.History;
    history.CurrentStep = history.StepCount = step;
    Logic.CopyFrom(history.Boards[static_cast<std::size_t>(step)]);
    _PlayerData& human = Black.IsCpu ? White : Black;
    Logic.Turn = human.Color;
    Current = &human;
    if (humanTurn) {
        // The human's turn goes on, and its clock with it.
        ShowBoard();
        ReportMessage(TurnMessage(), 0);
        StateChanged(false);
        return true;
    }
    // The game was over: it runs again from the human's turn.
    BeginNewFlow();
    State = Params.TimeControl() ? STATE_PLAY_TIME : STATE_PLAY_AMOUNT;
    ShowBoard();
    StateChanged(false);
    DoTurn();
    return true;
}

std::int8_t OthelloGameManager::IsComputer(int color) const {
    if (color == kBlack) return Black.IsCpu ? 1 : 0;
    if (color == kWhite) return White.IsCpu ? 1 : 0;
    return -1;
}

void OthelloGameManager::ReportMessage(const std::string& text, int color) {
    if (ShuttingDown || !OnMessage) return;
    if (color == 0 && Current != nullptr) color = Current->Color;
    OnMessage(color, text);
}

std::string OthelloGameManager::FormatClock(int seconds, bool unlimited) {
    if (unlimited) return "無制限";
    const long long a = std::llabs(static_cast<long long>(seconds));
    const long long hours = a / 3600;
    const int minutes = static_cast<int>((a - hours * 3600) / 60);
    const int secs = static_cast<int>(a - hours * 3600 - minutes * 60);
    char text[32];
    if (seconds < 0) {
        std::snprintf(text, sizeof text, "-%02d:%02d", minutes, secs);
    } else {
        std::snprintf(text, sizeof text, "%02d:%02d", minutes, secs);
    }
    return text;
}

void OthelloGameManager::OnClockTimer() {
    // A tick that arrives while the time-out question is open must not ask it a second time.
    if (ShuttingDown || InTimeOver || !IsPlaying() || Current == nullptr) return;
    BusyScope busy(*this);
    std::uint32_t d = OwnerWindow->TickCount() - TurnStartTick - CountedMs;
    int font = Current->Color == kBlack ? kLabelBlack : kLabelWhite;
    if (d < 1000) return;
    GameClockLabel* label = Current->Color == kBlack ? BlackClockLabel : WhiteClockLabel;
    do {
        int shown = 0;
        if (Params.TimeControl()) {
            if (Current->Allowance == 0) return;  // an unlimited clock never runs
            --Current->Remaining;
            if (Current->Remaining <= 0) font = kLabelRed;
            shown = Current->Remaining;
        } else {
            ++Current->Elapsed;
            shown = Current->Elapsed;
        }
        label->SetFontColor(font);
        label->SetText(FormatClock(shown, false));
        if (Params.TimeControl() && Current->Remaining <= 0 && !TimeOverAccepted) {
            // Nothing more is due: the game ended, or the turn counts afresh from the reply.
            RunTimeOver();
            return;
        }
        CountedMs += 1000;
        d -= 1000;
    } while (d >= 1000);
}

void OthelloGameManager::RunTimeOver() {
    SetTimerEnabled(false);
    Debug("time over");
    std::string text =
        "時間切れで" + (Current->IsCpu ? Params.CpuName : Params.PlayerName) + "の負けです。";
    ReportMessage(text, 0);
    text += "\n";
    text += "対局を続けますか？";
    InTimeOver = true;
    const bool goOn = OwnerWindow->AskYesNo(text, "時間切れ");
    InTimeOver = false;
    if (ShuttingDown) return;
    if (!goOn) {
        Stop();
        return;
    }
    if (Current->IsCpu) CpuTimeOver = true;
    TimeOverAccepted = true;
    ReportMessage(TurnMessage(), 0);
    // The clock stood still while the question was open: the turn counts afresh from the reply.
    TurnStartTick = OwnerWindow->TickCount();
    CountedMs = 0;
    SetTimerEnabled(true);
}

std::string OthelloGameManager::TurnMessage() const {
    return Current->IsCpu ? Params.CpuName + "が思考中です。" : Params.PlayerName + "の番です。";
}

void OthelloGameManager::ResetClocks() {
    for (_PlayerData* side : {&Black, &White}) {
        side->Remaining = side->Allowance;
        side->Elapsed = 0;
    }
    TimeOverAccepted = false;
    CpuTimeOver = false;
}

void OthelloGameManager::RedrawClockLabels() {
    const bool timed = Params.TimeControl();
    for (const _PlayerData* side : {&Black, &White}) {
        GameClockLabel* label = side->Color == kBlack ? BlackClockLabel : WhiteClockLabel;
        const bool unlimited = timed && side->Allowance == 0;
        const bool out = timed && !unlimited && side->Remaining <= 0;
        label->SetFontColor(out ? kLabelRed : side->Color == kBlack ? kLabelBlack : kLabelWhite);
        label->SetText(FormatClock(timed ? side->Remaining : side->Elapsed, unlimited));
    }
}

bool OthelloGameManager::Shutdown() {
    if (!ShuttingDown) {
        ShuttingDown = true;
        AwaitingHumanMove = false;
        for (_PlayerData* side : {&Black, &White}) {
            if (side->CpuPlayer) side->CpuPlayer->Engine.Abort();
        }
        if (ClockTimer) ClockTimer->SetEnabled(false);
        Params.SaveToFile();
    }
    return !IsBusy();
}

void OthelloGameManager::SetTimerEnabled(bool enabled) {
    if (ClockTimer && !ShuttingDown) ClockTimer->SetEnabled(enabled);
}

void OthelloGameManager::ProcessMessages() {
    if (!ShuttingDown && OwnerWindow != nullptr) OwnerWindow->ProcessMessages();
}

void OthelloGameManager::Debug(const std::string& text) {
    if (!ShuttingDown && OnDebug) OnDebug(text);
}

void OthelloGameManager::StateChanged(bool busy) {
    if (!ShuttingDown && OnStateChanged) OnStateChanged(State, busy);
}
