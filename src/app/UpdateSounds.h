#pragma once

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QByteArray>
#else
#include <QSoundEffect>
#endif

// The two sounds of the update's outcome, loaded once from the program's resources. Playing
// is asynchronous; without an audio device the sound is simply not heard. Windows plays the
// WAVE straight from memory with its own call; elsewhere Qt Multimedia plays it.
class UpdateSounds {
public:
#ifdef Q_OS_WIN
    // The WAVE bytes, kept for the program's lifetime: the system reads them while it plays.
    using Sound = QByteArray;
#else
    using Sound = QSoundEffect;
#endif

    UpdateSounds();
    void PlaySuccess() { Play(ring_); }
    void PlayFailure() { Play(alarm_); }

private:
    static void Play(Sound& sound);

    Sound ring_;  // Sound_ring5
    Sound alarm_; // Sound_alarm1
};
