#pragma once

#include "update/FirmUpdate.h"

class LinkHost;

// The update command of both front ends (TB_WriteClick): the first run needs the R/W found by
// the start-up connection, every later run connects again first, and after every run the link
// controller is rebuilt. The rebuilt controller keeps the connection parameters the operator
// entered, which the start-up construction alone would replace with the settings file's.
class UpdateSession {
public:
    UpdateSession(LinkHost& host, UpdateFrontEnd& frontEnd) : host_(host), fe_(frontEnd) {}

    // Runs the command; `failedStep` is NoImage when the image holds nothing to write where the
    // run would write (nothing is sent, the controller is kept), NoReader when the connection
    // failed or was refused before the sequence.
    UpdateOutcome TB_WriteClick(UpdateSettings& settings);

    // 0 until the first run, 1 afterwards: the next run starts with the connection procedure.
    int fReconnect = 0;

private:
    // The outcome of a run that did not get as far as the sequence, told to the observer.
    UpdateOutcome Refused(const UpdateSettings& settings, UpdateStep step);

    LinkHost& host_;
    UpdateFrontEnd& fe_;
};
