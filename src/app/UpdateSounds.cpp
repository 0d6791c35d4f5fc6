#include "app/UpdateSounds.h"

#include <QUrl>

UpdateSounds::UpdateSounds() {
    ring_.setSource(QUrl(QStringLiteral("qrc:/WAVE/Sound_ring5")));
    alarm_.setSource(QUrl(QStringLiteral("qrc:/WAVE/Sound_alarm1")));
}

void UpdateSounds::Play(QSoundEffect& sound) {
    // A sound that could not be loaded, or no audio output, must never stop the program.
    if (sound.status() == QSoundEffect::Error)
        return;
    sound.stop();
    sound.play();
}
