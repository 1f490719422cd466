#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "PointData.h"

class QPainter;

// A short text drawn on one square over whatever the field shows there.
struct BoardHint {
    int x = 0;  // 1..8
    int y = 0;
    QString text;
    bool emphasised = false;  // drawn so that it stands out from the others
};

// The board control: draws what it is given into a back buffer (the 8 x 8 field) over a stretched
// background picture, animates moves and history steps with their sounds, and turns mouse presses
// and releases on squares into OnPut calls. It knows no rules; the game manager feeds it boards
// laid out as 100 ints, x * 10 + y.
class OthelloBoard : public QWidget {
    Q_OBJECT

public:
    explicit OthelloBoard(QWidget* parent = nullptr);

    // Redraws the whole field from board, stores it in Squares (marks as 0) and shows it.
    void DrawBoard(const int* board);
    // Copies the back buffer to the screen, with the frame picture too when withBackground.
    void PaintBoard(bool withBackground);
    // Draws one square into the back buffer: value 1 black, -1 white, 2 a mark ring, else empty;
    // angle (degrees) narrows the stone for the flip animation.
    void DrawStone(int x, int y, int value, int angle);
    // Shows a move just played: the stone placed in colour, then the flips in their order.
    void AnimateMove(int colour, PointData placed, const std::vector<PointData>& flips);
    // One history step forward (put) or backward: the point is set or erased and the flips turn
    // to colour.
    void AnimateHistoryStep(bool put, int colour, PointData point,
                            const std::vector<PointData>& flips);
    // Texts shown over the field until the next SetHints; an empty list removes them.
    void SetHints(std::vector<BoardHint> hints);
    const std::vector<BoardHint>& Hints() const { return hints_; }
    // Whether a move or a history step is being animated.
    bool IsAnimating() const { return animating_ > 0; }
    // Lets the animation under way run to its end without further waits.
    void FinishAnimation() { hurry_ = true; }
    // Plays a sound effect unless SoundEffect is off.
    void PlayEffect(std::string_view name);

    // The square of the last move played, marked on its stone while ShowLastMove is on; an
    // invalid point for none. The mark moves in the back buffer at once.
    void SetLastMove(PointData square);
    void SetShowLastMove(bool on);
    // Letters a-h above and digits 1-8 beside the field, on the frame.
    void SetShowCoordinates(bool on);
    // The column of a typed letter, shown over the field until the row is typed; 0 for none.
    void SetTypedColumn(int column);
    // A square chosen from the keyboard: reported as a left click on it is.
    void PressSquare(int x, int y);

    QSize sizeHint() const override;

    // The field in the screen's own pixels: (8 * CellSize + 1) times the device pixel ratio.
    QImage BoardBitmap;
    QImage BackBitmap;
    // (column, row, button 0 left / 1 right / 2 middle, pressed) for presses and releases.
    std::function<void(int x, int y, int button, bool pressed)> OnPut;
    std::function<void(const std::string& text)> OnDebugText;
    // Text an input method commits while the board has the focus (full-width square names).
    std::function<void(const QString& text)> OnTypedText;
    int CellSize = 35;
    int Margin = 20;
    bool SoundEffect = true;
    int TurnSpeed = 0;
    int BoardColor = 4227200;  // packed RGB, red in the low byte
    int MarkColor = 65535;
    std::array<int, 100> Squares{};
    // Off as the board was designed; the game manager applies the settings.
    PointData LastMove;
    bool ShowLastMove = false;
    bool ShowCoordinates = false;
    int TypedColumn = 0;

    // How the view waits between frames and plays its sounds; tests swap them to watch the
    // animation frame by frame.
    std::function<void(int ms)> WaitFunction;
    std::function<void(std::string_view name)> SoundFunction;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    int FieldSize() const { return 8 * CellSize + 1; }
    // Logical pixels to back-buffer pixels, and the width of a one-pixel line there.
    int Px(int logical) const { return qRound(logical * ratio_); }
    int LineWidth() const { return std::max(1, qRound(ratio_)); }
    // The whole field into the back buffer at the screen's pixel ratio, without showing it.
    void DrawField(const int* board);
    // The back-buffer rectangle of (left, top)-(right, bottom) of the field, the right and bottom
    // edges excluded.
    QRect DeviceRect(int left, int top, int right, int bottom) const;
    // An ellipse inside a back-buffer rectangle: a rim one line wide in the outline colour around
    // the fill, its edges antialiased unless told otherwise.
    void DrawEllipse(const QRect& outer, const QColor& outline, const QColor& fill,
                     bool antialias = true);
    int ControlSize() const { return FieldSize() + 2 * Margin; }
    void Wait(int ms);
    // Square under a control pixel, or false for the frame and the field's outer lines.
    bool SquareAt(QPoint pixel, int& x, int& y) const;
    void HandleMouse(QMouseEvent* event, bool pressed);
    void ReportSquare(int x, int y, int button, bool pressed);
    // The last-move mark on a still stone at (x, y), centred on the stone's face.
    void DrawLastMoveMark(int x, int y, int value, int angle, const QRect& face);
    // Onto the frame, which the background picture has just covered.
    void PaintCoordinates(QPainter& painter) const;
    void PaintTypedColumn(QPainter& painter) const;

    void PaintHints(QPainter& painter) const;

    // Counts the animations on the call stack; a new one waits again.
    class AnimationScope {
    public:
        explicit AnimationScope(OthelloBoard& board) : board_(board) {
            ++board_.animating_;
            board_.hurry_ = false;
        }
        ~AnimationScope() { --board_.animating_; }
        AnimationScope(const AnimationScope&) = delete;
        AnimationScope& operator=(const AnimationScope&) = delete;

    private:
        OthelloBoard& board_;
    };

    qreal ratio_ = 1;  // of the back buffer
    std::vector<BoardHint> hints_;
    int animating_ = 0;
    bool hurry_ = false;
};
