#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>
#include <algorithm>
#include <map>
#include <set>

#include "FormWidgets.h"
#include "Othelloboard.h"

namespace {

using Board = std::array<int, 100>;
using Look = std::pair<QRgb, int>;  // a square's centre colour and drawn width

enum { kWhite = -1, kBlack = 1 };
const QRgb kBlackRgb = qRgb(0, 0, 0);
const QRgb kField = qRgb(0x50, 0xA0, 0x30);
const QRgb kWhiteRgb = qRgb(255, 255, 255);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kMarkRgb = qRgb(230, 0, 0);
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

// Black plays (4, 4), flipping in four directions; the white stone at (3, 5) is not enclosed.
const Board kBefore = Parse("...X.... ...O.... ...O.... XOO.OOX. ..O.O... .....O.. ......X.");
const Board kAfter = Parse("...X.... ...X.... ...X.... XXXXXXX. ..O.X... .....X.. ......X.");
// Directions in the order (-1,-1), (-1,0), ..., (1,1); near to far within each.
const std::vector<PointData> kFlips{{3, 4}, {2, 4}, {4, 3}, {4, 2}, {5, 4}, {6, 4}, {5, 5}, {6, 6}};

// A normal-sized board view whose sounds, clicks and waits are logged instead of happening; at
// every wait each flipped square is logged as the index of its look in states.
class BoardViewTest : public ::testing::Test {
protected:
    BoardViewTest() {
        view.CellSize = 45;
        view.BoardColor = 0x30A050;
        view.SoundFunction = [this](std::string_view name) { log.append(name).append(" "); };
        view.OnPut = [this](int x, int y, int b, bool p) {
            log += QString::asprintf("(%d%d%d%c)", x, y, b, p ? '+' : '-').toStdString();
        };
        view.OnDebugText = [this](const std::string& text) { log.append("[" + text + "]"); };
        view.WaitFunction = [this](int ms) {
            log += std::to_string(ms) + " ";
            for (const PointData& p : kFlips) {
                const auto at = std::find(states.begin(), states.end(), LookOf(p.x, p.y));
                log += at == states.end() ? '?' : static_cast<char>('0' + (at - states.begin()));
            }
            log += ' ';
        };
    }
    // First pixel of a square's inside in the field bitmap, just after its grid line.
    int Origin(int i) const { return (i - 1) * view.CellSize + 1; }
    QRgb Pixel(int px, int py) const { return view.BoardBitmap.pixel(px, py) | 0xFF000000u; }
    // Bounding box of a square's pixels (or of its middle row's) whose colour matches.
    QRect Box(int x, int y, const std::function<bool(QRgb)>& match, bool middleRow = false) const {
        QRect box;
        const int c = view.CellSize, top = Origin(y) + (middleRow ? c / 2 : 0);
        for (int py = top; py < (middleRow ? top + 1 : Origin(y) + c - 1); ++py)
            for (int px = Origin(x); px < Origin(x) + c - 1; ++px)
                box |= match(Pixel(px, py)) ? QRect(px, py, 1, 1) : QRect();
        return box;
    }
    Look LookOf(int x, int y) const {
        const int mid = view.CellSize / 2;
        return {Pixel(Origin(x) + mid, Origin(y) + mid), Box(x, y, kNotField, true).width()};
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

    OthelloBoard view;
    std::string log;
    std::vector<Look> states;
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
        EXPECT_TRUE(view.size() == QSize(control, control) && view.sizeHint() == view.size()) << c;
        EXPECT_EQ(Pixel(c, 9) | Pixel(8 * c, 9) | Pixel(9, 8 * c), kBlackRgb) << c;  // grid lines
        EXPECT_EQ(Pixel(6 * c + 2, 2 * c - 2), kBlackRgb) << c;                      // a dot
        // Black, white and a ring span d + 1 pixels: the second ellipse sits a pixel up and left
        // of the first, which shows as an unbroken rim at the lower right, light on black, grey
        // on white, below and right of the middle alike; stones are antialiased, the ring is
        // yellow all over.
        for (auto [x, y, centre, rim] : {std::tuple{3, 4, kBlackRgb, qRgb(229, 229, 229)},
                                         std::tuple{5, 2, qRgb(255, 255, 255), qRgb(128, 128, 128)},
                                         std::tuple{5, 6, kField, kYellow}}) {
            const int at = (c - d) / 2 - 1;
            const QRect drawn(Origin(x) + at, Origin(y) + at, d + 1, d + 1);
            EXPECT_EQ(LookOf(x, y).first, centre) << c << x << y;
            EXPECT_EQ(Box(x, y, kNotField), drawn) << c << x << y;
            const int mx = drawn.left() + 1 + d / 2, my = drawn.top() + 1 + d / 2;
            const QRect stray = Box(x, y, [rim = rim](QRgb p) { return p != rim && p != kField; });
            const auto near = [](QRgb a, QRgb b) { return std::abs(qGray(a) - qGray(b)) <= 12; };
            EXPECT_TRUE(rim == kYellow ? stray.isNull()
                                       : near(Pixel(mx, drawn.bottom()), rim) &&
                                             near(Pixel(drawn.right(), my), rim) &&
                                             near(Pixel(drawn.left(), my), kBlackRgb) &&
                                             !Box(x, y,
                                                  [&](QRgb p) {  // shades at the edge
                                                      return p != kField && p != centre &&
                                                             p != rim && p != kBlackRgb;
                                                  })
                                                  .isNull())
                << c << x << y;
        }
        view.DrawStone(3, 4, kBlack, 60);
        EXPECT_EQ(Box(3, 4, kNotField).size(), QSize(d / 2 + 1, d + 1)) << c;
        view.DrawStone(3, 4, kBlack, 90);  // edge-on: a line, not a disc
        EXPECT_LE(Box(3, 4, kNotField).width(), 2) << c;

        // Hints, on a ringed and on a plain square: light text on a dark halo, the emphasised one
        // dark on a light plate, each within its square, and gone once taken away.
        const QImage plain = view.grab().toImage();
        view.SetHints({{5, 6, QStringLiteral("−12"), false}, {7, 7, QStringLiteral("+4"), true}});
        const QImage hinted = view.grab().toImage();
        std::map<int, std::pair<int, int>> lightAndDark;  // by square x * 10 + y
        for (int py = 0; py < hinted.height(); ++py) {
            for (int px = 0; px < hinted.width(); ++px) {
                if (hinted.pixel(px, py) == plain.pixel(px, py)) continue;
                const int gray = qGray(hinted.pixel(px, py));
                auto& [light, dark] = lightAndDark[(px - margin) / c * 10 + (py - margin) / c + 11];
                light += gray > 200 ? 1 : 0;
                dark += gray < 60 ? 1 : 0;
            }
        }
        ASSERT_EQ(lightAndDark.size(), 2u) << c;
        for (const auto& [square, counts] : lightAndDark) {
            EXPECT_TRUE(square == 56 || square == 77) << c << " " << square;
            EXPECT_GT(std::min(counts.first, counts.second), c) << c << " " << square;
        }
        view.SetHints({});
        EXPECT_EQ(view.grab().toImage(), plain) << c;

        // The last move's mark, a dot a quarter of the stone across, lies inside the stone's face
        // whatever the board's colour, and reads on it; it leaves the stone it was on.
        view.ShowLastMove = true;
        for (auto [x, y, face] : {std::tuple{3, 4, kBlackRgb}, std::tuple{5, 2, kWhiteRgb}}) {
            view.SetLastMove({x, y});
            const QRect mark = Box(x, y, [](QRgb p) { return p == kMarkRgb; });
            EXPECT_EQ(mark.size(), QSize(d / 4, d / 4)) << c << x;
            int other = 0;  // pixels of neither colour on and around the dot
            for (int py = mark.top() - 1; py <= mark.bottom() + 1; ++py)
                for (int px = mark.left() - 1; px <= mark.right() + 1; ++px)
                    other += Pixel(px, py) != kMarkRgb && Pixel(px, py) != face;
            EXPECT_EQ(other, 0) << c << x;
            EXPECT_GE(ContrastRatio(QColor(kMarkRgb), QColor(face)), 4.3) << c << x;
        }
        EXPECT_TRUE(Box(3, 4, [](QRgb p) { return p == kMarkRgb; }).isNull()) << c;
        view.ShowLastMove = false;
    }
}

// The coordinates lie on the frame's plain band, clear of its raised outer and sunken inner edges
// (3 of the picture's 25 pixels each), a letter over each column and a digit beside each row, and
// fill at least half the band's height; a typed letter's column is framed over the field.
TEST_F(BoardViewTest, CoordinatesOnTheFrameAndTheTypedColumn) {
    for (auto [c, m] : {std::pair{35, 15}, std::pair{45, 20}, std::pair{55, 24}}) {
        view.CellSize = c;
        view.Margin = m;
        view.DrawBoard(Parse("........ ........ ..X.....").data());
        const QImage plain = view.grab().toImage();
        view.SetShowCoordinates(true);
        const QImage shot = view.grab().toImage();
        const int edge = (3 * m + 24) / 25, field = 8 * c;
        std::string found(16, '-');
        QRect top, stray;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                if (shot.pixel(x, y) == plain.pixel(x, y)) continue;
                const bool band = std::min(x, y) >= edge && std::min(x, y) < m - edge &&
                                  std::max(x, y) >= m && std::max(x, y) < m + field;
                if (!band) stray |= QRect(x, y, 1, 1);
                if (band && y < m) found[(x - m) / c] = static_cast<char>('a' + (x - m) / c);
                if (band && y < m) top |= QRect(x, y, 1, 1);
                if (band && x < m) found[8 + (y - m) / c] = static_cast<char>('1' + (y - m) / c);
            }
        }
        EXPECT_EQ(found, "abcdefgh12345678") << c;
        EXPECT_TRUE(stray.isNull()) << c;
        EXPECT_GE(2 * top.height(), m - 2 * edge) << c;
        view.SetShowCoordinates(false);
        EXPECT_EQ(view.grab().toImage(), plain) << c;

        view.SetTypedColumn(6);
        const QImage typed = view.grab().toImage();
        const auto lit = [&](int x, int y) {
            const QPoint p(m + (x - 1) * c + 2, m + (y - 1) * c + c / 2);  // left of the cell
            return typed.pixel(p) != plain.pixel(p);
        };
        EXPECT_TRUE(lit(6, 1) && lit(6, 8) && !lit(5, 4) && !lit(7, 4)) << c;
        view.SetTypedColumn(0);
        EXPECT_EQ(view.grab().toImage(), plain) << c;
    }
}

// On a high-DPI screen the field is drawn in the screen's own pixels, not as a picture scaled
// up: every grid line equally wide there (at 1.5 a scaled line is one or two pixels by turns),
// and at ratio 2 a ring is drawn once.
TEST_F(BoardViewTest, SharpOnHighDpiScreens) {
    for (const qreal ratio : {2.0, 1.5}) {
        QScreen* screen = nullptr;
        for (QScreen* s : QGuiApplication::screens())
            screen = s->devicePixelRatio() == ratio ? s : screen;
        ASSERT_NE(screen, nullptr) << "no offscreen screen of ratio " << ratio;
        OthelloBoard hi;
        hi.CellSize = 45;
        hi.BoardColor = view.BoardColor;
        hi.move(screen->geometry().topLeft());
        hi.show();
        ASSERT_EQ(hi.devicePixelRatioF(), ratio);
        hi.DrawBoard(Parse("........ ........ ........ ..X..... ....*...").data());
        const QImage shot = hi.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const auto device = [ratio](int logical) { return qRound(logical * ratio); };
        // Widths of the runs of a colour along a row, from logical x0 to x1.
        const auto runs = [&](QRgb colour, int y, int x0, int x1) {
            std::vector<int> widths;
            for (int x = device(x0), at = device(y); x < device(x1); ++x) {
                const bool in = shot.pixel(x, at) == colour;
                if (in && (widths.empty() || shot.pixel(x - 1, at) != colour)) widths.push_back(0);
                if (in) ++widths.back();
            }
            return widths;
        };
        // Along the middle of the first row of squares, and of the ring of a legal square, which
        // is drawn once.
        EXPECT_EQ(runs(kBlackRgb, 20 + 22, 20, 20 + 361), std::vector<int>(9, 2)) << ratio;
        if (ratio == 2) {
            EXPECT_EQ(runs(kYellow, 20 + 202, 20 + 180, 20 + 225), std::vector<int>(2, 2));
        }
    }
}

TEST_F(BoardViewTest, PressesAndReleasesMapToSquares) {
    view.DrawBoard(Board{}.data());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const int far = 20 + 8 * 45;  // the field's right and bottom outer line
    // The frame on all four sides and the outer lines are no square; grid lines, the corner
    // squares and each button map to their square.
    for (QPoint p : {QPoint(5, 100), QPoint(100, 5), QPoint(far + 10, 100), QPoint(100, far + 10),
                     QPoint(far, 100), QPoint(100, far), QPoint(110, 200), QPoint(20, 20),
                     QPoint(far - 1, far - 1)})
        QTest::mouseClick(&view, Qt::LeftButton, {}, p);
    QTest::mouseClick(&view, Qt::RightButton, {}, QPoint(255, 95));
    QTest::mouseClick(&view, Qt::MiddleButton, {}, QPoint(255, 95));
    view.PressSquare(6, 5);  // from the keyboard
    EXPECT_EQ(log,
              "[x=3, y=5](350+)(350-)[x=1, y=1](110+)(110-)[x=8, y=8](880+)(880-)"
              "[x=6, y=2](621+)(621-)[x=6, y=2](622+)(622-)[x=6, y=5](650+)(650-)");
}

// Speeds 0 to 2 play the move; 3 and 4 are history steps forward and back, which turn all flips
// together and quietly whatever the speed.
TEST_F(BoardViewTest, MovesAndHistoryStepsFramesWaitsAndSounds) {
    for (auto [mode, sound, putWait, frameWait] :
         {std::array{0, 1, 400, 40}, std::array{1, 1, 300, 20}, std::array{1, 0, 300, 20},
          std::array{2, 1, 0, 20}, std::array{2, 0, 0, 20}, std::array{3, 1, 0, 16},
          std::array{4, 1, 0, 16}}) {
        const bool together = mode >= 2, back = mode == 4;
        const Board shown = back ? kAfter : kBefore;
        view.TurnSpeed = mode % 3;
        view.SoundEffect = sound != 0;
        view.DrawBoard(shown.data());
        TurningTo(back ? kWhite : kBlack);
        std::string expected = sound != 0 && mode < 3 ? "PUT " : "";
        if (!together) expected += std::to_string(putWait) + " 66666666 ";  // the placed stone
        for (std::size_t i = 0; i < (together ? 1 : kFlips.size()); ++i) {
            if (sound != 0 && !together) expected += "TURN ";
            for (char k = '0'; k < '6'; ++k) {
                expected += std::to_string(frameWait) + " ";
                for (std::size_t j = 0; j < kFlips.size(); ++j)
                    expected += together || j == i ? k : j < i ? '5' : '6';
                expected += ' ';
            }
        }
        log.clear();
        if (mode < 3) view.AnimateMove(kBlack, {4, 4}, kFlips);
        if (mode >= 3) view.AnimateHistoryStep(!back, back ? kWhite : kBlack, {4, 4}, kFlips);
        EXPECT_EQ(log, expected) << mode << sound;
        EXPECT_EQ(LookOf(4, 4), back ? Look(kField, 0) : states[5]) << mode;  // back: erased
        // A move is stored by the next DrawBoard, a history step at once.
        EXPECT_EQ(view.Squares, mode == 3 ? kAfter : kBefore) << mode;
    }
}

}  // namespace
