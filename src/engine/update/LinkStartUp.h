#pragma once

#include "link/LinkRecords.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class LinkEnvironment;
class LinkOperator;
class LogSink;
class StopToken;
class TFlashWrRXCont;

// What building a link controller takes: the start-up construction, run once at start and
// again after every update.
struct LinkStartUp {
    LinkEnvironment* env = nullptr;
    QStringList arguments;           // the command line without the program name ("boot" first)
    QString workDir;                 // the chip updater is written here
    QByteArray firmwareText;         // the embedded firmware, S-record text
    tagOptionPara option;            // the settings record the controller copies
    tagTCPIPPara params;             // the connection parameters it starts with
    QString bridgeBindAddress;       // the local address of the bridge port; empty: every one
    const StopToken* stop = nullptr; // the run's request to end early, if it can be asked to
    int fDispDebugInfo = 0;
    int fDispTxInfo = 0;
    int fDispRecInfo = 0;
    // The built-in firmware's load lines as forced lines (the window shows them every time) or
    // as debug lines (the command line, where they would only come between the result and the
    // end, or before a firmware file that replaces the built-in one).
    int firmwareLinesForced = 1;
};

// A R/W without a window: where it is (its one port serves both of its links), its mode and
// what it is, as `tessaly-cli update` and a fleet name it.
struct HeadlessTarget {
    QString host;
    int port = 9004;
    bool reWrite = false;
    std::int32_t kind = 5; // RX231
    std::int32_t romSizeCode = 11;
    QString bindAddress; // empty: every local address
    bool debug = false;  // the debug lines too
};

// The start-up construction for `target`: the program's own platform and built-in firmware,
// the chip updater in `workDir`, the connection parameters and mode the target gives (the
// connection procedure then needs no dialog).
LinkStartUp HeadlessStartUp(const HeadlessTarget& target, const QString& workDir,
                            const StopToken* stop = nullptr);

// Writes the chip updater to the work folder (a failure is ignored: the update then runs
// whatever updater is already there), constructs the controller logging into `log` and telling
// `op`, gives it the connection parameters and the display flags, and parses the firmware into
// its ROM image. The image counts as loaded only when the firmware parsed: an unparsable
// firmware must never erase the device and then report success with an empty image; its
// failure is logged as "NG: Read ROM Data".
std::unique_ptr<TFlashWrRXCont> BuildLinkController(const LinkStartUp& startUp, LogSink* log,
                                                    LinkOperator* op);
