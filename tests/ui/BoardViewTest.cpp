#include <gtest/gtest.h>

#include <QTest>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Othelloboard.h"

namespace {

using Board = std::array<int, 100>;
using Look = std::pair<QRgb, int>;

constexpr int kBlack = 1;
constexpr int kWhite = -1;
const QRgb kBlackRgb = qRgb(0, 0, 0);
const QRgb kWhiteRgb = qRgb(255, 255, 255);
const QRgb kField = qRgb(0x50, 0xA0, 0x30);
const QRgb kYellow = qRgb(255, 255, 0);
constexpr int kAngles[6] = {30, 60, 90, 60, 30, 0};

// Rows 1 to 8 separated by blanks: X black, O white, * mark, . empty.
Board Parse(std::string_view rows) {
    Board board{};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int v = rows[i] == 'X' ? 1 : rows[i] == 'O' ? -1 : rows[i] == '*' ? 2 : 0;
        board[(i % 9 + 1) * 10 + i / 9 + 1] = v;
    }
    return board;
}

// A normal-sized board view whose waits, sounds and clicks are recorded instead of happening.
class BoardViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.CellSize = 45;
        view.BoardColor = 0x30A050;
        view.WaitFunction = [this](int ms) {
            waits.push_back(ms);
            if (onWait) onWait();
        };
        view.SoundFunction = [this](std::string_view name) { sounds.emplace_back(name); };
        view.OnPut = [this](int x, int y, int b, bool p) {
            log += QString::asprintf("(%d%d%d%c)", x, y, b, p ? '+' : '-').toStdString();
        };
        view.OnDebugText = [this](const std::string& text) {
            log.append("[").append(text).append("]");
        };
    }
    // First pixel of a square's inside in the field bitmap, just after its grid line.
    int Origin(int i) const { return (i - 1) * view.CellSize + 1; }
    QRgb Pixel(int px, int py) const { return view.BoardBitmap.pixel(px, py) | 0xFF000000u; }
    QRgb Centre(int x, int y) const {
        return Pixel(Origin(x) + view.CellSize / 2, Origin(y) + view.CellSize / 2);
    }
    void Scan(int x, int y, const std::function<void(int, int, QRgb)>& f) const {
        for (int py = Origin(y); py < Origin(y) + view.CellSize - 1; ++py) {
            for (int px = Origin(x); px < Origin(x) + view.CellSize - 1; ++px)
                f(px, py, Pixel(px, py));
        }
    }
    // Bounding box of a square's pixels that are not the board colour.
    QRect Drawn(int x, int y) const {
        QRect box;
        Scan(x, y,
             [&](int px, int py, QRgb c) { box |= c != kField ? QRect(px, py, 1, 1) : QRect(); });
        return box;
    }
    // Centre colour and the drawn width of the middle row (clear of the grid dots).
    Look LookOf(int x, int y) const {
        int width = 0;
        for (int px = Origin(x); px < Origin(x) + view.CellSize - 1; ++px)
            width += Pixel(px, Origin(y) + view.CellSize / 2) != kField;
        return {Centre(x, y), width};
    }

    OthelloBoard view;
    std::vector<int> waits;
    std::vector<std::string> sounds;
    std::string log;
    std::function<void()> onWait;
};

TEST_F(BoardViewTest, GeometryGridAndStoneSizePerBoardSize) {
    struct Size {
        int cell, margin, field, control, diameter;
    };
    for (const Size& s :
         {Size{35, 15, 281, 311, 27}, Size{45, 20, 361, 401, 35}, Size{55, 24, 441, 489, 42}}) {
        view.CellSize = s.cell;
        view.Margin = s.margin;
        Board board{};
        board[88] = kBlack;
        view.DrawBoard(board.data());
        EXPECT_EQ(view.BoardBitmap.size(), QSize(s.field, s.field)) << s.cell;
        EXPECT_EQ(view.size(), QSize(s.control, s.control)) << s.cell;
        EXPECT_EQ(view.sizeHint(), QSize(s.control, s.control)) << s.cell;
        const int c = s.cell, last = 8 * c;
        for (QPoint p : {QPoint(0, 10), QPoint(10, 0), QPoint(last, 10), QPoint(10, last),
                         QPoint(c, 10), QPoint(10, c), QPoint(2 * c + 2, 2 * c + 2),
                         QPoint(6 * c - 2, 2 * c - 2), QPoint(6 * c + 2, 6 * c - 2)}) {
            EXPECT_EQ(Pixel(p.x(), p.y()), kBlackRgb) << c << ": " << p.x() << "," << p.y();
        }
        EXPECT_EQ(Pixel(c + 1, 10), kField) << c;
        EXPECT_EQ(Pixel(2 * c + 4, 2 * c + 1), kField) << c;  // just off a dot
        // The second ellipse sits a pixel up and left of the first: d + 1 pixels each way.
        EXPECT_EQ(Drawn(8, 8).size(), QSize(s.diameter + 1, s.diameter + 1)) << c;
        view.DrawStone(8, 8, kBlack, 60);
        EXPECT_EQ(Drawn(8, 8).size(), QSize(s.diameter / 2 + 1, s.diameter + 1)) << c;
        view.DrawStone(8, 8, kBlack, 90);  // edge-on: a line, not a disc
        EXPECT_LE(Drawn(8, 8).width(), 2) << c;
    }
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QImage shown = view.grab().toImage();
    const QColor frame = shown.pixelColor(5, 200);  // the dark red of the background picture
    EXPECT_GT(frame.red(), 2 * frame.green());
    EXPECT_GT(frame.red(), 2 * frame.blue());
    for (QPoint p : {QPoint(0, 0), QPoint(110, 110), QPoint(440, 440)})
        EXPECT_EQ(shown.pixel(p + QPoint(24, 24)) | 0xFF000000u, Pixel(p.x(), p.y())) << p.x();
}

TEST_F(BoardViewTest, StonesRingsAndStoredSquares) {
    view.Squares = Parse("OOOOOOOO OOOOOOOO OOOOOOOO OOOOOOOO OOOOOOOO OOOOOOOO OOOOOOOO OOOOOOOO");
    const Board board = Parse("........ ....O... ........ ..X..... ........ ....*...");
    view.DrawBoard(board.data());
    Board stored{};
    stored[34] = kBlack;
    stored[52] = kWhite;
    EXPECT_EQ(view.Squares, stored);  // marks are stored as empty
    EXPECT_EQ(Centre(3, 4), kBlackRgb);
    EXPECT_EQ(Centre(5, 2), kWhiteRgb);
    EXPECT_EQ(Centre(5, 6), kField);
    EXPECT_EQ(Pixel(Origin(5) + 4, Origin(6) + 21), kYellow);
    // The first ellipse shows only as a rim at the lower right: light on black, grey on white;
    // the mark is a yellow ring on the board colour.
    for (auto [x, y, rim] : {std::tuple{3, 4, qRgb(229, 229, 229)},
                             std::tuple{5, 2, qRgb(128, 128, 128)}, std::tuple{5, 6, kYellow}}) {
        EXPECT_EQ(Drawn(x, y), QRect(Origin(x) + 4, Origin(y) + 4, 36, 36)) << x << y;
        int lowerRight = 0, elsewhere = 0, other = 0;
        Scan(x, y, [&](int px, int py, QRgb c) {
            if (c == rim) ++(px > Origin(x) + 22 && py > Origin(y) + 22 ? lowerRight : elsewhere);
            other += c != rim && c != kField;
        });
        EXPECT_GT(lowerRight, 5) << x << y;
        EXPECT_EQ(rim == kYellow ? other : elsewhere, 0) << x << y;
    }
}

TEST_F(BoardViewTest, PressesAndReleasesMapToSquares) {
    const Board empty{};
    view.DrawBoard(empty.data());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const int far = 20 + 8 * 45;  // the field's right and bottom outer line
    const QPoint sixTwo(20 + 5 * 45 + 10, 20 + 75);
    const std::tuple<QPoint, Qt::MouseButton, const char*> cases[] = {
        {{5, 100}, Qt::LeftButton, ""},  // the frame on all four sides, then the outer lines
        {{100, 5}, Qt::LeftButton, ""},
        {{far + 10, 100}, Qt::LeftButton, ""},
        {{100, far + 10}, Qt::LeftButton, ""},
        {{far, 100}, Qt::LeftButton, ""},
        {{100, far}, Qt::LeftButton, ""},
        {{20 + 2 * 45, 20 + 4 * 45}, Qt::LeftButton, "[x=3, y=5](350+)(350-)"},  // grid lines
        {{20, 20}, Qt::LeftButton, "[x=1, y=1](110+)(110-)"},
        {{far - 1, far - 1}, Qt::LeftButton, "[x=8, y=8](880+)(880-)"},
        {sixTwo, Qt::RightButton, "[x=6, y=2](621+)(621-)"},
        {sixTwo, Qt::MiddleButton, "[x=6, y=2](622+)(622-)"},
    };
    for (const auto& [at, button, expected] : cases) {
        log.clear();
        QTest::mousePress(&view, button, {}, at);
        QTest::mouseRelease(&view, button, {}, at);
        EXPECT_EQ(log, expected) << at.x() << "," << at.y();
    }
    view.OnPut = nullptr;
    view.OnDebugText = nullptr;
    QTest::mouseClick(&view, Qt::LeftButton, {}, sixTwo);  // must not crash
}

// Black plays (4, 4), flipping in four directions; the white stone at (3, 5) is not enclosed.
class AnimateMoveTest : public BoardViewTest {
protected:
    const Board before = Parse("...X.... ...O.... ...O.... XOO.OOX. ..O.O... .....O.. ......X.");
    const Board after = Parse("...X.... ...X.... ...X.... XXXXXXX. ..O.X... .....X.. ......X.");
    // Directions in the order (-1,-1), (-1,0), ..., (1,1); near to far within each.
    const std::vector<PointData> flips{{3, 4}, {2, 4}, {4, 3}, {4, 2},
                                       {5, 4}, {6, 4}, {5, 5}, {6, 6}};
    // Each flipped square's look whenever the view waits.
    std::vector<std::vector<Look>> frames;
    void RecordFrames() {
        onWait = [this] {
            frames.emplace_back();
            for (const PointData& p : flips)
                frames.back().push_back(LookOf(p.x, p.y));
        };
    }
    // A stone as the empty square (8, 8) shows it.
    Look StoneLook(int value, int angle) {
        view.DrawStone(8, 8, value, angle);
        const Look look = LookOf(8, 8);
        view.DrawStone(8, 8, 0, 0);
        return look;
    }
};

TEST_F(AnimateMoveTest, SlowTurnsInListOrderFastAllTogether) {
    const std::size_t n = flips.size();
    for (const int speed : {0, 2}) {
        Board shown = before;
        if (speed == 2) shown[44] = shown[81] = 2;  // marks are stored as empty
        view.TurnSpeed = speed;
        view.DrawBoard(shown.data());
        const Look white = StoneLook(kWhite, 0), black = StoneLook(kBlack, 0);
        std::vector<Look> turning;  // frames 0..5 of a stone turning to black
        for (int k = 0; k < 6; ++k)
            turning.push_back(StoneLook(k < 3 ? kWhite : kBlack, kAngles[k]));
        std::vector<std::vector<Look>> expected;
        if (speed == 0) expected.emplace_back(n, white);  // the placed stone alone first
        for (std::size_t i = 0; i < (speed == 0 ? n : 1); ++i) {
            for (int k = 0; k < 6; ++k) {
                expected.emplace_back();
                for (std::size_t j = 0; j < n; ++j)
                    expected.back().push_back(speed == 2 || j == i ? turning[k]
                                              : j < i              ? black
                                                                   : white);
            }
        }
        frames.clear();
        RecordFrames();
        view.AnimateMove(after.data());
        EXPECT_EQ(frames, expected) << speed;
        EXPECT_EQ(Centre(4, 4), kBlackRgb) << speed;
        EXPECT_EQ(LookOf(3, 5), white) << speed;
        EXPECT_EQ(view.Squares, before) << speed;  // the game manager's DrawBoard stores the move
    }
}

TEST_F(AnimateMoveTest, SpeedsSetTheWaitsAndSounds) {
    const std::size_t n = flips.size();
    std::vector<std::string> turns{"PUT"};
    turns.insert(turns.end(), n, "TURN");
    std::vector<std::size_t> soundsAtWait, turnOrder{1};  // "TURN" before each stone's frames
    for (std::size_t i = 0; i < n; ++i)
        turnOrder.insert(turnOrder.end(), 6, 2 + i);
    onWait = [&] { soundsAtWait.push_back(sounds.size()); };
    struct Row {
        int speed;
        bool sound;
        int putWait, frameWait;
        std::size_t frames;
        std::vector<std::string> sounds;
    };
    for (const Row& row : {Row{0, true, 400, 40, 6 * n, turns}, Row{1, true, 300, 20, 6 * n, turns},
                           Row{1, false, 300, 20, 6 * n, {}}, Row{2, true, 0, 20, 6, {"PUT"}},
                           Row{2, false, 0, 20, 6, {}}}) {
        view.TurnSpeed = row.speed;
        view.SoundEffect = row.sound;
        view.DrawBoard(before.data());
        waits.clear();
        sounds.clear();
        soundsAtWait.clear();
        view.AnimateMove(after.data());
        std::vector<int> expected(row.frames, row.frameWait);
        if (row.putWait != 0) expected.insert(expected.begin(), row.putWait);
        EXPECT_EQ(waits, expected) << row.speed << row.sound;
        EXPECT_EQ(sounds, row.sounds) << row.speed << row.sound;
        if (row.sounds.size() > 1) {
            EXPECT_EQ(soundsAtWait, turnOrder) << row.speed;
        }
    }
}

TEST_F(AnimateMoveTest, HistoryStepsTakeSixQuietFramesEitherWay) {
    view.TurnSpeed = 0;  // not used by history steps
    for (const bool forward : {true, false}) {
        view.DrawBoard((forward ? before : after).data());
        waits.clear();
        std::vector<QRgb> turning;
        onWait = [&] { turning.push_back(Centre(6, 6)); };
        view.AnimateHistoryStep(forward, forward ? kBlack : kWhite, PointData(4, 4), flips);
        const QRgb was = forward ? kWhiteRgb : kBlackRgb;
        const QRgb now = forward ? kBlackRgb : kWhiteRgb;
        EXPECT_EQ(waits, std::vector<int>(6, 16)) << forward;
        EXPECT_TRUE(sounds.empty()) << forward;
        EXPECT_EQ(turning, (std::vector<QRgb>{was, was, turning[2], now, now, now})) << forward;
        for (const PointData& p : flips)
            EXPECT_EQ(Centre(p.x, p.y), now) << forward << p.x << p.y;
        EXPECT_EQ(Centre(4, 4), forward ? kBlackRgb : kField) << forward;  // backward erases
        EXPECT_EQ(view.Squares, forward ? after : before) << forward;
    }
}

}  // namespace
