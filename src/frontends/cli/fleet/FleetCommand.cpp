// tessaly-cli fleet: many R/Ws updated from one process at once, each exactly as `tessaly-cli
// update` updates one, each on a thread of its own, with a live table, a log per device and a
// report with a line per device.

#include "cli/CliCommand.h"
#include "cli/InterruptCount.h"
#include "cli/fleet/FleetOptions.h"
#include "cli/fleet/FleetView.h"
#include "fleet/FleetReport.h"
#include "fleet/FleetRun.h"
#include "records/RecordsFolder.h"
#include "update/WorkFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>

#include <cstdio>

namespace {

namespace FleetExit {
constexpr int AnyNg = 1;
constexpr int Interrupted = 3;
} // namespace FleetExit

constexpr int kRefreshMs = 200;

constexpr char kHelp[] =
    "update many R/Ws at once, each as tessaly-cli update does, with a result per R/W\n"
    "\n"
    "usage: tessaly-cli fleet (--host ADDR[:PORT] ... | --hosts FILE) [--image FILE]\n"
    "                         [--kind rx231|rx630|rx63t] [--rom-size-code N] [--boot]\n"
    "                         [--jobs N] [--report FILE] [--csv FILE] [--log-dir DIR]\n"
    "                         [--chip-timeout SECONDS] [--bind ADDR] [--debug]\n"
    "                         [--records DIR | --no-records] [--skip-current VERSION]\n"
    "       tessaly-cli fleet --retry REPORT [--image FILE] [--report FILE] ...\n"
    "\n"
    "  --host ADDR[:PORT]    a R/W (port default 9004); give it once per R/W\n"
    "  --hosts FILE          R/Ws from FILE, one a line: ADDR[:PORT] [boot]\n"
    "                        (# starts a comment, blank lines are skipped)\n"
    "  --boot                re-write mode for every R/W (\"boot\" in FILE: for that one)\n"
    "  --retry REPORT        run again the R/Ws that ended NG in REPORT: those whose write\n"
    "                        failed in re-write mode (power-cycle them first), the others as\n"
    "                        before\n"
    "  --jobs N              update at most N at the same time (default: all, at most 1024)\n"
    "  --report FILE         write the report as JSON when the run ends, also when stopped\n"
    "  --csv FILE            the same report as CSV, one line per R/W\n"
    "  --log-dir DIR         each R/W's log as DIR/ADDR_PORT.log (default: the records folder)\n"
    "  --image, --kind, --rom-size-code, --chip-timeout, --bind, --debug, --records,\n"
    "  --no-records, --skip-current\n"
    "                        as for tessaly-cli update, for every R/W (a skipped R/W counts\n"
    "                        as OK)\n"
    "\n"
    "On a terminal a table shows every R/W's step, progress, time and result; on a pipe a line\n"
    "is printed when a R/W starts a step or ends, and a summary at the end. Ctrl+C once: no\n"
    "new R/W is started, those running finish; twice: the running ones are stopped too (a R/W\n"
    "stopped while writing needs a power cycle and --retry).\n"
    "\n"
    "exit codes: 0 every R/W OK, 1 at least one NG, 2 bad command line (nothing sent),\n"
    "            3 interrupted";

int UsageError(const QString& why) {
    return CliUsageError(QStringLiteral("fleet"), why);
}

// The folder that must exist before anything is sent; false after saying why.
bool MakeFolder(const QString& folder) {
    if (QDir().mkpath(folder))
        return true;
    std::fprintf(stderr, "tessaly-cli fleet: cannot create %s\n", qPrintable(folder));
    return false;
}

// Ctrl+C once: no new R/W is started; twice: the running ones are stopped too.
void FollowInterrupts(FleetRun& fleet, int& seen) {
    const int interrupts = Interrupts();
    if (interrupts == seen)
        return;
    seen = interrupts;
    std::fprintf(stderr, seen == 1 ? "tessaly-cli fleet: no new R/W is started; Ctrl+C again "
                                     "stops the running ones\n"
                                   : "tessaly-cli fleet: stopping the running R/Ws\n");
    if (seen >= 2)
        fleet.StopRunning();
    else
        fleet.StopStarting();
}

// The report files asked for; false after saying which could not be written.
bool WriteReports(const FleetOptions& options, const FleetReport& report) {
    bool written = true;
    QString error;
    const auto write = [&](const QString& file, const QByteArray& bytes) {
        if (file.isEmpty() || WriteReportFile(file, bytes, &error))
            return;
        std::fprintf(stderr, "tessaly-cli fleet: cannot write the report %s\n", qPrintable(error));
        written = false;
    };
    write(options.reportFile,
          QJsonDocument(FleetReportJson(report)).toJson(QJsonDocument::Indented));
    write(options.csvFile, FleetReportCsv(report));
    return written;
}

int RunFleet(const QStringList& arguments) {
    FleetOptions options;
    if (const std::optional<QString> error = ParseFleetOptions(arguments, options))
        return UsageError(*error);

    const QString workDir = WorkFolder::Prepare(QCoreApplication::applicationDirPath());
    QString recordsDir;
    if (!options.noRecords)
        recordsDir =
            options.recordsDir.isEmpty() ? RecordsFolder::ForWorkDir(workDir) : options.recordsDir;
    const QString logDir = !options.logDir.isEmpty() ? options.logDir
                           : !recordsDir.isEmpty()   ? recordsDir
                                                     : RecordsFolder::ForWorkDir(workDir);
    if (!MakeFolder(logDir) || (!recordsDir.isEmpty() && !MakeFolder(recordsDir)))
        return CliExit::Usage;
    if (!recordsDir.isEmpty())
        RecordsFolder::MakeRoomForRun(recordsDir,
                                      RecordsFolder::kKeptRuns - int(options.targets.size()) + 1);
    FleetRun fleet(FleetSetup{.targets = options.targets,
                              .image = options.image,
                              .kind = options.kind,
                              .romSizeCode = options.romSizeCode,
                              .jobs = options.jobs,
                              .chipLimitMs = options.chipLimitMs,
                              .bindAddress = options.bindAddress,
                              .debug = options.debug,
                              .skipCurrent = options.skipCurrent,
                              .workDir = workDir,
                              .recordsDir = recordsDir,
                              .logDir = logDir});
    FleetView view(fleet.Board(), stdout);
    CountInterrupts();
    int interrupts = 0;
    fleet.Run(
        [&] {
            FollowInterrupts(fleet, interrupts);
            view.Refresh();
        },
        kRefreshMs);
    const int devices = int(options.targets.size());
    const int ok = fleet.OkCount();
    view.Summary(ok, devices - ok, fleet.SkippedCount(), fleet.StoppedCount(),
                 fleet.Board().NowMs());
    const bool written = WriteReports(options, fleet.Report());
    if (interrupts > 0)
        return FleetExit::Interrupted;
    return ok == devices && written ? CliExit::Ok : FleetExit::AnyNg;
}

const CliCommand kFleetCommand("fleet", kHelp, &RunFleet);

} // namespace
