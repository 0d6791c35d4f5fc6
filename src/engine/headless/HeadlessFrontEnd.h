#pragma once

#include "link/LinkOperator.h"
#include "link/LogSink.h"
#include "update/UpdateFrontEnd.h"

// A run without a window: the connection parameters come from the command line instead of the
// dialog, and the result window, the sounds and the window states have nothing to show.
// Whoever runs it says where the log lines, the progress and the messages go.
class HeadlessFrontEnd : public LinkOperator, public UpdateFrontEnd, public LogSink {
public:
    explicit HeadlessFrontEnd(const tagTCPIPPara& params) : params_(params) {}

    // The command line answers the connection dialog; re-write mode was chosen there too.
    bool AskConnectionSettings(tagTCPIPPara& params, int& /*reWriteMode*/) override {
        params = params_;
        return true;
    }

    void OpenResultWindow() override {}
    void SetResultCaption(const QString&) override {}
    void SetResultMessage(const QString&) override {}
    void SetResultFontSize(int) override {}
    void SetResultColour(Colour) override {}
    void SetResultWindowVisible(bool) override {}
    void RaiseResultWindow() override {}
    void ConfirmAndCloseResultWindow() override {} // nobody to wait for
    void SetMainWindowEnabled(bool) override {}
    void SetUpdateCommandsEnabled(bool) override {}
    void PlaySound(Sound) override {}

private:
    tagTCPIPPara params_;
};
