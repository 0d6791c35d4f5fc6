#pragma once

#include "app/TConfirm1Dlg.h"
#include "app/UpdatePresenter.h"
#include "app/UpdateSounds.h"
#include "app/UpdateView.h"

#include <QPointer>

class TRXProgAppForm;
struct RunEvent;

// The update command in the window: TB_Write, "アップデート" (Ctrl+U) and "書込" (F9) hand the
// update to the device, and the window follows it with the result window Confirm1Dlg, the two
// sounds and the main window's commands. The result window stays until the operator presses
// "確認"; the commands stay refused until then.
class WindowUpdate final : public QObject, public UpdateView {
    Q_OBJECT
public:
    // Takes over the window's update command for the window's lifetime.
    explicit WindowUpdate(TRXProgAppForm& form);
    ~WindowUpdate() override;

    // TB_WriteClick's work.
    void Run();
    // The result window while it is open (tests look at it).
    TConfirm1Dlg* ResultWindow() const { return Confirm1Dlg; }
    // An update was started and its result has not been confirmed yet.
    bool Running() const { return running_; }

    // UpdateView
    void OpenResultWindow() override;
    void SetResultCaption(const QString& text) override;
    void SetResultMessage(const QString& text) override;
    void SetResultFontSize(int size) override;
    void SetResultColour(Colour colour) override;
    void SetResultWindowVisible(bool visible) override;
    void RaiseResultWindow() override;
    void OfferConfirmation() override;
    void SetMainWindowEnabled(bool enabled) override;
    void SetUpdateCommandsEnabled(bool enabled) override;
    void SetStepTitle(const QString& text) override;
    void SetAddressText(const QString& text) override;
    void SetGauge(int percent) override;
    void PlaySound(Sound sound) override;

private:
    void Take(const RunEvent& event);
    void Confirmed();
    void EndIfSeen();

    TRXProgAppForm& form_;
    UpdatePresenter presenter_{*this};
    UpdateSounds sounds_;
    QPointer<TConfirm1Dlg> Confirm1Dlg;
    bool running_ = false;
    bool jobDone_ = false;
};
