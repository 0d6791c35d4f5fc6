#pragma once

#include <QString>

// What the update sequence asks of a front end beyond the link's operator interface: the
// result window (Confirm1Dlg), the main window's enabled state and update commands, and the
// sounds. The window answers with its dialog, the CLI with the console, tests with a record.
class UpdateFrontEnd {
public:
    enum class Colour { Blue, Red };
    enum class Sound { Success, Failure }; // Sound_ring5, Sound_alarm1

    virtual ~UpdateFrontEnd() = default;

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
    // Enables the window and its "確認" button, then closes and destroys it. A window front
    // end keeps it until the operator confirms; a headless one does not wait.
    virtual void ConfirmAndCloseResultWindow() = 0;

    virtual void SetMainWindowEnabled(bool enabled) = 0;
    // TB_Write and the menu MnFarm.
    virtual void SetUpdateCommandsEnabled(bool enabled) = 0;
    // The chip updater's run is over; `execResult` is what ExecChildProcess returned (0: it
    // ran and its exit code was printed, without a line feed).
    virtual void ChipUpdaterEnded(int /*execResult*/) {}
    // Played once, asynchronously; a missing audio device is not an error.
    virtual void PlaySound(Sound sound) = 0;
};
