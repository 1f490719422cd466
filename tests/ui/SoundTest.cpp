#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include "Sound.h"

TEST(SoundTest, PlayingReturnsAtOnceAndWaitingHandlesEvents) {
    for (const char* name : {":/sounds/put.wav", ":/sounds/turn.wav", ":/sounds/noput.wav"}) {
        QFile file(QString::fromLatin1(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.read(4) == "RIFF") << name;
    }
    static int messageCount = 0;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString&) { ++messageCount; });
    QElapsedTimer timer;
    timer.start();
    for (const char* name : {"PUT", "TURN", "NOPUT", "NO_SUCH_SOUND"})
        PlaySoundResource(name);  // each cuts the one before off
    EXPECT_LT(timer.elapsed(), 1000);
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    WaitMs(0);
    WaitMs(-5);
    EXPECT_FALSE(fired);  // nothing to wait for: no events handled
    timer.start();
    WaitMs(30);  // also lets any asynchronous sound loading report
    qInstallMessageHandler(previous);
    // Whole-millisecond ticks: the first one may be partial.
    EXPECT_TRUE(timer.elapsed() >= 29 && timer.elapsed() < 1000) << timer.elapsed();
    EXPECT_TRUE(fired);
    EXPECT_EQ(messageCount, 0);  // no complaints, with or without an audio output
}
