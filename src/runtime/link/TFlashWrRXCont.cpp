#include "link/TFlashWrRXCont.h"

#include "core/image/ImageTexts.h"
#include "core/link/ByteDump.h"
#include "core/link/TargetDevice.h"
#include "link/NetworkGuard.h"
#include "link/ReaderTexts.h"

#include <algorithm>

namespace {

LinkOperator& NullOperator() {
    static LinkOperator nothing;
    return nothing;
}

// Largest read taken per read event; the rest waits for the next one.
constexpr std::int64_t kMaxReadPerEvent = 1024;

QString DumpText(std::span<const std::uint8_t> bytes) {
    return QString::fromStdString(tessaly::ByteDump(bytes));
}

} // namespace

TFlashWrRXCont::TFlashWrRXCont(LinkEnvironment& env, LogSink* logMemo, const tagOptionPara& option,
                               const QStringList& arguments, LinkOperator* op)
    : LogMemo(logMemo), OptionPara(option), env_(env), operator_(op ? op : &NullOperator()),
      socket_(env.MakeTransport()) {
    socket_->onReadyRead = [this] { ClientSocket1Read(); };
    socket_->onError = [this](int code) { ClientSocket1Error(code); };
    SetTargetDevice(OptionPara.fCPUType, OptionPara.fROMSize);
    ReaderFound = 0;
    ChipAnswered = 1;
    ReWriteMode = IsReWriteArgument(arguments) ? 1 : 0;
    fDispDebugInfo = 0;
    fDispTxInfo = 1;
    fDispRecInfo = 1;
    ResetRomImage();
}

TFlashWrRXCont::~TFlashWrRXCont() {
    // The connection closes with the controller; nothing may call back into it afterwards.
    socket_->onReadyRead = nullptr;
    socket_->onError = nullptr;
}

void TFlashWrRXCont::SetOperator(LinkOperator* op) {
    operator_ = op ? op : &NullOperator();
}

bool TFlashWrRXCont::IsReWriteArgument(const QStringList& arguments) {
    if (arguments.isEmpty())
        return false;
    const QString first = arguments.first().trimmed().toLower();
    return first == QLatin1String("boot") || first == QLatin1String("-boot");
}

void TFlashWrRXCont::SetTargetDevice(std::int32_t kind, std::int32_t romSizeCode) {
    const std::uint32_t oldBase = RomImageBase;
    OptionPara.fCPUType = kind;
    OptionPara.fROMSize = romSizeCode;
    RomImageCrcEnd = tessaly::kRomImageCrcEnd;
    DeviceCode = tessaly::DeviceCodeForKind(kind, DeviceCode);
    if (tessaly::KindSetsBounds(kind)) {
        RomImageEnd = tessaly::kRomImageEnd;
        RomImageBase = tessaly::RomImageBaseForSizeCode(romSizeCode);
    }
    // The image must always span exactly its bounds: the programming and the CRC read it
    // page by page from RomImageBase. Before the constructor sizes it there is nothing to move.
    if (!RomImage.empty() && !FitRomImageToBounds(oldBase))
        AddLog(QString::fromUtf8(tessaly::image_text::kImageOutsideNewBounds.data(),
                                 tessaly::image_text::kImageOutsideNewBounds.size()),
               1);
}

bool TFlashWrRXCont::ShowLoadReport(const FirmwareImage::LoadReport& report, int force) {
    if (report.outOfRange)
        Operator().ShowOutOfRangeBox(QString::fromUtf8(tessaly::image_text::kOutOfRange.data(),
                                                       tessaly::image_text::kOutOfRange.size()));
    for (const QString& line : report.lines)
        AddLog(line, force);
    return report.loaded;
}

bool TFlashWrRXCont::LoadSRecordText(const QByteArray& text, int force) {
    RomImageSource.clear();
    return ShowLoadReport(ParseImageText(text, Format::SRecord), force);
}

bool TFlashWrRXCont::LoadSRecordFile(const QString& fileName) {
    return ShowLoadReport(ReadImageFile(fileName, Format::SRecord));
}

bool TFlashWrRXCont::LoadIntelHexFile(const QString& fileName) {
    return ShowLoadReport(ReadImageFile(fileName, Format::IntelHex));
}

bool TFlashWrRXCont::LoadRomImageFile(const QString& fileName) {
    return ShowLoadReport(ReadRomImageFile(fileName));
}

int TFlashWrRXCont::IsConnected() const {
    return socket_->IsConnected() ? 1 : 0;
}

int TFlashWrRXCont::OpenLink() {
    if (OperationRefused())
        return 0;
    RxRing.Reset();
    if (IsConnected()) {
        socket_->Disconnect();
        WaitLinkState(0);
    }
    const QString host = TCPIPPara.TCPServAddr;
    if (!socket_->ConnectTo(host, static_cast<std::uint16_t>(TCPIPPara.TCPServPort))) {
        AddLog(NetworkGuard::RefusalText(host), 1);
        return 0;
    }
    return WaitLinkState(1);
}

void TFlashWrRXCont::CloseLink() {
    if (StopRequested()) {
        socket_->Disconnect(); // nothing is waited for any more, but the R/W is let go
        return;
    }
    if (OperationRefused())
        return;
    if (IsConnected()) {
        socket_->Disconnect();
        WaitLinkState(0);
    }
}

int TFlashWrRXCont::WaitLinkState(int wanted) {
    ProcessMessages();
    if (IsConnected() == wanted)
        return 1;
    Operator().SetStatusText(QStringLiteral("ソケット処理中..."));
    ProcessMessages();
    ProcessMessages();
    StartTickTimer();
    const bool reached = WaitUntil([&] { return IsConnected() == wanted; },
                                   static_cast<std::uint32_t>(ConnectTimeoutMs));
    if (!reached && wanted == 0)
        socket_->Disconnect(); // a close that never completed: drop the connection outright
    return reached ? 1 : 0;
}

int TFlashWrRXCont::SendBytes(const std::uint8_t* data, int count) {
    if (OperationRefused())
        return 0;
    RxRing.Reset();
    if (!IsConnected() || count <= 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), count);
    const std::int64_t sent = socket_->Write(bytes);
    if (fDispTxInfo)
        AddLog(QStringLiteral("TX: ") + DumpText({data, static_cast<std::size_t>(count)}), 0);
    return sent > 0 ? static_cast<int>(sent) : 0;
}

int TFlashWrRXCont::SendBytes(const QByteArray& data) {
    return SendBytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                     static_cast<int>(data.size()));
}

int TFlashWrRXCont::RxAvailable() const {
    return static_cast<int>(RxRing.Available());
}

std::uint8_t TFlashWrRXCont::ReadRxByte() {
    return RxRing.ReadByte();
}

std::uint8_t TFlashWrRXCont::PeekRxByte(int offset) const {
    return offset < 0 ? 0 : RxRing.Peek(static_cast<std::size_t>(offset));
}

void TFlashWrRXCont::FlushRx() {
    if (!OperationRefused())
        RxRing.Reset();
}

void TFlashWrRXCont::AddLog(const QString& text, int force) {
    WriteLogLine(LogMemo, text, force != 0, fDispDebugInfo != 0);
}

void TFlashWrRXCont::StartTickTimer() {
    stopwatch_.Start(env_.Clock().NowMs());
}

int TFlashWrRXCont::TickTimerExpired(std::uint32_t limitMs) {
    return stopwatch_.Expired(env_.Clock().NowMs(), limitMs) ? 1 : 0;
}

bool TFlashWrRXCont::WaitUntil(const std::function<bool()>& ready, std::uint32_t limitMs) {
    if (OperationRefused())
        return false;
    for (;;) {
        ProcessMessages();
        if (ready())
            return true;
        ProcessMessages();
        if (TickTimerExpired(limitMs) || StopRequested())
            return false;
        // What the second pass handled may already be the reply: blocking now would sleep
        // through it until the next event or the limit.
        if (!ready())
            WaitForEvents(stopwatch_.Remaining(env_.Clock().NowMs(), limitMs));
    }
}

bool TFlashWrRXCont::WaitForRxCount(int count, std::uint32_t limitMs) {
    return WaitUntil([&] { return RxAvailable() >= count; }, limitMs);
}

void TFlashWrRXCont::ProcessMessages() {
    ++pumping_;
    env_.Pump().ProcessEvents();
    --pumping_;
}

void TFlashWrRXCont::WaitForEvents(std::uint32_t maxMs) {
    ++pumping_;
    env_.Pump().WaitForEvents(maxMs);
    --pumping_;
}

bool TFlashWrRXCont::OperationRefused() {
    if (StopRequested()) {
        if (!stopLogged_)
            AddLog(ReaderTexts::kStopped, 1);
        stopLogged_ = true;
        return true;
    }
    if (pumping_ == 0)
        return false;
    AddLog(ReaderTexts::kNestedRefused, 0);
    return true;
}

void TFlashWrRXCont::SleepMs(std::uint32_t ms) {
    env_.Pump().Sleep(ms);
}

void TFlashWrRXCont::ClientSocket1Read() {
    const std::int64_t n = std::min(socket_->BytesAvailable(), kMaxReadPerEvent);
    QByteArray bytes;
    if (n > 0) {
        bytes = socket_->Read(n);
        RxRing.Write({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size())});
    }
    if (fDispRecInfo)
        AddLog(QStringLiteral("RX: ") +
                   DumpText({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                             static_cast<std::size_t>(bytes.size())}),
               0);
}

void TFlashWrRXCont::ClientSocket1Error(int& errorCode) {
    AddLog(QStringLiteral("ClientSocket Error : ") + QString::number(errorCode), 0);
    errorCode = 0;
}

QString TFlashWrRXCont::RomVersionText() const {
    return QString::fromLatin1(RomVersion.data(), 9);
}

QString TFlashWrRXCont::ChipVersionText() const {
    return QString::fromLatin1(ChipVersion.data(), 9);
}
