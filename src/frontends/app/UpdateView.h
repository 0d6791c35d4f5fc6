#pragma once

#include <QString>

// What the window shows of an update: the result window (Confirm1Dlg), the main window's
// state, step title, address, gauge and update commands, and the two sounds. The window draws
// it with its widgets; tests record it.
class UpdateView {
public:
    enum class Colour { Blue, Red };
    enum class Sound { Success, Failure }; // Sound_ring5, Sound_alarm1

    virtual ~UpdateView() = default;

    // Creates and shows the result window for a run, not modal: its button disabled, both
    // labels empty, the window itself disabled, Label1 at size 18, brought to the front.
    virtual void OpenResultWindow() = 0;
    virtual void SetResultCaption(const QString& text) = 0; // Label1
    virtual void SetResultMessage(const QString& text) = 0; // Label2
    virtual void SetResultFontSize(int size) = 0;           // Label1
    virtual void SetResultColour(Colour colour) = 0;        // Label1
    // Hidden while the chip updater runs, shown again afterwards.
    virtual void SetResultWindowVisible(bool visible) = 0;
    virtual void RaiseResultWindow() = 0;
    // Enables the window and its "確認" button; the window stays until the operator presses
    // it (then UpdatePresenter::Confirmed).
    virtual void OfferConfirmation() = 0;

    virtual void SetMainWindowEnabled(bool enabled) = 0;
    // TB_Write and the menu MnFarm.
    virtual void SetUpdateCommandsEnabled(bool enabled) = 0;
    virtual void SetStepTitle(const QString& text) = 0;   // STTitle
    virtual void SetAddressText(const QString& text) = 0; // STAddr
    virtual void SetGauge(int percent) = 0;               // CGauge1
    // Played once, asynchronously; a missing audio device is not an error.
    virtual void PlaySound(Sound sound) = 0;
};
