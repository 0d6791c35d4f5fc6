#include "LinkFuzzRig.h"

#include "FuzzCheck.h"

#include <QCoreApplication>

namespace {

// The target device is set from the start: moving a made image to other bounds would cost
// more than the whole exchange.
tagOptionPara TargetOption(std::int32_t kind, std::int32_t romSizeCode) {
    tagOptionPara option;
    option.fCPUType = kind;
    option.fROMSize = romSizeCode;
    return option;
}

} // namespace

LinkFuzzRig::LinkFuzzRig(std::int32_t kind, std::int32_t romSizeCode)
    : link(env, &log, TargetOption(kind, romSizeCode), {}) {
    link.TCPIPPara.TCPServAddr = QStringLiteral("127.0.0.2");
    link.fDispDebugInfo = 1;
    link.fDispTxInfo = 1;
    link.fDispRecInfo = 1;
    FUZZ_CHECK(link.OpenLink() == 1);
    BeginOperation();
}

void LinkFuzzRig::Play(std::span<const std::uint8_t> script) {
    PlayDeviceScript(env, ParseDeviceScript(script));
}

void LinkFuzzRig::BeginOperation() {
    log.exchanges.clear();
    log.beforeFirstWrite.clear();
    log.lines.clear();
    start_ = env.NowMs();
}

const ExchangeLog::Exchange& LinkFuzzRig::Exchange(std::size_t n) const {
    FUZZ_CHECK(n < log.exchanges.size());
    return log.exchanges[n];
}

int ByteAt(const std::vector<std::uint8_t>& bytes, std::size_t i) {
    return i < bytes.size() ? bytes[i] : -1;
}

void RunDeviceInput(const DeviceTarget& target, const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return;
    const std::unique_ptr<LinkFuzzRig> rig = target.makeRig(data[0]);
    rig->Play({data + 1, size - 1});
    target.run(*rig, data[0]);
}

void StartFuzzProcess(int* argc, char*** argv) {
    qputenv("TESSALY_LOOPBACK_ONLY", "1");
    static QCoreApplication app(*argc, *argv);
}
