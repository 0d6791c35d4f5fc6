#include "update/UpdateObserver.h"

QString RunStepName(RunStep step) {
    switch (step) {
    case RunStep::Connect:
        return QStringLiteral("connect");
    case RunStep::ProgramMode:
        return QStringLiteral("programMode");
    case RunStep::SetUp:
        return QStringLiteral("setup");
    case RunStep::IdCheck:
        return QStringLiteral("idCheck");
    case RunStep::Erase:
        return QStringLiteral("erase");
    case RunStep::Write:
        return QStringLiteral("write");
    case RunStep::Verify:
        return QStringLiteral("verify");
    case RunStep::Restart:
        return QStringLiteral("restart");
    case RunStep::RomVersion:
        return QStringLiteral("romVersion");
    case RunStep::Chip:
        return QStringLiteral("chip");
    case RunStep::Compare:
        return QStringLiteral("compare");
    }
    return {};
}
