#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTimer>
#include <QtEndian>

#include "Sound.h"
#include "UiResources.h"

namespace {

TEST(ResourcesTest, SoundsAreShortMonoPcmWavesAndIconsHaveTheirSizes) {
    for (const char* name : {":/sounds/put.wav", ":/sounds/turn.wav", ":/sounds/noput.wav"}) {
        QFile file(QString::fromLatin1(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = file.readAll();
        ASSERT_GE(bytes.size(), 44) << name;
        EXPECT_EQ(bytes.left(4) + bytes.mid(8, 8), "RIFFWAVEfmt ") << name;
        EXPECT_EQ(bytes.mid(20, 4), QByteArray("\x01\x00\x01\x00", 4)) << name;  // PCM, mono
        EXPECT_EQ(bytes.mid(34, 6), QByteArray("\x10\x00"
                                               "data",
                                               6))
            << name;  // 16 bits
        const double rate = qFromLittleEndian<quint32>(bytes.constData() + 24);
        const double ms = static_cast<double>(bytes.size() - 44) / (2 * rate / 1000);
        EXPECT_TRUE(ms >= 20 && ms <= 300) << name << " lasts " << ms << " ms";
    }
    for (const char* path : kToolBarIcons)
        EXPECT_EQ(QImage(QString::fromLatin1(path)).size(), QSize(16, 16)) << path;
    EXPECT_TRUE(ProgramIcon().availableSizes().contains(QSize(32, 32)));
}

int messageCount = 0;

TEST(SoundTest, PlayingAndWaiting) {
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString&) { ++messageCount; });
    QElapsedTimer timer;
    timer.start();
    for (const char* name : {"PUT", "TURN", "NOPUT", "NO_SUCH_SOUND"})
        PlaySoundResource(name);  // returns at once, each cutting the one before off
    EXPECT_LT(timer.elapsed(), 1000);
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    WaitMs(0);
    WaitMs(-5);
    EXPECT_FALSE(fired);  // nothing to wait for: no events handled
    timer.start();
    WaitMs(30);  // handles events meanwhile, and lets any asynchronous loading report
    qInstallMessageHandler(previous);
    EXPECT_GE(timer.elapsed(), 29);  // whole-millisecond ticks: the first one may be partial
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_TRUE(fired);
    EXPECT_EQ(messageCount, 0);  // no complaints, sound or no sound
}

}  // namespace
