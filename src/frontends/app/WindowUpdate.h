#pragma once

#include "app/TConfirm1Dlg.h"
#include "app/UpdateSounds.h"
#include "update/LinkHost.h"
#include "update/UpdateFrontEnd.h"
#include "update/UpdateSession.h"

#include <QPointer>

class TRXProgAppForm;

// The update command in the window: TB_Write, "アップデート" (Ctrl+U) and "書込" (F9) run the
// update sequence with the result window Confirm1Dlg, the two sounds and the main window's
// commands. The result window stays until the operator presses "確認".
class WindowUpdate final : public UpdateFrontEnd, public LinkHost {
public:
    // Takes over the window's update command for the window's lifetime.
    explicit WindowUpdate(TRXProgAppForm& form);
    ~WindowUpdate() override;

    // TB_WriteClick's work.
    void Run();
    // The result window while it is open (tests look at it).
    TConfirm1Dlg* ResultWindow() const { return Confirm1Dlg; }

    // LinkHost
    TFlashWrRXCont& Link() override;
    void RebuildLink() override;

    // UpdateFrontEnd
    void OpenResultWindow() override;
    void SetResultCaption(const QString& text) override;
    void SetResultMessage(const QString& text) override;
    void SetResultFontSize(int size) override;
    void SetResultColour(Colour colour) override;
    void SetResultWindowVisible(bool visible) override;
    void RaiseResultWindow() override;
    void ConfirmAndCloseResultWindow() override;
    void SetMainWindowEnabled(bool enabled) override;
    void SetUpdateCommandsEnabled(bool enabled) override;
    void PlaySound(Sound sound) override;

private:
    TRXProgAppForm& form_;
    UpdateSession session_;
    UpdateSounds sounds_;
    QPointer<TConfirm1Dlg> Confirm1Dlg;
};
