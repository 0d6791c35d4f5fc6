#include "app/UpdateSounds.h"

#ifdef Q_OS_WIN
#include "resources/EmbeddedResources.h"

#include <windows.h>

#include <mmsystem.h>

UpdateSounds::UpdateSounds()
    : ring_(EmbeddedResources::Find(QStringLiteral("WAVE"), QStringLiteral("Sound_ring5"))),
      alarm_(EmbeddedResources::Find(QStringLiteral("WAVE"), QStringLiteral("Sound_alarm1"))) {}

void UpdateSounds::Play(UpdateSound& sound) {
    // Asynchronous, from memory; no default beep when the sound cannot be played.
    if (!sound.isEmpty())
        sndPlaySoundW(reinterpret_cast<LPCWSTR>(sound.constData()),
                      SND_ASYNC | SND_MEMORY | SND_NODEFAULT);
}
#else
#include <QUrl>

UpdateSounds::UpdateSounds() {
    ring_.setSource(QUrl(QStringLiteral("qrc:/WAVE/Sound_ring5")));
    alarm_.setSource(QUrl(QStringLiteral("qrc:/WAVE/Sound_alarm1")));
}

void UpdateSounds::Play(UpdateSound& sound) {
    // A sound that could not be loaded, or no audio output, must never stop the program.
    if (sound.status() == QSoundEffect::Error)
        return;
    sound.stop();
    sound.play();
}
#endif
