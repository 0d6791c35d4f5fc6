#pragma once

class TFlashWrRXCont;

// Whoever owns the current link controller: the main window, or the CLI.
class LinkHost {
public:
    virtual ~LinkHost() = default;
    virtual TFlashWrRXCont& Link() = 0;
    // Replaces the controller with a fresh, unconnected one built by the start-up
    // construction (chip updater written again, firmware parsed again), logging to the same
    // visible log as before.
    virtual void RebuildLink() = 0;
};
