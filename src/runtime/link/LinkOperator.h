#pragma once

#include "link/LinkRecords.h"

#include <QString>

// What the link asks of a person: the GUI answers with its dialogs, the CLI with its arguments
// and the console, tests with scripted answers. Each question waits for its answer. The
// defaults confirm the connection settings as they stand and show nothing.
class LinkQuestions {
public:
    virtual ~LinkQuestions() = default;

    // The connection settings dialog. Edits `params` and `reWriteMode` in place; false when
    // the operator cancelled (params are then left as they were).
    virtual bool AskConnectionSettings(tagTCPIPPara& /*params*/, int& /*reWriteMode*/) {
        return true;
    }
    // Modal error box with the last connection failure (ShowStatusError).
    virtual void ShowErrorBox(const QString& /*text*/) {}
    // Message box of a firmware file with data outside the image.
    virtual void ShowOutOfRangeBox(const QString& /*text*/) {}
};

// What the link shows the operator besides its log lines, and the questions above. A device's
// session turns what it shows into events; the CLI's link commands print what they need. The
// defaults show nothing.
class LinkOperator : public LinkQuestions {
public:
    virtual void SetStatusText(const QString& /*text*/) {}  // status bar
    virtual void SetAddressText(const QString& /*text*/) {} // STAddr: the address being written
    virtual void SetGauge(int /*percent*/) {}               // CGauge1: the step's own progress
    // The "please wait" window around the search for the R/W.
    virtual void ShowConnectProgress(const QString& /*caption*/, const QString& /*text*/) {}
    virtual void HideConnectProgress() {}
    // The operator cancelled the connection: the program ends.
    virtual void CloseMainWindow() {}
};
