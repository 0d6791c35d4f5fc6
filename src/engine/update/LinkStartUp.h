#pragma once

#include "link/LinkRecords.h"
#include "update/LinkHost.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class LinkEnvironment;
class LinkOperator;
class LogSink;
class StopToken;

// What building a link controller takes: the start-up construction, run once at start and
// again after every update.
struct LinkStartUp {
    LinkEnvironment* env = nullptr;
    LogSink* logMemo = nullptr; // the visible log, also for every rebuilt controller
    LinkOperator* op = nullptr;
    QStringList arguments;     // the command line without the program name ("boot" first)
    QString workDir;           // the chip updater is written here
    QByteArray firmwareText;   // the embedded firmware, S-record text
    tagOptionPara option;      // the settings record the controller copies
    tagTCPIPPara params;       // the connection parameters it starts with
    QString bridgeBindAddress; // the local address of the bridge port; empty: every one
    const StopToken* stop = nullptr; // the run's request to end early, if it can be asked to
    int fDispDebugInfo = 0;
    int fDispTxInfo = 0;
    int fDispRecInfo = 0;
};

// Writes the chip updater to the work folder (a failure is ignored: the update then runs
// whatever updater is already there), constructs the controller, gives it the connection
// parameters and the display flags, and parses the firmware into its ROM image. The image
// counts as loaded only when the firmware parsed: an unparsable firmware must never erase the
// device and then report success with an empty image.
std::unique_ptr<TFlashWrRXCont> BuildLinkController(const LinkStartUp& startUp);

// A link host without a window (the CLI, tests): builds its controller at construction and
// again on every rebuild.
class StartUpLinkHost final : public LinkHost {
public:
    explicit StartUpLinkHost(LinkStartUp startUp);
    ~StartUpLinkHost() override;
    TFlashWrRXCont& Link() override { return *link_; }
    void RebuildLink() override;

private:
    LinkStartUp startUp_;
    std::unique_ptr<TFlashWrRXCont> link_;
};
