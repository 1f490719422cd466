#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "Othelloboard.h"

namespace {

using Board = std::array<int, 100>;
using Look = std::pair<QRgb, int>;  // a square's centre colour and drawn width

constexpr int kBlack = 1;
constexpr int kWhite = -1;
const QRgb kBlackRgb = qRgb(0, 0, 0);
const QRgb kField = qRgb(0x50, 0xA0, 0x30);
const QRgb kYellow = qRgb(255, 255, 0);
const auto kNotField = [](QRgb c) { return c != kField; };

// Rows 1 to 8 separated by blanks: X black, O white, * mark, anything else empty.
Board Parse(std::string_view rows) {
    Board board{};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int v = rows[i] == 'X' ? 1 : rows[i] == 'O' ? -1 : rows[i] == '*' ? 2 : 0;
        if (rows[i] != ' ') board[(i % 9 + 1) * 10 + i / 9 + 1] = v;
    }
    return board;
}

// A normal-sized board view whose waits, sounds and clicks are logged instead of happening.
class BoardViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.CellSize = 45;
        view.BoardColor = 0x30A050;
        view.WaitFunction = [this](int ms) {
            log += std::to_string(ms) + " ";
            if (onWait) onWait();
        };
        view.SoundFunction = [this](std::string_view name) { log.append(name).append(" "); };
        view.OnPut = [this](int x, int y, int b, bool p) {
            log += QString::asprintf("(%d%d%d%c)", x, y, b, p ? '+' : '-').toStdString();
        };
        view.OnDebugText = [this](const std::string& text) { log.append("[" + text + "]"); };
    }
    // First pixel of a square's inside in the field bitmap, just after its grid line.
    int Origin(int i) const { return (i - 1) * view.CellSize + 1; }
    QRgb Pixel(int px, int py) const { return view.BoardBitmap.pixel(px, py) | 0xFF000000u; }
    // Bounding box of a square's pixels (or of its middle row's) whose colour matches.
    QRect Box(int x, int y, const std::function<bool(QRgb)>& match, bool middleRow = false) const {
        QRect box;
        for (int py = Origin(y); py < Origin(y) + view.CellSize - 1; ++py) {
            for (int px = Origin(x); px < Origin(x) + view.CellSize - 1; ++px) {
                if (middleRow && py != Origin(y) + view.CellSize / 2) continue;
                box |= match(Pixel(px, py)) ? QRect(px, py, 1, 1) : QRect();
            }
        }
        return box;
    }
    Look LookOf(int x, int y) const {
        const int mid = view.CellSize / 2;
        return {Pixel(Origin(x) + mid, Origin(y) + mid), Box(x, y, kNotField, true).width()};
    }

    OthelloBoard view;
    std::string log;
    std::function<void()> onWait;
};

TEST_F(BoardViewTest, GeometryStonesAndRingsPerBoardSize) {
    const Board board = Parse("........ ....O... ........ ..X..... ........ ....*...");
    for (auto [c, margin, field, control, d] :
         {std::array{35, 15, 281, 311, 27}, std::array{45, 20, 361, 401, 35},
          std::array{55, 24, 441, 489, 42}}) {
        view.CellSize = c;
        view.Margin = margin;
        view.DrawBoard(board.data());
        EXPECT_EQ(view.BoardBitmap.size(), QSize(field, field)) << c;
        EXPECT_EQ(view.size(), QSize(control, control)) << c;
        EXPECT_EQ(view.sizeHint(), QSize(control, control)) << c;
        EXPECT_EQ(Pixel(c, 9) | Pixel(8 * c, 9) | Pixel(9, 8 * c), kBlackRgb) << c;  // grid lines
        EXPECT_EQ(Pixel(6 * c + 2, 2 * c - 2), kBlackRgb) << c;                      // a dot
        EXPECT_EQ((std::array{LookOf(3, 4).first, LookOf(5, 2).first, LookOf(5, 6).first}),
                  (std::array{kBlackRgb, qRgb(255, 255, 255), kField}))
            << c;
        // Stones and rings span d + 1 pixels: the second ellipse sits a pixel up and left of the
        // first, which shows only as a rim at the lower right, light on black, grey on white.
        for (auto [x, y, rim] :
             {std::tuple{3, 4, qRgb(229, 229, 229)}, std::tuple{5, 2, qRgb(128, 128, 128)},
              std::tuple{5, 6, kYellow}}) {
            const int at = (c - d) / 2 - 1;
            const QRect drawn(Origin(x) + at, Origin(y) + at, d + 1, d + 1);
            EXPECT_EQ(Box(x, y, kNotField), drawn) << c << x << y;
            const QRect box = Box(x, y, [rim = rim](QRgb pixel) { return pixel == rim; });
            const QRect lowerRight(drawn.center() + QPoint(1, 1), drawn.bottomRight());
            const auto other = [](QRgb p) { return p != kYellow && p != kField; };
            EXPECT_TRUE(rim == kYellow ? box == drawn && Box(x, y, other).isNull()
                                       : !box.isNull() && lowerRight.contains(box))
                << c << x << y;
        }
        view.DrawStone(3, 4, kBlack, 60);
        EXPECT_EQ(Box(3, 4, kNotField).size(), QSize(d / 2 + 1, d + 1)) << c;
        view.DrawStone(3, 4, kBlack, 90);  // edge-on: a line, not a disc
        EXPECT_LE(Box(3, 4, kNotField).width(), 2) << c;
    }
}

TEST_F(BoardViewTest, PressesAndReleasesMapToSquares) {
    const Board empty{};
    view.DrawBoard(empty.data());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const int far = 20 + 8 * 45;  // the field's right and bottom outer line
    // The frame on all four sides and the outer lines are no square.
    for (QPoint p : {QPoint(5, 100), QPoint(100, 5), QPoint(far + 10, 100), QPoint(100, far + 10),
                     QPoint(far, 100), QPoint(100, far)}) {
        QTest::mouseClick(&view, Qt::LeftButton, {}, p);
        EXPECT_EQ(log, "") << p.x() << "," << p.y();
    }
    // On grid lines, the corner squares, the three buttons.
    const std::tuple<int, int, Qt::MouseButton, const char*> cases[] = {
        {110, 200, Qt::LeftButton, "[x=3, y=5](350+)(350-)"},
        {20, 20, Qt::LeftButton, "[x=1, y=1](110+)(110-)"},
        {far - 1, far - 1, Qt::LeftButton, "[x=8, y=8](880+)(880-)"},
        {255, 95, Qt::RightButton, "[x=6, y=2](621+)(621-)"},
        {255, 95, Qt::MiddleButton, "[x=6, y=2](622+)(622-)"}};
    for (const auto& [x, y, button, expected] : cases) {
        log.clear();
        QTest::mousePress(&view, button, {}, QPoint(x, y));
        QTest::mouseRelease(&view, button, {}, QPoint(x, y));
        EXPECT_EQ(log, expected) << x << "," << y;
    }
}

// Black plays (4, 4), flipping in four directions; the white stone at (3, 5) is not enclosed.
class AnimateMoveTest : public BoardViewTest {
protected:
    // At every wait, each flipped square is logged as the index of its look in states.
    void SetUp() override {
        BoardViewTest::SetUp();
        onWait = [this] {
            for (const PointData& p : flips) {
                const auto at = std::find(states.begin(), states.end(), LookOf(p.x, p.y));
                log += at == states.end() ? '?' : static_cast<char>('0' + (at - states.begin()));
            }
            log += ' ';
        };
    }
    // Frames 0..5 of a stone turning to colour (angles 30, 60, 90, 60, 30, 0; the last is the
    // still stone), then the still stone of the other colour, as the empty (8, 8) shows them.
    void TurningTo(int colour) {
        states.clear();
        for (int angle : {30, 60, 90, 60, 30, 0, 0}) {
            view.DrawStone(8, 8, states.size() < 3 || states.size() == 6 ? -colour : colour, angle);
            states.push_back(LookOf(8, 8));
        }
        view.DrawStone(8, 8, 0, 0);
    }

    const Board before = Parse("...X.... ...O.... ...O.... XOO.OOX. ..O.O... .....O.. ......X.");
    const Board after = Parse("...X.... ...X.... ...X.... XXXXXXX. ..O.X... .....X.. ......X.");
    // Directions in the order (-1,-1), (-1,0), ..., (1,1); near to far within each.
    const std::vector<PointData> flips{{3, 4}, {2, 4}, {4, 3}, {4, 2},
                                       {5, 4}, {6, 4}, {5, 5}, {6, 6}};
    std::vector<Look> states;
};

TEST_F(AnimateMoveTest, EachSpeedsFramesWaitsAndSounds) {
    for (auto [speed, sound, putWait, frameWait] :
         {std::array{0, 1, 400, 40}, std::array{1, 1, 300, 20}, std::array{1, 0, 300, 20},
          std::array{2, 1, 0, 20}, std::array{2, 0, 0, 20}}) {
        const bool together = speed == 2;
        Board shown = before;
        if (together) shown[44] = shown[81] = 2;  // marks must not hide the placed stone
        view.TurnSpeed = speed;
        view.SoundEffect = sound != 0;
        view.DrawBoard(shown.data());
        TurningTo(kBlack);
        std::string expected = sound != 0 ? "PUT " : "";
        if (!together) expected += std::to_string(putWait) + " 66666666 ";  // the placed stone
        for (std::size_t i = 0; i < (together ? 1 : flips.size()); ++i) {
            if (sound != 0 && !together) expected += "TURN ";
            for (char k = '0'; k < '6'; ++k) {
                expected += std::to_string(frameWait) + " ";
                for (std::size_t j = 0; j < flips.size(); ++j)
                    expected += together || j == i ? k : j < i ? '5' : '6';
                expected += ' ';
            }
        }
        log.clear();
        view.AnimateMove(after.data());
        EXPECT_EQ(log, expected) << speed << sound;
        EXPECT_EQ(LookOf(4, 4), states[5]) << speed;
        EXPECT_EQ(LookOf(3, 5), states[6]) << speed;
        EXPECT_EQ(view.Squares, before) << speed;  // the next DrawBoard stores the move
    }
}

TEST_F(AnimateMoveTest, HistoryStepsTurnAllTogetherQuietly) {
    view.TurnSpeed = 0;  // not used by history steps
    for (const bool forward : {true, false}) {
        view.DrawBoard((forward ? before : after).data());
        TurningTo(forward ? kBlack : kWhite);
        log.clear();
        view.AnimateHistoryStep(forward, forward ? kBlack : kWhite, PointData(4, 4), flips);
        EXPECT_EQ(log, "16 00000000 16 11111111 16 22222222 16 33333333 16 44444444 16 55555555 ")
            << forward;
        EXPECT_EQ(LookOf(4, 4).first, forward ? kBlackRgb : kField) << forward;  // back: erased
        EXPECT_EQ(view.Squares, forward ? after : before) << forward;
    }
}

}  // namespace
