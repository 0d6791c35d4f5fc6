#pragma once

#include "link/LinkRecords.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class LinkEnvironment;
class LinkOperator;
class LogSink;
class TFlashWrRXCont;

// What building a link controller takes: the start-up construction of the main window, run
// once at start and again after every update.
struct LinkStartUp {
    LinkEnvironment* env = nullptr;
    LogSink* logMemo = nullptr; // the visible log, also for every rebuilt controller
    LinkOperator* op = nullptr;
    QStringList arguments;   // the command line without the program name ("boot" first)
    QString workDir;         // the chip updater is written here
    QByteArray firmwareText; // the embedded firmware, S-record text
};

// The main window's display flags, copied into every controller it builds.
struct DisplayFlags {
    int fDispDebugInfo = 0;
    int fDispTxInfo = 0;
    int fDispRecInfo = 0;
};

// Writes the chip updater to the work folder (a failure is ignored: the update then runs
// whatever updater is already there), constructs the controller with the settings record,
// gives it the connection parameters and the display flags, and parses the firmware into its
// ROM image. The image counts as loaded only when the firmware parsed: an unparsable
// firmware must never erase the device and report success with an empty image.
std::unique_ptr<TFlashWrRXCont> BuildLinkController(const LinkStartUp& startUp,
                                                    const tagOptionPara& option,
                                                    const tagTCPIPPara& params,
                                                    const DisplayFlags& flags);
