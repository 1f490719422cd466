#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "GameInterfaces.h"

class QLabel;
class QMessageBox;
class QWidget;
class OthelloBoard;

// The game manager's toolkit interfaces met by real widgets: the board view, the two clock
// labels, modal message boxes, the clock timer, the message pump, sounds and the tick counter.
class QtGameSeams : public GameHost, public GameBoardView {
public:
    QtGameSeams(QWidget* owner, OthelloBoard* board, QLabel* blackClock, QLabel* whiteClock);
    ~QtGameSeams() override;

    GameClockLabel* BlackClock() { return blackClock_.get(); }
    GameClockLabel* WhiteClock() { return whiteClock_.get(); }

    // Answers a message box of the manager that is still open (as No), so that a closing window
    // does not leave the turn sequence waiting inside it.
    void CloseOpenMessageBox();

    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void ProcessMessages() override;
    void PlaySoundResource(const std::string& name) override;
    std::uint32_t TickCount() override;
    std::unique_ptr<GameClockTimer> CreateClockTimer(std::function<void()> onTick) override;
    void ComputerThinking(bool thinking) override;

    void SetBoardColor(int color) override;
    void SetSoundEffect(bool on) override;
    void SetTurnSpeed(int speed) override;
    void SetOnPut(PutHandler onPut) override;
    void SetShowLastMove(bool on) override;
    void SetShowCoordinates(bool on) override;
    void SetLastMove(const PointData& square) override;
    void DrawBoard(const BoardArray& board) override;
    void AnimateMove(int colour, const PointData& placed,
                     const std::vector<PointData>& flips) override;
    void AnimateHistoryStep(bool put, int colour, const PointData& point,
                            const std::vector<PointData>& flips) override;

    // Told before the board view shows another board (nullptr for a history step), and when the
    // computer's search begins and ends.
    std::function<void(const BoardArray* next)> OnBoardChanging;
    std::function<void(bool thinking)> OnComputerThinking;

private:
    int RunBox(QMessageBox& box);

    QWidget* owner_;
    OthelloBoard* board_;
    std::unique_ptr<GameClockLabel> blackClock_;
    std::unique_ptr<GameClockLabel> whiteClock_;
    QPointer<QMessageBox> openBox_;
};
