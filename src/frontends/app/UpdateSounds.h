#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QByteArray>
#else
#include <QSoundEffect>
#endif

// One sound as it is kept for playing: on Windows the WAVE bytes themselves (the system plays
// them straight from memory, reading them while it plays); elsewhere a Qt Multimedia effect.
#ifdef Q_OS_WIN
using UpdateSound = QByteArray;
#else
using UpdateSound = QSoundEffect;
#endif

// The two sounds of the update's outcome, loaded once from the program's resources. Playing
// is asynchronous; without an audio device the sound is simply not heard.
class UpdateSounds {
public:
    UpdateSounds();
    void PlaySuccess() { Play(ring_); }
    void PlayFailure() { Play(alarm_); }

private:
    static void Play(UpdateSound& sound);

    UpdateSound ring_;  // Sound_ring5
    UpdateSound alarm_; // Sound_alarm1
};
