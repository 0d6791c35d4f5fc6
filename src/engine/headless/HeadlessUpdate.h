#pragma once

#include "core/link/TargetDevice.h"
#include "link/LinkRecords.h"
#include "records/RunRecord.h"

#include <QString>

#include <cstdint>
#include <cstdio>

class HeadlessFrontEnd;
class StopToken;
class UpdateObserver;

// One R/W updated without a window, as `tessaly-cli update` does it for its R/W and a fleet for
// each of its own: the start-up construction, the firmware file if one is named, the
// connection procedure (answered by the job instead of the dialog), the update sequence, and
// the run's record.
struct HeadlessUpdateJob {
    tagTCPIPPara params; // where the R/W is
    bool reWrite = false;
    QString imageFile; // empty: the built-in firmware
    std::int32_t kind = tessaly::kKindRx231;
    std::int32_t romSizeCode = 11;
    bool debug = false;
    int chipLimitMs = -1;
    QString bindAddress;
    QString workDir;               // prepared by the caller; the chip updater is written there
    QString recordsDir;            // empty: no record files
    bool makeRoomInRecords = true; // false when the caller has pruned the folder for many runs
    const StopToken* stop = nullptr;
    std::FILE* chipExitCodeOut = stdout;
    QString chipOutputFile;             // empty: the chip updater writes to our standard output
    UpdateObserver* observer = nullptr; // told the steps too, beside the record
};

// The job for the R/W at `host`, whose one `port` serves both of its links, with what a
// command's options choose for all of its R/Ws (their image, kind, romSizeCode, debug,
// chipLimitMs and bindAddress).
template <class CommandOptions>
HeadlessUpdateJob HeadlessJobFor(const QString& host, int port, bool reWrite,
                                 const CommandOptions& options) {
    HeadlessUpdateJob job;
    job.params.TCPServAddr = host;
    job.params.TCPServPort = port;
    job.params.TCPPort = port;
    job.reWrite = reWrite;
    job.imageFile = options.image;
    job.kind = options.kind;
    job.romSizeCode = options.romSizeCode;
    job.debug = options.debug;
    job.chipLimitMs = options.chipLimitMs;
    job.bindAddress = options.bindAddress;
    return job;
}

// Runs the job on the calling thread, which needs an event loop; returns the run's record
// (written to the records folder when there is one).
RunRecord RunHeadlessUpdate(const HeadlessUpdateJob& job, HeadlessFrontEnd& frontEnd);
