#pragma once

#include "link/LinkOperator.h"
#include "link/LogSink.h"
#include "update/RunEvent.h"

// Sits between a device's link controller and its events: every line the link logs and
// everything it shows becomes an event; its questions go to whoever answers them for the front
// end (none: the defaults, the connection settings as they stand and no boxes).
//
// The link's own rule decides which lines are shown; the 1000-line rule of a pane belongs to
// the pane, so the lines counted here never fill up.
class LinkEventAdapter final : public LogSink, public LinkOperator {
public:
    LinkEventAdapter(RunEvents& events, LinkQuestions* questions)
        : events_(events), questions_(questions) {}

    // LogSink
    int LineCount() const override { return 0; }
    void Clear() override {}
    void AppendLine(const QString& line, bool forced) override;

    // What the link shows.
    void SetStatusText(const QString& text) override;
    void SetAddressText(const QString& text) override;
    void SetGauge(int percent) override;
    void ShowConnectProgress(const QString& caption, const QString& text) override;
    void HideConnectProgress() override;
    void CloseMainWindow() override;

    // What it asks.
    bool AskConnectionSettings(tagTCPIPPara& params, int& reWriteMode) override;
    void ShowErrorBox(const QString& text) override;
    void ShowOutOfRangeBox(const QString& text) override;

private:
    void Tell(RunEvent::Kind kind, const QString& text = {});

    RunEvents& events_;
    LinkQuestions* questions_;
    LinkQuestions defaults_;
};
