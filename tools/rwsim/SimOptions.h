#pragma once

#include "rwsim/SimConfig.h"

#include <QCommandLineParser>
#include <QStringList>

namespace rwsim {

// What the program does around the simulator.
struct RunOptions {
    QString readyFile; // touched once the simulator listens
    int timeLimitSec = 3600;
    int devices = 1;     // simulated R/Ws on consecutive addresses
    int faultDevice = 0; // the one the fault options apply to (from 1); 0: all of them
};

// The command line of tessaly-rwsim. --help and --version are handled by the caller through
// the parser.
class SimOptions {
public:
    SimOptions();
    QCommandLineParser& Parser() { return parser_; }
    // Fills `config` and `run` from parsed arguments; false with a message on a bad value.
    bool Read(SimConfig& config, RunOptions& run, QString* error) const;

private:
    QCommandLineParser parser_;
};

} // namespace rwsim
