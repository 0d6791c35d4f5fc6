#pragma once

#include <QSoundEffect>

// The two sounds of the update's outcome, loaded once from the program's resources. Playing
// is asynchronous; without an audio device the sound is simply not heard.
class UpdateSounds {
public:
    UpdateSounds();
    void PlaySuccess() { Play(ring_); }
    void PlayFailure() { Play(alarm_); }

private:
    static void Play(QSoundEffect& sound);

    QSoundEffect ring_;  // Sound_ring5
    QSoundEffect alarm_; // Sound_alarm1
};
