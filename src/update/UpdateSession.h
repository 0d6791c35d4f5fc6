#pragma once

#include "update/FirmUpdate.h"
#include "update/LinkStartUp.h"

#include <functional>
#include <memory>

class TFlashWrRXCont;

// The update command of both front ends (TB_WriteClick): the first run needs the R/W found by
// the start-up connection, every later run connects again first, and after every run the link
// controller is rebuilt by the start-up construction. The rebuilt controller logs to the
// visible log and keeps the connection parameters the operator entered.
class UpdateSession {
public:
    // `link` is the front end's current controller, replaced after every run. `flags`
    // gives the main window's display flags at the moment of a rebuild.
    UpdateSession(std::unique_ptr<TFlashWrRXCont>& link, LinkStartUp startUp,
                  UpdateFrontEnd& frontEnd, std::function<DisplayFlags()> flags);

    // Runs the command; `failedStep` NoReader when it did not get as far as the sequence.
    UpdateOutcome TB_WriteClick(UpdateSettings& settings);

    // 0 until the first run, 1 afterwards: the next run starts with the connection procedure.
    int fReconnect = 0;

private:
    void RebuildLink(const tagOptionPara& option);

    std::unique_ptr<TFlashWrRXCont>& link_;
    LinkStartUp startUp_;
    UpdateFrontEnd& fe_;
    std::function<DisplayFlags()> flags_;
};
