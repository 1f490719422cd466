#include "Sound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <array>
#include <cstdint>

#include "TickCounter.h"

namespace {

struct SoundEntry {
    std::string_view Name;
    const char* Url;
};

constexpr std::array<SoundEntry, 3> kSounds{{
    {"PUT", "qrc:/sounds/put.wav"},
    {"TURN", "qrc:/sounds/turn.wav"},
    {"NOPUT", "qrc:/sounds/noput.wav"},
}};

// One preloaded effect per sound, owned by the application object so that they go with it.
std::array<QPointer<QSoundEffect>, kSounds.size()> effects;

void LoadEffects() {
    for (std::size_t i = 0; i < kSounds.size(); ++i) {
        if (effects[i].isNull()) {
            auto* effect = new QSoundEffect(QCoreApplication::instance());
            effect->setSource(QUrl(QString::fromLatin1(kSounds[i].Url)));
            effects[i] = effect;
        }
    }
}

QtMessageHandler outerHandler = nullptr;

// The audio backend reports a missing sound server as a warning when it first starts; a
// machine without sound is normal for this program, so that one line is dropped.
void DropNoServerWarning(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("PulseAudioService"))) return;
    if (outerHandler != nullptr) outerHandler(type, context, text);
}

bool HasAudioOutput() {
    static bool backendStarted = false;
    if (!backendStarted) {
        backendStarted = true;
        outerHandler = qInstallMessageHandler(DropNoServerWarning);
        const bool found = !QMediaDevices::defaultAudioOutput().isNull();
        qInstallMessageHandler(outerHandler);
        return found;
    }
    return !QMediaDevices::defaultAudioOutput().isNull();
}

}  // namespace

void PlaySoundResource(std::string_view name) {
    if (QCoreApplication::instance() == nullptr || !HasAudioOutput()) {
        return;
    }
    std::size_t index = 0;
    while (index < kSounds.size() && kSounds[index].Name != name)
        ++index;
    if (index == kSounds.size()) return;

    LoadEffects();
    for (auto& effect : effects) {
        if (effect->isPlaying()) effect->stop();
    }
    effects[index]->play();
}

void WaitMs(int ms) {
    if (ms <= 0) return;
    const std::uint32_t start = SystemTickCount();
    const auto wanted = static_cast<std::uint32_t>(ms);
    do {
        QThread::msleep(1);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    } while (SystemTickCount() - start < wanted);
}
