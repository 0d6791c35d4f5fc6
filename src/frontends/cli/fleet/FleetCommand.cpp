// tessaly-cli fleet: many R/Ws updated from one process at once, each exactly as `tessaly-cli
// update` updates one, each on a thread of its own, with a live table, a log per device and a
// report with a line per device.

#include "cli/CliCommand.h"
#include "cli/InterruptCount.h"
#include "fleet/FleetBoard.h"
#include "fleet/FleetDeviceRun.h"
#include "cli/fleet/FleetOptions.h"
#include "fleet/FleetReport.h"
#include "cli/fleet/FleetView.h"
#include "records/RecordsFolder.h"
#include "update/WorkFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QJsonDocument>
#include <QTimer>

#include <cstdio>
#include <memory>

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
    "                         [--records DIR | --no-records]\n"
    "       tessaly-cli fleet --retry REPORT [--image FILE] [--report FILE] ...\n"
    "\n"
    "  --host ADDR[:PORT]    a R/W (port default 9004); give it once per R/W\n"
    "  --hosts FILE          R/Ws from FILE, one a line: ADDR[:PORT] [boot]\n"
    "                        (# starts a comment, blank lines are skipped)\n"
    "  --boot                re-write mode for every R/W (\"boot\" in FILE: for that one)\n"
    "  --retry REPORT        run again the R/Ws that ended NG in REPORT: those whose write\n"
    "                        failed in re-write mode (power-cycle them first), the others as\n"
    "                        before\n"
    "  --jobs N              update at most N at the same time (default: all, at most 64)\n"
    "  --report FILE         write the report as JSON when the run ends, also when stopped\n"
    "  --csv FILE            the same report as CSV, one line per R/W\n"
    "  --log-dir DIR         each R/W's log as DIR/ADDR_PORT.log (default: the records folder)\n"
    "  --image, --kind, --rom-size-code, --chip-timeout, --bind, --debug, --records,\n"
    "  --no-records          as for tessaly-cli update, for every R/W\n"
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

class Fleet {
public:
    Fleet(const FleetOptions& options, const QString& workDir, const QString& recordsDir,
          const QString& logDir);
    // Runs every device; the exit code.
    int Run();

private:
    std::vector<QString> Names() const;
    void Tick();
    void StartMore();
    bool WriteReport();

    const FleetOptions& options_;
    FleetBoard board_;
    FleetView view_;
    std::vector<std::unique_ptr<FleetDeviceRun>> runs_;
    std::size_t next_ = 0;
    int running_ = 0;
    int interrupts_ = 0;
    QEventLoop loop_;
    FleetReport report_;
};

Fleet::Fleet(const FleetOptions& options, const QString& workDir, const QString& recordsDir,
             const QString& logDir)
    : options_(options), board_(Names()), view_(board_, stdout) {
    for (std::size_t i = 0; i < options.targets.size(); ++i) {
        const FleetTarget& target = options.targets[i];
        HeadlessUpdateJob job = HeadlessJobFor(target.host, target.port, target.rewrite, options);
        job.workDir = workDir;
        job.recordsDir = recordsDir;
        job.makeRoomInRecords = false; // done once for the whole fleet
        const QString log =
            QDir(logDir).filePath(QStringLiteral("%1_%2.log").arg(target.host).arg(target.port));
        runs_.push_back(std::make_unique<FleetDeviceRun>(int(i), job, log, board_));
    }
}

std::vector<QString> Fleet::Names() const {
    std::vector<QString> names;
    for (const FleetTarget& target : options_.targets)
        names.push_back(target.Name());
    return names;
}

int Fleet::Run() {
    report_.started = QDateTime::currentDateTime();
    CountInterrupts();
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, &loop_, [this] { Tick(); });
    refresh.start(kRefreshMs);
    StartMore();
    if (running_ > 0)
        loop_.exec();
    refresh.stop();
    report_.finished = QDateTime::currentDateTime();

    int ok = 0;
    int stopped = 0;
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        const FleetDeviceRun& run = *runs_[i];
        const FleetBoard::Row row = board_.Rows()[i];
        FleetRow line;
        line.target = options_.targets[i];
        if (row.phase == FleetBoard::Phase::Done) {
            line.record = run.Record();
            line.stopped = run.Stopped() && !run.Record().ok;
            line.seconds = double(row.endedMs - row.startedMs) / 1000.0;
            line.log = run.LogFile();
            ok += run.Record().ok ? 1 : 0;
            stopped += line.stopped ? 1 : 0;
        }
        report_.rows.push_back(line);
    }
    view_.Summary(ok, int(runs_.size()) - ok, stopped, board_.NowMs());
    const bool written = WriteReport();
    if (interrupts_ > 0)
        return FleetExit::Interrupted;
    return ok == int(runs_.size()) && written ? CliExit::Ok : FleetExit::AnyNg;
}

void Fleet::Tick() {
    const int interrupts = Interrupts();
    if (interrupts != interrupts_) {
        interrupts_ = interrupts;
        std::fprintf(stderr,
                     interrupts_ == 1
                         ? "tessaly-cli fleet: no new R/W is started; Ctrl+C again stops the "
                           "running ones\n"
                         : "tessaly-cli fleet: stopping the running R/Ws\n");
        if (interrupts_ >= 2)
            for (std::size_t i = 0; i < next_; ++i)
                runs_[i]->Stop();
    }
    view_.Refresh();
}

void Fleet::StartMore() {
    while (interrupts_ == 0 && next_ < runs_.size() && running_ < options_.jobs) {
        const int device = int(next_++);
        FleetDeviceRun* run = runs_[std::size_t(device)].get();
        QObject::connect(run, &QThread::finished, &loop_, [this, device, run] {
            board_.Finish(device, run->Record().ok ? QStringLiteral("OK")
                                  : run->Stopped()
                                      ? QStringLiteral("NG (stopped)")
                                      : QStringLiteral("NG (%1)").arg(run->Record().exitCode));
            --running_;
            StartMore();
            if (running_ == 0)
                loop_.quit();
        });
        board_.Start(device);
        ++running_;
        run->start();
    }
}

bool Fleet::WriteReport() {
    bool written = true;
    QString error;
    const auto write = [&](const QString& file, const QByteArray& bytes) {
        if (file.isEmpty() || WriteReportFile(file, bytes, &error))
            return;
        std::fprintf(stderr, "tessaly-cli fleet: cannot write the report %s\n", qPrintable(error));
        written = false;
    };
    write(options_.reportFile,
          QJsonDocument(FleetReportJson(report_)).toJson(QJsonDocument::Indented));
    write(options_.csvFile, FleetReportCsv(report_));
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
    return Fleet(options, workDir, recordsDir, logDir).Run();
}

const CliCommand kFleetCommand("fleet", kHelp, &RunFleet);

} // namespace
