#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTimer>
#include <QtEndian>
#include <string>
#include <vector>

#include "Sound.h"
#include "UiResources.h"

namespace {

QByteArray ReadResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// The canonical 44-byte header of a PCM wave file.
struct WaveInfo {
    bool Valid = false;
    int Channels = 0;
    int SampleRate = 0;
    int BitsPerSample = 0;
    int DataBytes = 0;
};

WaveInfo ParseWave(const QByteArray& bytes) {
    WaveInfo info;
    if (bytes.size() < 44 || !bytes.startsWith("RIFF") || bytes.mid(8, 8) != "WAVEfmt ") {
        return info;
    }
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const int format = qFromLittleEndian<quint16>(data + 20);
    info.Channels = qFromLittleEndian<quint16>(data + 22);
    info.SampleRate = static_cast<int>(qFromLittleEndian<quint32>(data + 24));
    info.BitsPerSample = qFromLittleEndian<quint16>(data + 34);
    info.DataBytes = static_cast<int>(qFromLittleEndian<quint32>(data + 40));
    info.Valid = format == 1 && bytes.mid(36, 4) == "data" && info.DataBytes == bytes.size() - 44;
    return info;
}

TEST(ResourcesTest, SoundsAreShortPcmWaves) {
    for (const char* name : {":/sounds/put.wav", ":/sounds/turn.wav", ":/sounds/noput.wav"}) {
        const WaveInfo info = ParseWave(ReadResource(QString::fromLatin1(name)));
        ASSERT_TRUE(info.Valid) << name;
        EXPECT_EQ(info.Channels, 1) << name;
        EXPECT_EQ(info.BitsPerSample, 16) << name;
        const double ms = 1000.0 * info.DataBytes / (2.0 * info.SampleRate);
        EXPECT_GE(ms, 20) << name;
        EXPECT_LE(ms, 300) << name;
    }
}

TEST(ResourcesTest, BackgroundIsADarkRedFrameAroundAWhiteField) {
    const QImage back(QString::fromLatin1(kBackBoardImage));
    ASSERT_FALSE(back.isNull());
    EXPECT_NEAR(back.width(), 501, 10);
    EXPECT_NEAR(back.height(), 504, 10);
    EXPECT_FALSE(back.hasAlphaChannel());
    for (QPoint p : {QPoint(10, 250), QPoint(250, 10), QPoint(490, 250), QPoint(250, 494)}) {
        const QColor c = back.pixelColor(p);
        EXPECT_GT(c.red(), 2 * c.green()) << p.x() << "," << p.y();
        EXPECT_LT(c.red(), 200) << p.x() << "," << p.y();
    }
    EXPECT_EQ(back.pixelColor(250, 250), QColor(Qt::white));
}

TEST(ResourcesTest, ToolBarIconsAre16PixelPictures) {
    for (const char* path : kToolBarIcons) {
        const QImage icon(QString::fromLatin1(path));
        ASSERT_FALSE(icon.isNull()) << path;
        EXPECT_EQ(icon.size(), QSize(16, 16)) << path;
        int opaque = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x)
                opaque += qAlpha(icon.pixel(x, y)) > 128;
        }
        EXPECT_GT(opaque, 20) << path;
        EXPECT_LT(opaque, 256) << path << " has a transparent background";
    }
    // Start is a triangle pointing right: its left half holds more of it than its right half.
    const QImage start(QString::fromLatin1(kToolBarIcons[0]));
    int left = 0, right = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool on = qAlpha(start.pixel(x, y)) > 128;
            (x < 8 ? left : right) += on;
            if (on) {
                EXPECT_GT(qBlue(start.pixel(x, y)), qRed(start.pixel(x, y)));
            }
        }
    }
    EXPECT_GT(left, right);
}

TEST(ResourcesTest, ProgramIconHasThe32PixelSize) {
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
}

// Collects every Qt message while alive.
class MessageCatcher {
public:
    MessageCatcher() { previous_ = qInstallMessageHandler(&MessageCatcher::Catch); }
    ~MessageCatcher() { qInstallMessageHandler(previous_); }
    static std::vector<std::string>& Messages() {
        static std::vector<std::string> messages;
        return messages;
    }

private:
    static void Catch(QtMsgType, const QMessageLogContext&, const QString& text) {
        Messages().push_back(text.toStdString());
    }
    QtMessageHandler previous_;
};

TEST(SoundTest, PlayingReturnsAtOnceAndComplainsAboutNothing) {
    MessageCatcher catcher;
    MessageCatcher::Messages().clear();
    QElapsedTimer timer;
    timer.start();
    PlaySoundResource("PUT");
    PlaySoundResource("TURN");  // cuts the first one off
    PlaySoundResource("NOPUT");
    PlaySoundResource("NO_SUCH_SOUND");
    EXPECT_LT(timer.elapsed(), 1000);
    WaitMs(50);  // let any asynchronous loading report
    EXPECT_TRUE(MessageCatcher::Messages().empty()) << MessageCatcher::Messages().front();
}

TEST(WaitTest, WaitsTheTimeAndHandlesEvents) {
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    QElapsedTimer timer;
    timer.start();
    WaitMs(30);
    EXPECT_GE(timer.elapsed(), 29);  // whole-millisecond ticks: the first one may be partial
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_TRUE(fired);
}

TEST(WaitTest, NothingToWaitForReturnsAtOnce) {
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    WaitMs(0);
    WaitMs(-5);
    EXPECT_FALSE(fired);
    QCoreApplication::processEvents();
    EXPECT_TRUE(fired);
}

}  // namespace
