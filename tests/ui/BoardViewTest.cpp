#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QTest>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "Othelloboard.h"

namespace {

using Board = std::array<int, 100>;

constexpr int kBlack = 1;
constexpr int kWhite = -1;
constexpr int kMark = 2;

Board EmptyBoard() {
    return Board{};
}

void Put(Board& board, int x, int y, int value) {
    board[x * 10 + y] = value;
}

QRgb Rgb(int r, int g, int b) {
    return qRgb(r, g, b);
}

QRgb Unpacked(int packed) {
    return qRgb(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
}

// A board view sized like the normal board, whose waits and sounds are recorded instead of
// really waiting and playing.
class BoardViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.CellSize = 45;
        view.Margin = 20;
        view.BoardColor = 0x30A050;  // red 0x50, green 0xA0, blue 0x30
        view.WaitFunction = [this](int ms) {
            waits.push_back(ms);
            if (onWait) onWait();
        };
        view.SoundFunction = [this](std::string_view name) { sounds.emplace_back(name); };
        view.OnPut = [this](int x, int y, int button, bool pressed) {
            puts.push_back({x, y, button, pressed});
        };
        view.OnDebugText = [this](const std::string& text) { debugLines.push_back(text); };
    }

    // Leftmost pixel of a square in the field bitmap (just right of its grid line).
    int CellOrigin(int i) const { return (i - 1) * view.CellSize + 1; }

    QRgb Pixel(int px, int py) const { return view.BoardBitmap.pixel(px, py) | 0xFF000000u; }

    QRgb CellCentre(int x, int y) const {
        return Pixel(CellOrigin(x) + view.CellSize / 2, CellOrigin(y) + view.CellSize / 2);
    }

    // Pixels of the square's middle row that are not the board colour: the stone's drawn width.
    int DrawnWidth(int x, int y) const {
        const int row = CellOrigin(y) + view.CellSize / 2;
        int count = 0;
        for (int px = CellOrigin(x); px < CellOrigin(x) + view.CellSize - 1; ++px) {
            if (Pixel(px, row) != Unpacked(view.BoardColor)) ++count;
        }
        return count;
    }

    // Bounding box of the pixels of a square that are not the board colour.
    QRect DrawnBounds(int x, int y) const {
        QRect bounds;
        for (int py = CellOrigin(y); py < CellOrigin(y) + view.CellSize - 1; ++py) {
            for (int px = CellOrigin(x); px < CellOrigin(x) + view.CellSize - 1; ++px) {
                if (Pixel(px, py) != Unpacked(view.BoardColor)) bounds |= QRect(px, py, 1, 1);
            }
        }
        return bounds;
    }

    // What a square shows at the moment: its centre colour and its drawn width.
    struct Look {
        QRgb Centre;
        int Width;
        bool operator==(const Look&) const = default;
    };
    Look LookOf(int x, int y) const { return {CellCentre(x, y), DrawnWidth(x, y)}; }

    void ShowView() {
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    struct PutCall {
        int x, y, button;
        bool pressed;
        bool operator==(const PutCall&) const = default;
    };

    OthelloBoard view;
    std::vector<int> waits;
    std::vector<std::string> sounds;
    std::vector<PutCall> puts;
    std::vector<std::string> debugLines;
    std::function<void()> onWait;
};

TEST_F(BoardViewTest, GeometryFollowsCellSizeAndMargin) {
    struct Size {
        int cell, margin, field, control;
    };
    for (const Size& size :
         {Size{35, 15, 281, 311}, Size{45, 20, 361, 401}, Size{55, 24, 441, 489}}) {
        view.CellSize = size.cell;
        view.Margin = size.margin;
        const Board board = EmptyBoard();
        view.DrawBoard(board.data());
        EXPECT_EQ(view.BoardBitmap.size(), QSize(size.field, size.field)) << size.cell;
        EXPECT_EQ(view.size(), QSize(size.control, size.control)) << size.cell;
        EXPECT_EQ(view.sizeHint(), QSize(size.control, size.control)) << size.cell;
    }
}

TEST_F(BoardViewTest, ShownControlHasFramePictureAroundTheField) {
    Board board = EmptyBoard();
    Put(board, 4, 4, kWhite);
    view.DrawBoard(board.data());
    ShowView();
    const QImage shown = view.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(401, 401));
    // The frame is the dark red of the background picture.
    const QColor frame = shown.pixelColor(5, 200);
    EXPECT_GT(frame.red(), 2 * frame.green());
    EXPECT_GT(frame.red(), 2 * frame.blue());
    // The field is the back buffer, placed at (Margin, Margin).
    for (QPoint p : {QPoint(0, 0), QPoint(100, 100), QPoint(157, 157), QPoint(360, 360)}) {
        EXPECT_EQ(shown.pixel(p + QPoint(20, 20)) | 0xFF000000u, Pixel(p.x(), p.y())) << p.x();
    }
}

TEST_F(BoardViewTest, GridDotsAndEmptySquares) {
    const Board board = EmptyBoard();
    view.DrawBoard(board.data());
    const QRgb black = Rgb(0, 0, 0);
    const QRgb field = Unpacked(view.BoardColor);
    const int last = 8 * view.CellSize;  // the last line and pixel of the field
    EXPECT_EQ(Pixel(0, 10), black);
    EXPECT_EQ(Pixel(10, 0), black);
    EXPECT_EQ(Pixel(last, 10), black);
    EXPECT_EQ(Pixel(10, last), black);
    EXPECT_EQ(Pixel(last, last), black);
    EXPECT_EQ(Pixel(view.CellSize, 30), black);
    EXPECT_EQ(Pixel(view.CellSize + 1, 30), field);
    EXPECT_EQ(CellCentre(1, 1), field);
    // Each of the four dots spans 7 pixels across its centre.
    for (int a : {2 * view.CellSize, 6 * view.CellSize}) {
        for (int b : {2 * view.CellSize, 6 * view.CellSize}) {
            EXPECT_EQ(Pixel(a - 3, b), black);
            EXPECT_EQ(Pixel(a + 3, b), black);
            EXPECT_EQ(Pixel(a, b - 3), black);
            EXPECT_EQ(Pixel(a, b + 3), black);
            EXPECT_EQ(Pixel(a - 4, b - 1), field);
            EXPECT_EQ(Pixel(a + 4, b + 1), field);
            EXPECT_EQ(Pixel(a + 1, b + 4), field);
        }
    }
}

TEST_F(BoardViewTest, StonesMarksAndStoredSquares) {
    Board board = EmptyBoard();
    Put(board, 3, 4, kBlack);
    Put(board, 5, 2, kWhite);
    Put(board, 5, 6, kMark);
    view.Squares.fill(7);  // everything must be overwritten, border included
    view.Squares[0] = 0;
    view.DrawBoard(board.data());

    EXPECT_EQ(view.Squares[34], kBlack);
    EXPECT_EQ(view.Squares[52], kWhite);
    EXPECT_EQ(view.Squares[56], 0);  // marks are not remembered
    EXPECT_EQ(view.Squares[11], 0);
    EXPECT_EQ(view.Squares[88], 0);

    EXPECT_EQ(CellCentre(3, 4), Rgb(0, 0, 0));
    EXPECT_EQ(CellCentre(5, 2), Rgb(255, 255, 255));
    EXPECT_EQ(CellCentre(5, 6), Unpacked(view.BoardColor));

    // Stone diameter 35 in a 45 square: the lower ellipse starts 5 pixels into the square and the
    // upper one a pixel up and left, so together they cover 36 pixels each way.
    const int d = 35;
    for (auto [x, y] : {std::pair{3, 4}, std::pair{5, 2}, std::pair{5, 6}}) {
        const QRect bounds = DrawnBounds(x, y);
        EXPECT_EQ(bounds, QRect(CellOrigin(x) + 4, CellOrigin(y) + 4, d + 1, d + 1)) << x << y;
    }

    // The rim of the lower ellipse shows only towards the lower right.
    auto rimPixels = [&](int x, int y, QRgb rim) {
        int lowerRight = 0, elsewhere = 0;
        const int cx = CellOrigin(x) + view.CellSize / 2;
        const int cy = CellOrigin(y) + view.CellSize / 2;
        for (int py = CellOrigin(y); py < CellOrigin(y) + view.CellSize - 1; ++py) {
            for (int px = CellOrigin(x); px < CellOrigin(x) + view.CellSize - 1; ++px) {
                if (Pixel(px, py) != rim) continue;
                (px > cx && py > cy ? lowerRight : elsewhere)++;
            }
        }
        return std::pair{lowerRight, elsewhere};
    };
    const auto [blackRim, blackElsewhere] = rimPixels(3, 4, Rgb(229, 229, 229));
    EXPECT_GT(blackRim, 5);
    EXPECT_EQ(blackElsewhere, 0);
    const auto [whiteRim, whiteElsewhere] = rimPixels(5, 2, Rgb(128, 128, 128));
    EXPECT_GT(whiteRim, 5);
    EXPECT_EQ(whiteElsewhere, 0);

    // The mark is a yellow ring: its leftmost column in the middle row is yellow.
    const QRgb yellow = Rgb(255, 255, 0);
    EXPECT_EQ(Pixel(CellOrigin(5) + 4, CellOrigin(6) + 4 + d / 2), yellow);
    int yellowCount = 0;
    const QRect ring = DrawnBounds(5, 6);
    for (int py = ring.top(); py <= ring.bottom(); ++py) {
        for (int px = ring.left(); px <= ring.right(); ++px) {
            const QRgb c = Pixel(px, py);
            EXPECT_TRUE(c == yellow || c == Unpacked(view.BoardColor)) << px << "," << py;
            if (c == yellow) ++yellowCount;
        }
    }
    EXPECT_GT(yellowCount, 60);
}

TEST_F(BoardViewTest, StoneSizesPerBoardSizeAndEdgeOn) {
    for (auto [cell, margin, diameter] : {std::tuple{35, 15, 27}, std::tuple{55, 24, 42}}) {
        view.CellSize = cell;
        view.Margin = margin;
        Board board = EmptyBoard();
        Put(board, 8, 8, kBlack);
        view.DrawBoard(board.data());
        EXPECT_EQ(DrawnBounds(8, 8).width(), diameter + 1) << cell;
        // At 90 degrees the stone is seen edge-on: a line, not a disc.
        view.DrawStone(8, 8, kBlack, 90);
        EXPECT_LE(DrawnWidth(8, 8), 2) << cell;
        EXPECT_EQ(DrawnBounds(8, 8).height(), diameter + 1) << cell;
    }
}

TEST_F(BoardViewTest, PressesInTheFrameOrOnTheOuterLinesAreIgnored) {
    const Board board = EmptyBoard();
    view.DrawBoard(board.data());
    ShowView();
    const int far = 20 + 8 * 45;  // the right or bottom outer line of the field
    for (QPoint p : {QPoint(5, 100), QPoint(100, 5), QPoint(19, 19), QPoint(far, 100),
                     QPoint(100, far), QPoint(far + 10, 100), QPoint(100, far + 10)}) {
        QTest::mousePress(&view, Qt::LeftButton, {}, p);
        QTest::mouseRelease(&view, Qt::LeftButton, {}, p);
    }
    EXPECT_TRUE(puts.empty());
    EXPECT_TRUE(debugLines.empty());
}

TEST_F(BoardViewTest, PressOnAGridLineBelongsToTheSquareRightAndBelow) {
    const Board board = EmptyBoard();
    view.DrawBoard(board.data());
    ShowView();
    // The line between columns 2 and 3 and the line between rows 4 and 5.
    const QPoint onLines(20 + 2 * 45, 20 + 4 * 45);
    QTest::mousePress(&view, Qt::LeftButton, {}, onLines);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, onLines);
    ASSERT_EQ(debugLines, std::vector<std::string>{"x=3, y=5"});
    EXPECT_EQ(puts, (std::vector<PutCall>{{3, 5, 0, true}, {3, 5, 0, false}}));

    // The last pixel before the outer line still belongs to square 8.
    puts.clear();
    const QPoint lastInside(20 + 8 * 45 - 1, 20);
    QTest::mousePress(&view, Qt::LeftButton, {}, lastInside);
    EXPECT_EQ(debugLines.back(), "x=8, y=1");
    EXPECT_EQ(puts, (std::vector<PutCall>{{8, 1, 0, true}}));
}

TEST_F(BoardViewTest, RightAndMiddleButtonsReachOnPutWithTheirCodes) {
    const Board board = EmptyBoard();
    view.DrawBoard(board.data());
    ShowView();
    const QPoint square6x2(20 + 5 * 45 + 10, 20 + 45 + 30);
    QTest::mousePress(&view, Qt::RightButton, {}, square6x2);
    QTest::mouseRelease(&view, Qt::RightButton, {}, square6x2);
    QTest::mousePress(&view, Qt::MiddleButton, {}, square6x2);
    QTest::mouseRelease(&view, Qt::MiddleButton, {}, square6x2);
    EXPECT_EQ(puts, (std::vector<PutCall>{
                        {6, 2, 1, true}, {6, 2, 1, false}, {6, 2, 2, true}, {6, 2, 2, false}}));
    // Only presses write the debug line.
    EXPECT_EQ(debugLines, (std::vector<std::string>{"x=6, y=2", "x=6, y=2"}));
}

TEST_F(BoardViewTest, PressWithoutHandlersDoesNothing) {
    view.OnPut = nullptr;
    view.OnDebugText = nullptr;
    const Board board = EmptyBoard();
    view.DrawBoard(board.data());
    ShowView();
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(puts.empty());
}

// Black plays d4 (4, 4) and flips in four directions; a white stone next to it that is not
// enclosed stays white.
class AnimateMoveTest : public BoardViewTest {
protected:
    void SetUp() override {
        BoardViewTest::SetUp();
        for (auto [x, y] : {std::pair{1, 4}, std::pair{4, 1}, std::pair{7, 4}, std::pair{7, 7}}) {
            Put(before, x, y, kBlack);
        }
        for (auto [x, y] :
             {std::pair{2, 4}, std::pair{3, 4}, std::pair{4, 2}, std::pair{4, 3}, std::pair{5, 4},
              std::pair{6, 4}, std::pair{5, 5}, std::pair{6, 6}, std::pair{3, 5}}) {
            Put(before, x, y, kWhite);
        }
        after = before;
        Put(after, 4, 4, kBlack);
        for (const PointData& p : expectedFlips)
            Put(after, p.x, p.y, kBlack);
    }

    // Directions in the order (-1,-1), (-1,0), ..., (1,1); near to far within each.
    const std::vector<PointData> expectedFlips{{3, 4}, {2, 4}, {4, 3}, {4, 2},
                                               {5, 4}, {6, 4}, {5, 5}, {6, 6}};
    Board before = EmptyBoard();
    Board after = EmptyBoard();
};

TEST_F(AnimateMoveTest, OneStoneAfterAnotherInDirectionOrder) {
    view.TurnSpeed = 0;
    view.DrawBoard(before.data());
    const Look fullWhite = LookOf(3, 4);
    const Look emptyLook = LookOf(8, 8);

    std::vector<std::vector<Look>> frames;  // the flipped squares' looks at every wait
    std::vector<std::size_t> soundsAtWait;
    onWait = [&] {
        std::vector<Look> looks;
        for (const PointData& p : expectedFlips)
            looks.push_back(LookOf(p.x, p.y));
        frames.push_back(looks);
        soundsAtWait.push_back(sounds.size());
    };
    view.AnimateMove(after.data());

    const std::size_t n = expectedFlips.size();
    std::vector<int> expectedWaits{400};
    expectedWaits.insert(expectedWaits.end(), 6 * n, 40);
    EXPECT_EQ(waits, expectedWaits);
    std::vector<std::string> expectedSounds{"PUT"};
    expectedSounds.insert(expectedSounds.end(), n, "TURN");
    EXPECT_EQ(sounds, expectedSounds);

    // Before the first wait the placed stone is shown and nothing has turned yet.
    ASSERT_EQ(frames.size(), 1 + 6 * n);
    EXPECT_EQ(CellCentre(4, 4), Rgb(0, 0, 0));
    EXPECT_NE(LookOf(4, 4), emptyLook);
    for (std::size_t j = 0; j < n; ++j)
        EXPECT_EQ(frames[0][j], fullWhite);

    for (std::size_t j = 0; j < n; ++j) {
        EXPECT_EQ(soundsAtWait[1 + 6 * j], 2 + j) << "TURN before the frames of flip " << j;
        const Look* turning[6];
        for (int k = 0; k < 6; ++k) {
            const std::vector<Look>& frame = frames[1 + 6 * j + k];
            turning[k] = &frame[j];
            for (std::size_t other = 0; other < n; ++other) {
                if (other == j) continue;
                // Stones earlier in the list are already black, later ones still white.
                if (other < j) {
                    EXPECT_EQ(frame[other].Centre, Rgb(0, 0, 0)) << j << "/" << other;
                } else {
                    EXPECT_EQ(frame[other], fullWhite) << j << "/" << other;
                }
                EXPECT_EQ(frame[other].Width, fullWhite.Width);
            }
        }
        // Narrowing white, edge-on (its rim line runs through the centre), widening black.
        for (int k = 0; k < 2; ++k) {
            EXPECT_EQ(turning[k]->Centre, Rgb(255, 255, 255)) << j << k;
        }
        for (int k = 3; k < 6; ++k) {
            EXPECT_EQ(turning[k]->Centre, Rgb(0, 0, 0)) << j << k;
        }
        EXPECT_GT(fullWhite.Width, turning[0]->Width);
        EXPECT_GT(turning[0]->Width, turning[1]->Width);
        EXPECT_GT(turning[1]->Width, turning[2]->Width);
        EXPECT_LE(turning[2]->Width, 2);
        EXPECT_EQ(turning[3]->Width, turning[1]->Width);
        EXPECT_EQ(turning[4]->Width, turning[0]->Width);
        EXPECT_EQ(turning[5]->Width, fullWhite.Width);
    }
    // The square that was not enclosed is untouched, and Squares still holds the old position.
    EXPECT_EQ(LookOf(3, 5), fullWhite);
    EXPECT_EQ(view.Squares, before);
}

TEST_F(AnimateMoveTest, NormalSpeedWaitsLess) {
    view.TurnSpeed = 1;
    view.DrawBoard(before.data());
    view.AnimateMove(after.data());
    std::vector<int> expectedWaits{300};
    expectedWaits.insert(expectedWaits.end(), 6 * expectedFlips.size(), 20);
    EXPECT_EQ(waits, expectedWaits);
}

TEST_F(AnimateMoveTest, FastSpeedTurnsAllTogetherWithOnlyThePutSound) {
    view.TurnSpeed = 2;
    view.DrawBoard(before.data());
    std::vector<std::vector<Look>> frames;
    onWait = [&] {
        std::vector<Look> looks;
        for (const PointData& p : expectedFlips)
            looks.push_back(LookOf(p.x, p.y));
        frames.push_back(looks);
    };
    view.AnimateMove(after.data());
    EXPECT_EQ(waits, std::vector<int>(6, 20));
    EXPECT_EQ(sounds, std::vector<std::string>{"PUT"});
    ASSERT_EQ(frames.size(), 6u);
    for (int k = 0; k < 6; ++k) {
        for (const Look& look : frames[k])
            EXPECT_EQ(look, frames[k][0]) << "frame " << k;
        if (k != 2) {
            EXPECT_EQ(frames[k][0].Centre, k < 2 ? Rgb(255, 255, 255) : Rgb(0, 0, 0)) << k;
        }
    }
    EXPECT_LE(frames[2][0].Width, 2);
}

TEST_F(AnimateMoveTest, SoundOffKeepsTheWaits) {
    view.TurnSpeed = 1;
    view.SoundEffect = false;
    view.DrawBoard(before.data());
    view.AnimateMove(after.data());
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(waits.size(), 1 + 6 * expectedFlips.size());
}

TEST_F(AnimateMoveTest, PlacedStoneFoundOnAMarkedSquare) {
    view.TurnSpeed = 2;
    Board marked = before;
    Put(marked, 4, 4, kMark);
    Put(marked, 8, 1, kMark);
    view.DrawBoard(marked.data());
    view.AnimateMove(after.data());
    EXPECT_EQ(CellCentre(4, 4), Rgb(0, 0, 0));
    for (const PointData& p : expectedFlips)
        EXPECT_EQ(CellCentre(p.x, p.y), Rgb(0, 0, 0));
    EXPECT_EQ(CellCentre(3, 5), Rgb(255, 255, 255));
}

TEST_F(AnimateMoveTest, HistoryStepBackwardErasesAndTurnsBack) {
    view.DrawBoard(after.data());
    const Look emptyLook = LookOf(8, 8);
    std::vector<Look> turning;
    onWait = [&] { turning.push_back(LookOf(6, 6)); };
    view.AnimateHistoryStep(false, kWhite, PointData(4, 4), expectedFlips);

    EXPECT_EQ(waits, std::vector<int>(6, 16));
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(LookOf(4, 4), emptyLook);
    for (const PointData& p : expectedFlips)
        EXPECT_EQ(CellCentre(p.x, p.y), Rgb(255, 255, 255));
    ASSERT_EQ(turning.size(), 6u);
    EXPECT_EQ(turning[0].Centre, Rgb(0, 0, 0));
    EXPECT_EQ(turning[5].Centre, Rgb(255, 255, 255));
    EXPECT_EQ(view.Squares, before);
}

TEST_F(AnimateMoveTest, HistoryStepForwardPlacesAndTurns) {
    view.TurnSpeed = 0;  // not used by history steps
    view.DrawBoard(before.data());
    view.AnimateHistoryStep(true, kBlack, PointData(4, 4), expectedFlips);
    EXPECT_EQ(waits, std::vector<int>(6, 16));
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(view.Squares, after);
    for (const PointData& p : expectedFlips)
        EXPECT_EQ(CellCentre(p.x, p.y), Rgb(0, 0, 0));
    EXPECT_EQ(CellCentre(4, 4), Rgb(0, 0, 0));
}

}  // namespace
