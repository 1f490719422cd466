#include "QtGameSeams.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include "Othelloboard.h"
#include "Sound.h"
#include "TickCounter.h"

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

class QtClockLabel : public GameClockLabel {
public:
    explicit QtClockLabel(QLabel* label) : label_(label) {}
    void SetText(const std::string& text) override { label_->setText(Q(text)); }
    void SetFontColor(int color) override {
        QPalette palette = label_->palette();
        palette.setColor(QPalette::WindowText,
                         QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
        label_->setPalette(palette);
    }

private:
    QLabel* label_;
};

class QtClockTimer : public GameClockTimer {
public:
    explicit QtClockTimer(std::function<void()> onTick) {
        QObject::connect(&timer_, &QTimer::timeout, [handler = std::move(onTick)] { handler(); });
    }
    void SetInterval(int ms) override { timer_.setInterval(ms); }
    void SetEnabled(bool enabled) override {
        if (enabled) {
            timer_.start();
        } else {
            timer_.stop();
        }
    }

private:
    QTimer timer_;
};

}  // namespace

QtGameSeams::QtGameSeams(QWidget* owner, OthelloBoard* board, QLabel* blackClock,
                         QLabel* whiteClock)
    : owner_(owner),
      board_(board),
      blackClock_(std::make_unique<QtClockLabel>(blackClock)),
      whiteClock_(std::make_unique<QtClockLabel>(whiteClock)) {}

QtGameSeams::~QtGameSeams() = default;

int QtGameSeams::RunBox(QMessageBox& box) {
    openBox_ = &box;
    const int answer = box.exec();
    openBox_ = nullptr;
    return answer;
}

void QtGameSeams::CloseOpenMessageBox() {
    if (openBox_) openBox_->done(QMessageBox::No);
}

void QtGameSeams::ShowMessage(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Information, Q(caption), Q(text), QMessageBox::Ok, owner_);
    RunBox(box);
}

bool QtGameSeams::AskYesNo(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, Q(caption), Q(text), QMessageBox::Yes | QMessageBox::No,
                    owner_);
    box.setDefaultButton(QMessageBox::No);
    // Over the board, not over the clocks the question is about.
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    QRect place = box.frameGeometry();
    place.moveCenter(board_->mapToGlobal(board_->rect().center()));
    box.move(place.topLeft());
    return RunBox(box) == QMessageBox::Yes;
}

void QtGameSeams::ProcessMessages() {
    QApplication::processEvents();
}

void QtGameSeams::PlaySoundResource(const std::string& name) {
    ::PlaySoundResource(name);
}

std::uint32_t QtGameSeams::TickCount() {
    return SystemTickCount();
}

std::unique_ptr<GameClockTimer> QtGameSeams::CreateClockTimer(std::function<void()> onTick) {
    return std::make_unique<QtClockTimer>(std::move(onTick));
}

void QtGameSeams::ComputerThinking(bool thinking) {
    if (OnComputerThinking) OnComputerThinking(thinking);
}

void QtGameSeams::SetBoardColor(int color) {
    board_->BoardColor = color;
}
void QtGameSeams::SetSoundEffect(bool on) {
    board_->SoundEffect = on;
}
void QtGameSeams::SetTurnSpeed(int speed) {
    board_->TurnSpeed = speed;
}
void QtGameSeams::SetOnPut(PutHandler onPut) {
    board_->OnPut = std::move(onPut);
}
void QtGameSeams::SetShowLastMove(bool on) {
    board_->SetShowLastMove(on);
}
void QtGameSeams::SetShowCoordinates(bool on) {
    board_->SetShowCoordinates(on);
}
void QtGameSeams::SetLastMove(const PointData& square) {
    board_->SetLastMove(square);
}
void QtGameSeams::DrawBoard(const BoardArray& board) {
    if (OnBoardChanging) OnBoardChanging(&board);
    board_->DrawBoard(board.data());
}
void QtGameSeams::AnimateMove(int colour, const PointData& placed,
                              const std::vector<PointData>& flips) {
    if (OnBoardChanging) OnBoardChanging(nullptr);
    board_->AnimateMove(colour, placed, flips);
}
void QtGameSeams::AnimateHistoryStep(bool put, int colour, const PointData& point,
                                     const std::vector<PointData>& flips) {
    if (OnBoardChanging) OnBoardChanging(nullptr);
    board_->AnimateHistoryStep(put, colour, point, flips);
}
