#pragma once

#include "link/LinkRecords.h"

#include <QString>

// What the link asks of a person or a window. The GUI answers with dialogs and labels, the CLI
// with its arguments and the console, tests with scripted answers. The defaults do nothing, so
// a front end overrides only what it shows.
class LinkOperator {
public:
    virtual ~LinkOperator() = default;

    // Main window texts and gauge.
    virtual void SetStatusText(const QString& /*text*/) {} // status bar
    virtual void SetStepTitle(const QString& /*text*/) {}  // STTitle
    virtual void SetAddressText(const QString& /*text*/) {} // STAddr
    virtual void SetGauge(int /*percent*/) {}              // CGauge1

    // Modal error box with the last connection failure (ShowStatusError).
    virtual void ShowErrorBox(const QString& /*text*/) {}
    // Message box of a firmware file with data outside the image.
    virtual void ShowOutOfRangeBox(const QString& /*text*/) {}

    // The connection settings dialog. Edits `params` and `reWriteMode` in place; false when
    // the operator cancelled (params are then left as they were).
    virtual bool AskConnectionSettings(tagTCPIPPara& /*params*/, int& /*reWriteMode*/) {
        return true;
    }
    // The "please wait" window around the search for the R/W.
    virtual void ShowConnectProgress(const QString& /*caption*/, const QString& /*text*/) {}
    virtual void HideConnectProgress() {}
    // The operator cancelled the connection: the program ends.
    virtual void CloseMainWindow() {}
};
