#include "SeedCorpus.h"

#include "FuzzCheck.h"
#include "LinkFuzzRig.h"
#include "core/link/TargetDevice.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

rwsim::McuKind SimKind(std::int32_t kind) {
    switch (kind) {
    case tessaly::kKindRx231:
        return rwsim::McuKind::Rx231;
    case tessaly::kKindRx630:
        return rwsim::McuKind::Rx630;
    default:
        return rwsim::McuKind::Rx63T;
    }
}

} // namespace

QString SeedFolder() {
    return qEnvironmentVariable("TESSALY_FUZZ_WRITE_SEEDS");
}

void WriteSeedFile(const QString& folder, const std::string& name, std::uint8_t selector,
                   std::span<const std::uint8_t> body) {
    FUZZ_CHECK(QDir().mkpath(folder));
    QFile file(QDir(folder).filePath(QString::fromStdString(name)));
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QByteArray bytes(1, static_cast<char>(selector));
    bytes.append(reinterpret_cast<const char*>(body.data()), static_cast<qsizetype>(body.size()));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

void WriteSeedsIfAsked(const DeviceTarget& target, std::span<const SeedCase> cases,
                       std::span<const ScriptedSeed> scripted) {
    const QString folder = SeedFolder();
    if (folder.isEmpty())
        return;
    for (const SeedCase& c : cases) {
        const std::unique_ptr<LinkFuzzRig> rig = target.makeRig(c.selector);
        rwsim::SimConfig config;
        config.kind = SimKind(rig->link.OptionPara.fCPUType);
        config.romSizeCode = rig->link.OptionPara.fROMSize;
        if (c.configure)
            c.configure(config);
        SimulatedDevice device(*rig, config, c.level);
        if (c.prepare)
            c.prepare(*rig, device);
        rig->BeginOperation();
        device.StartRecording();
        target.run(*rig, c.selector);
        WriteSeedFile(folder, c.name, c.selector, EncodeDeviceScript(device.Answers()));
    }
    for (const ScriptedSeed& s : scripted) {
        const std::vector<std::uint8_t> body = EncodeDeviceScript(s.answers);
        const std::unique_ptr<LinkFuzzRig> rig = target.makeRig(s.selector);
        rig->Play(body);
        target.run(*rig, s.selector);
        WriteSeedFile(folder, s.name, s.selector, body);
    }
    std::printf("%zu seeds written to %s\n", cases.size() + scripted.size(), qPrintable(folder));
    std::exit(0);
}
