#pragma once

#include "app/UpdateView.h"
#include "update/RunEvent.h"

// The window's reaction to an update's events: the result window opens when the sequence
// begins, follows the steps, hides while the chip updater runs, and ends with a large blue
// "OK" or red "NG", the sound and the commands as the outcome has them. A run refused before
// its sequence began shows nothing here (its lines are in the log).
class UpdatePresenter {
public:
    explicit UpdatePresenter(UpdateView& view) : view_(view) {}

    // A subscriber of the device's events.
    void Take(const RunEvent& event);
    // The operator has seen the result and pressed "確認".
    void Confirmed();
    // The result window is up, from the sequence's start until it is confirmed.
    bool ResultShown() const { return shown_; }

private:
    void Finish(const RunOutcome& outcome);

    UpdateView& view_;
    bool shown_ = false;
};
