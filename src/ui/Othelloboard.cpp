#include "Othelloboard.h"

#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "FormWidgets.h"
#include "Sound.h"
#include "UiResources.h"

namespace {

struct TurnSpeedRow {
    int PutWait;       // after the placed stone, ms
    int FrameWait;     // per animation frame, ms
    bool AllTogether;  // all flips in the same frames, without the "TURN" sound
};

constexpr std::array<TurnSpeedRow, 3> TurnSpeedTable{{
    {400, 40, false},
    {300, 20, false},
    {0, 20, true},
}};

constexpr int kFrameCount = 6;
constexpr std::array<int, kFrameCount> kFrameAngles{30, 60, 90, 60, 30, 0};
constexpr int kHistoryFrameWait = 16;

// A stone turning to colour shows its old side for the first half of the frames.
int FrameColour(int colour, int frame) {
    return frame < kFrameCount / 2 ? -colour : colour;
}

QColor PackedColour(int rgb) {
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

// Paints the ellipse inscribed in rect, each pixel by how much of it the ellipse covers (its
// distance from the edge, estimated from the gradient), or without antialiasing each pixel whose
// centre lies inside. Exact and alike at every pixel ratio, where the rasteriser's own rounding
// leaves a stone a row short at the top.
void FillEllipse(QImage& image, const QRect& rect, const QColor& colour, bool antialias) {
    const double rx = rect.width() / 2.0;
    const double ry = rect.height() / 2.0;
    const double cx = rect.left() + rx;
    const double cy = rect.top() + ry;
    const QRect clip = rect & image.rect();
    for (int py = clip.top(); py <= clip.bottom(); ++py) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(py));
        for (int px = clip.left(); px <= clip.right(); ++px) {
            const double nx = (px + 0.5 - cx) / rx;
            const double ny = (py + 0.5 - cy) / ry;
            const double f = std::sqrt(nx * nx + ny * ny);
            double cover = f <= 1 ? 1 : 0;
            if (antialias && f > 0) {
                const double gradient = std::hypot(nx / rx, ny / ry) / f;
                cover = std::clamp(0.5 + (1 - f) / gradient, 0.0, 1.0);
            }
            if (cover <= 0) continue;
            const QRgb under = line[px];
            const auto mix = [cover](int top, int bottom) {
                return static_cast<int>(std::lround(top * cover + bottom * (1 - cover)));
            };
            line[px] = qRgb(mix(colour.red(), qRed(under)), mix(colour.green(), qGreen(under)),
                            mix(colour.blue(), qBlue(under)));
        }
    }
}

// Reads on both stones: 4.4:1 against black, 4.8:1 against white.
const QColor kLastMoveColour(230, 0, 0);
// Light on the dark red frame (over 8:1).
const QColor kCoordinateColour(240, 222, 180);
// The frame around the column of a typed letter.
const QColor kTypedColumnColour(255, 255, 255, 220);
constexpr int kTypedColumnLine = 3;

int ButtonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 0;
        case Qt::RightButton:
            return 1;
        case Qt::MiddleButton:
            return 2;
        default:
            return -1;
    }
}

}  // namespace

OthelloBoard::OthelloBoard(QWidget* parent)
    : QWidget(parent),
      BackBitmap(
          QImage(QString::fromLatin1(kBackBoardImage)).convertToFormat(QImage::Format_RGB32)),
      WaitFunction(WaitMs),
      SoundFunction(PlaySoundResource) {
    // The background picture covers the whole control, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Square names are typed on the board, from an input method too.
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(ControlSize(), ControlSize());
}

QSize OthelloBoard::sizeHint() const {
    return QSize(ControlSize(), ControlSize());
}

void OthelloBoard::DrawBoard(const int* board) {
    setFixedSize(ControlSize(), ControlSize());
    DrawField(board);
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            const int v = board[x * 10 + y];
            Squares[x * 10 + y] = v == 2 ? 0 : v;
        }
    }
    PaintBoard(false);
}

void OthelloBoard::DrawField(const int* board) {
    ratio_ = devicePixelRatioF();
    const int s = FieldSize();
    const QSize size(Px(s), Px(s));
    if (BoardBitmap.size() != size) BoardBitmap = QImage(size, QImage::Format_RGB32);
    BoardBitmap.fill(PackedColour(BoardColor));
    {
        // Lines of one width everywhere: at a ratio such as 1.5 a scaled one-pixel line would
        // come out one or two pixels wide by turns.
        QPainter painter(&BoardBitmap);
        for (int i = 0; i <= 8; ++i) {
            const int at = Px(i * CellSize);
            painter.fillRect(at, 0, LineWidth(), size.height(), Qt::black);
            painter.fillRect(0, at, size.width(), LineWidth(), Qt::black);
        }
    }
    for (int a : {2 * CellSize, 6 * CellSize}) {
        for (int b : {2 * CellSize, 6 * CellSize}) {
            DrawEllipse(DeviceRect(a - 3, b - 3, a + 4, b + 4), Qt::black, Qt::black);
        }
    }
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            const int v = board[x * 10 + y];
            if (v != 0) DrawStone(x, y, v, 0);
        }
    }
}

void OthelloBoard::PaintBoard(bool withBackground) {
    if (withBackground) {
        repaint();
    } else {
        repaint(Margin, Margin, FieldSize(), FieldSize());
    }
}

QRect OthelloBoard::DeviceRect(int left, int top, int right, int bottom) const {
    // A zero width (a stone seen edge-on) still shows as a line.
    return QRect(Px(left), Px(top), std::max(Px(right) - Px(left), LineWidth()),
                 std::max(Px(bottom) - Px(top), LineWidth()));
}

void OthelloBoard::DrawEllipse(const QRect& outer, const QColor& outline, const QColor& fill,
                               bool antialias) {
    FillEllipse(BoardBitmap, outer, outline, antialias);
    const QRect inner = outer.adjusted(LineWidth(), LineWidth(), -LineWidth(), -LineWidth());
    if (fill != outline && !inner.isEmpty()) FillEllipse(BoardBitmap, inner, fill, antialias);
}

void OthelloBoard::DrawStone(int x, int y, int value, int angle) {
    if (BoardBitmap.isNull()) return;
    const int x0 = (x - 1) * CellSize + 1;
    const int y0 = (y - 1) * CellSize + 1;
    const int d = static_cast<int>(CellSize * 0.78);
    const int w = static_cast<int>(std::cos(angle * std::numbers::pi / 180.0) * d);
    const int left = x0 + (CellSize - w) / 2;
    const int top = y0 + (CellSize - d) / 2;
    const int right = left + w;
    const int bottom = top + d;
    const int line = LineWidth();

    // Emptied as a whole, where the two ellipses of a stone or a ring can lie: an antialiased
    // ellipse in the board's colour would leave the old stone's edge showing.
    const int full = x0 + (CellSize - d) / 2;
    QPainter(&BoardBitmap)
        .fillRect(DeviceRect(full, top, full + d, bottom).adjusted(-line, -line, 0, 0),
                  PackedColour(BoardColor));

    const QRect first = DeviceRect(left, top, right, bottom);
    if (value == 2) {
        // A mark is one crisp ring over the place of the two ellipses: two rings a line apart
        // would show as a double line on a screen of a higher pixel ratio.
        DrawEllipse(first.adjusted(-line, -line, 0, 0), PackedColour(MarkColor),
                    PackedColour(BoardColor), false);
    } else if (value == 1 || value == -1) {
        // The second ellipse lies up and left of the first by the width of its rim, so the rim
        // shows at every pixel ratio: light on black stones, grey on white ones. The first is
        // drawn without its outline, which would cover most of the rim and leave it broken.
        const QColor rim = value == 1 ? QColor(229, 229, 229) : QColor(128, 128, 128);
        DrawEllipse(first, rim, rim);
        const QRect face = first.translated(-line, -line);
        DrawEllipse(face, Qt::black, value == 1 ? Qt::black : Qt::white);
        DrawLastMoveMark(x, y, value, angle, face);
    }
}

void OthelloBoard::DrawLastMoveMark(int x, int y, int value, int angle, const QRect& face) {
    if (!ShowLastMove || PointData(x, y) != LastMove || angle != 0) return;
    if (value != 1 && value != -1) return;
    // A quarter of the stone: 6, 8 and 10 pixels across at the three board sizes.
    const int side = Px(static_cast<int>(CellSize * 0.78) / 4);
    QRect dot(0, 0, side, side);
    dot.moveCenter(face.center());
    // Crisp: its colour meets the stone's face directly.
    FillEllipse(BoardBitmap, dot, kLastMoveColour, false);
}

void OthelloBoard::SetLastMove(PointData square) {
    const PointData old = LastMove;
    LastMove = square;
    // A history step is not followed by a whole board: the stones lose and take the mark here.
    for (const PointData& p : {old, square}) {
        if (p.IsValid()) DrawStone(p.x, p.y, Squares[p.x * 10 + p.y], 0);
    }
}

void OthelloBoard::SetShowLastMove(bool on) {
    if (ShowLastMove == on) return;
    ShowLastMove = on;
    if (LastMove.IsValid()) {
        DrawStone(LastMove.x, LastMove.y, Squares[LastMove.x * 10 + LastMove.y], 0);
        PaintBoard(false);
    }
}

void OthelloBoard::SetShowCoordinates(bool on) {
    if (ShowCoordinates == on) return;
    ShowCoordinates = on;
    update();
}

void OthelloBoard::SetTypedColumn(int column) {
    if (TypedColumn == column) return;
    TypedColumn = column;
    update(Margin, Margin, FieldSize(), FieldSize());
}

void OthelloBoard::PaintCoordinates(QPainter& painter) const {
    // The frame of the picture is Margin wide, an eighth of it on either side being its raised
    // and sunken edges. Fonts of 9, 12 and 14 pixels keep "a" to "h" with the descender of "g"
    // between them at the three sizes.
    painter.setFont(DesignPixelFont(QStringLiteral("Tahoma"), Margin * 3 / 5, true));
    painter.setPen(kCoordinateColour);
    const QFontMetrics metrics(painter.font());
    // Centred by their ink, the descender of "g" included, not by the font's line box.
    const QRect letters = metrics.tightBoundingRect(QStringLiteral("abcdefgh"));
    const QRect digits = metrics.tightBoundingRect(QStringLiteral("12345678"));
    const int letterBase = (Margin - letters.top() - letters.bottom()) / 2;
    const int digitBase = (CellSize - digits.top() - digits.bottom()) / 2;
    for (int i = 1; i <= 8; ++i) {
        const int along = Margin + (i - 1) * CellSize;
        const QString letter(QChar('a' + i - 1));
        const QString digit(QChar('0' + i));
        painter.drawText(along + (CellSize - metrics.horizontalAdvance(letter)) / 2, letterBase,
                         letter);
        painter.drawText((Margin - metrics.horizontalAdvance(digit)) / 2, along + digitBase, digit);
    }
}

void OthelloBoard::PaintTypedColumn(QPainter& painter) const {
    if (TypedColumn < 1 || TypedColumn > 8) return;
    // A frame inside the column's grid lines: the stones in it keep their look.
    const QRect column(Margin + (TypedColumn - 1) * CellSize + 1, Margin + 1, CellSize - 1,
                       FieldSize() - 2);
    const int w = kTypedColumnLine;
    painter.fillRect(column.left(), column.top(), w, column.height(), kTypedColumnColour);
    painter.fillRect(column.right() - w + 1, column.top(), w, column.height(), kTypedColumnColour);
    painter.fillRect(column.left(), column.top(), column.width(), w, kTypedColumnColour);
    painter.fillRect(column.left(), column.bottom() - w + 1, column.width(), w, kTypedColumnColour);
}

void OthelloBoard::AnimateMove(int colour, PointData placed, const std::vector<PointData>& flips) {
    if (!placed.IsValid()) return;
    AnimationScope animation(*this);
    const TurnSpeedRow& row = TurnSpeedTable[std::clamp(TurnSpeed, 0, 2)];
    DrawStone(placed.x, placed.y, colour, 0);
    PlayEffect("PUT");
    if (row.AllTogether) {
        for (int k = 0; k < kFrameCount; ++k) {
            for (const PointData& p : flips) {
                DrawStone(p.x, p.y, FrameColour(colour, k), kFrameAngles[k]);
            }
            PaintBoard(false);
            Wait(row.FrameWait);
        }
        return;
    }
    PaintBoard(false);
    Wait(row.PutWait);
    for (const PointData& p : flips) {
        PlayEffect("TURN");
        for (int k = 0; k < kFrameCount; ++k) {
            DrawStone(p.x, p.y, FrameColour(colour, k), kFrameAngles[k]);
            PaintBoard(false);
            Wait(row.FrameWait);
        }
    }
}

void OthelloBoard::AnimateHistoryStep(bool put, int colour, PointData point,
                                      const std::vector<PointData>& flips) {
    AnimationScope animation(*this);
    if (point.IsValid()) {
        DrawStone(point.x, point.y, put ? colour : 0, 0);
        Squares[point.x * 10 + point.y] = put ? colour : 0;
    }
    for (int k = 0; k < kFrameCount; ++k) {
        for (const PointData& p : flips) {
            DrawStone(p.x, p.y, FrameColour(colour, k), kFrameAngles[k]);
        }
        PaintBoard(false);
        Wait(kHistoryFrameWait);
    }
    for (const PointData& p : flips) {
        if (p.IsValid()) Squares[p.x * 10 + p.y] = colour;
    }
}

void OthelloBoard::SetHints(std::vector<BoardHint> hints) {
    hints_ = std::move(hints);
    update(Margin, Margin, FieldSize(), FieldSize());
}

void OthelloBoard::PaintHints(QPainter& painter) const {
    // A dark halo around light text reads on any board colour, on a mark ring and on the grid;
    // the emphasised text sits on a light plate of its own.
    QFont font = painter.font();
    font.setPixelSize(std::max(10, CellSize * 34 / 100));
    font.setBold(true);
    const qreal halo = std::max(2.0, CellSize / 16.0);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const BoardHint& hint : hints_) {
        if (hint.x < 1 || hint.x > 8 || hint.y < 1 || hint.y > 8 || hint.text.isEmpty()) continue;
        const QRectF cell(Margin + (hint.x - 1) * CellSize + 1,
                          Margin + (hint.y - 1) * CellSize + 1, CellSize - 1, CellSize - 1);
        QPainterPath path;
        path.addText(0, 0, font, hint.text);
        const QRectF bounds = path.boundingRect();
        path.translate(cell.center() - bounds.center());
        if (hint.emphasised) {
            const qreal pad = CellSize / 12.0;
            const QRectF plate = path.boundingRect().adjusted(-2 * pad, -pad, 2 * pad, pad) &
                                 cell.adjusted(1, 1, -1, -1);
            painter.setPen(QPen(Qt::black, 1));
            painter.setBrush(QColor(255, 240, 160));
            painter.drawRoundedRect(plate, pad, pad);
            painter.fillPath(path, Qt::black);
            continue;
        }
        painter.strokePath(path,
                           QPen(QColor(0, 0, 0), halo, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(path, Qt::white);
    }
}

void OthelloBoard::PlayEffect(std::string_view name) {
    if (SoundEffect && SoundFunction) SoundFunction(name);
}

void OthelloBoard::Wait(int ms) {
    if (WaitFunction && !hurry_) WaitFunction(ms);
}

void OthelloBoard::paintEvent(QPaintEvent* event) {
    // Moved to a screen of another pixel ratio: the field is drawn afresh at the new one.
    if (!BoardBitmap.isNull() && ratio_ != devicePixelRatioF()) DrawField(Squares.data());
    QPainter painter(this);
    const QRect field(Margin, Margin, FieldSize(), FieldSize());
    // Animation frames repaint only the field; the stretched frame picture is drawn when the
    // control itself is exposed.
    if (!field.contains(event->rect()) || BoardBitmap.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), BackBitmap);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        if (ShowCoordinates) PaintCoordinates(painter);
    }
    // One buffer pixel to one screen pixel.
    if (!BoardBitmap.isNull()) {
        painter.drawImage(QRectF(field.topLeft(), QSizeF(BoardBitmap.size()) / ratio_),
                          BoardBitmap);
    }
    PaintTypedColumn(painter);
    if (!hints_.empty()) PaintHints(painter);
}

bool OthelloBoard::SquareAt(QPoint pixel, int& x, int& y) const {
    if (pixel.x() < Margin || pixel.y() < Margin) return false;
    x = (pixel.x() - Margin) / CellSize + 1;
    y = (pixel.y() - Margin) / CellSize + 1;
    return x >= 1 && x <= 8 && y >= 1 && y <= 8;
}

void OthelloBoard::HandleMouse(QMouseEvent* event, bool pressed) {
    const int button = ButtonCode(event->button());
    int x = 0;
    int y = 0;
    // Fractional positions (scaled screens) belong to the pixel they lie in.
    const QPointF at = event->position();
    const QPoint pixel(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())));
    if (button < 0 || !SquareAt(pixel, x, y)) return;
    ReportSquare(x, y, button, pressed);
}

void OthelloBoard::PressSquare(int x, int y) {
    ReportSquare(x, y, 0, true);
    ReportSquare(x, y, 0, false);
}

void OthelloBoard::ReportSquare(int x, int y, int button, bool pressed) {
    if (pressed && OnDebugText) {
        OnDebugText("x=" + std::to_string(x) + ", y=" + std::to_string(y));
    }
    if (OnPut) OnPut(x, y, button, pressed);
}

void OthelloBoard::mousePressEvent(QMouseEvent* event) {
    HandleMouse(event, true);
}

void OthelloBoard::mouseReleaseEvent(QMouseEvent* event) {
    HandleMouse(event, false);
}

void OthelloBoard::inputMethodEvent(QInputMethodEvent* event) {
    if (OnTypedText && !event->commitString().isEmpty()) OnTypedText(event->commitString());
    event->accept();
}
