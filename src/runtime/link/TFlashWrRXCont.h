#pragma once

#include "core/link/RxRing.h"
#include "core/link/Stopwatch.h"
#include "image/FirmwareImage.h"
#include "link/LinkEnvironment.h"
#include "link/LinkOperator.h"
#include "link/LinkRecords.h"
#include "link/LogSink.h"
#include "link/StopToken.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The link controller: the TCP connection to the R/W, the receive ring, the shared stopwatch,
// the connection parameters, the target-device settings and the ROM image (a FirmwareImage of
// the image folder, whose fields are the controller's own). The R/W commands,
// the connection procedure, the boot-mode protocol, the image loaders and the bridge speed
// change are all operations of this one object; they are defined in the folder of their
// subsystem (link/, boot/, image/, bridge/).
//
// A controller belongs to one device's run and to the thread that run is on; several runs may
// go side by side, each with a controller of its own. Within a run waits never nest: the run
// has one stopwatch, and an operation started from an event that a wait is handling is
// refused.
class TFlashWrRXCont : public FirmwareImage {
public:
    // `arguments` are the program's command-line arguments without the program name; the first
    // one selects re-write mode ("boot" / "-boot", any case, blanks around it ignored).
    TFlashWrRXCont(LinkEnvironment& env, LogSink* logMemo, const tagOptionPara& option,
                   const QStringList& arguments, LinkOperator* op = nullptr);
    ~TFlashWrRXCont();
    TFlashWrRXCont(const TFlashWrRXCont&) = delete;
    TFlashWrRXCont& operator=(const TFlashWrRXCont&) = delete;

    // ---- Transport, receive ring, stopwatch and log (link/) -------------------------------
    void SetTargetDevice(std::int32_t kind, std::int32_t romSizeCode);
    int IsConnected() const;
    int OpenLink();
    void CloseLink();
    int WaitLinkState(int wanted);
    int SendBytes(const std::uint8_t* data, int count);
    int SendBytes(const QByteArray& data);
    int RxAvailable() const;
    std::uint8_t ReadRxByte();
    // Byte at ring position `offset` from the read position, not consumed.
    std::uint8_t PeekRxByte(int offset) const;
    void FlushRx();
    void AddLog(const QString& text, int force);
    void StartTickTimer();
    int TickTimerExpired(std::uint32_t limitMs);
    // The reply-wait pattern every command uses: handle pending events, test `ready`, handle
    // events again, test the shared stopwatch (started by the caller) against `limitMs`, and
    // otherwise sleep in the event loop until something arrives. True when `ready` held.
    bool WaitUntil(const std::function<bool()>& ready, std::uint32_t limitMs);
    // Waits until at least `count` unread bytes are in the ring, on the running stopwatch.
    bool WaitForRxCount(int count, std::uint32_t limitMs);
    // "Process pending window messages", a sleep in the event loop until something arrives or
    // `maxMs` have passed, and a plain pause, on this controller's platform.
    void ProcessMessages();
    void WaitForEvents(std::uint32_t maxMs);
    void SleepMs(std::uint32_t ms);
    // True when an operation must not start: called from an event that one of this
    // controller's waits is handling (a debug line: starting another operation there would
    // restart the stopwatch and empty the receive ring under the wait), or once the run's stop
    // token is set (a forced line, once). The caller fails instead.
    bool OperationRefused();
    // The run's request to end early; none by default.
    void SetStopToken(const StopToken* stop) { stop_ = stop; }
    bool StopRequested() const { return stop_ && stop_->Requested(); }
    const StopToken* Stop() const { return stop_; }

    void ClientSocket1Read();
    void ClientSocket1Error(int& errorCode);

    LinkEnvironment& Env() { return env_; }
    LinkOperator& Operator() { return *operator_; }
    void SetOperator(LinkOperator* op);
    void SetLogMemo(LogSink* logMemo) { LogMemo = logMemo; }

    // ---- R/W command protocol (link/ReaderCommands.cpp) -----------------------------------
    int DousaModeSet(int flag, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3, std::uint16_t p4);
    int CheckReader();
    int GetRomVersion(int logIt);
    int GetChipVersion(int logIt);
    int SetProgMode();
    int SendSubCommand9D();

    // ---- Connection procedure (link/ConnectReader.cpp) ------------------------------------
    // `mayGoOn`, when given, is asked once the operator has confirmed the dialog (its settings
    // are then the controller's) and before anything is sent: false ends the procedure with 0,
    // the settings kept, nothing sent and nothing shown beyond what it logged itself.
    int ConnectReader(const std::function<bool()>& mayGoOn = {});
    int FindReader(int showProgress, int quiet);
    void AfterConnect();
    void ShowStatusError();

    // ---- Bridge serial-speed change (bridge/) ---------------------------------------------
    void SetBridgeSpeed(std::int32_t speedIndex);
    bool ChangeBridgeSerialSpeed(std::int32_t speedIndex, const QString& host);
    // The MAC address of the R/W's bridge module (XX-XX-XX-XX-XX-XX), the R/W's identity across
    // address changes; empty when the module did not answer. Logs nothing but debug lines.
    QString ReadBridgeMac();
    // The local address the bridge endpoint binds port 30718 to; empty (the default) binds
    // every local IPv4 address.
    QString BridgeBindAddress;
    // How long a bridge exchange waits for the port's turn among the programs of this PC.
    static constexpr int kBridgeTurnLimitMs = 10000;
    int BridgeTurnLimitMs = kBridgeTurnLimitMs;
    // The last speed change sent nothing for want of the port's turn: the module kept its
    // speed, and the run must end before it changes anything more.
    bool BridgeTurnMissed = false;

    // ---- Firmware image (the image's own fields and loaders, image/) ----------------------
    // Each loads into the controller's image and logs what the load reports (the message box
    // of data outside the image first, then the lines, forced).
    bool LoadSRecordFile(const QString& fileName);
    bool LoadIntelHexFile(const QString& fileName);
    bool LoadRomImageFile(const QString& fileName);
    // The embedded firmware at start-up: S-record text parsed into the image. It leaves
    // RomImageLoaded to the start-up construction, which sets it only when this returns true
    // (false also when the text stored no byte within the bounds).
    // `force` 0 makes its lines debug lines.
    bool LoadSRecordText(const QByteArray& text, int force = 1);
    // Shows what a load reported (its lines as forced lines unless `force` is 0); whether it
    // loaded.
    bool ShowLoadReport(const FirmwareImage::LoadReport& report, int force = 1);

    // ---- Boot-mode protocol (boot/) -------------------------------------------------------
    // Set-up and the steps of the update. The address text and gauge of the program step go
    // through the operator (SetAddressText / SetGauge).
    int BootSetup();
    // The part of the last BootSetup that failed ("デバイス選択", ...); empty after a success.
    QString BootSetupFailedAt;
    int BootIdCheck(int cpuProg);
    int BootErase(int cpuProg);
    int BootProgram(int cpuProg);
    int BootCrcCheck();
    int BootRestart();

    // The longest inquiry reply: code, size 255, data, sum.
    using BootReply = std::array<std::uint8_t, 258>;
    static constexpr std::int32_t kBootReplyMs = 4000;
    static constexpr std::int32_t kBootDataReplyMs = 5000;

    // Primitives (boot/BootPrimitives.cpp). Each starts the shared stopwatch once, so a second
    // wait inside one primitive gets only what is left of its time-out.
    int WaitRxCount(std::int32_t count, std::int32_t timeoutMs);
    int WaitAck(std::uint8_t expected, std::int32_t timeoutMs);
    int ReadInquiryReply(std::uint8_t replyCode, std::int32_t timeoutMs, std::int32_t& outLen,
                         BootReply& buf);
    // Into ReplyBuf; a reply announcing more data than ReplyBuf holds is refused unread.
    int ReadDataReply(std::uint8_t replyCode, std::int32_t timeoutMs, std::int32_t& outLen);
    int ReadStatusReply(std::int32_t timeoutMs, std::uint8_t& status);
    // FlushRx and one SendBytes of the whole frame.
    int SendBootFrame(const std::vector<std::uint8_t>& frame);
    int SendBootFrameAck(const std::vector<std::uint8_t>& frame, std::uint8_t expected);
    int SendBootByte(std::uint8_t command, std::uint8_t expected);
    int SendInquiry(std::uint8_t command, std::uint8_t replyCode, std::int32_t& outLen,
                    BootReply& buf);

    // Inquiries (boot/BootInquiries.cpp): on success `buf` holds the whole reply.
    int SupportDevice(std::int32_t& outLen, BootReply& buf);
    int ClockInfo(std::int32_t& outLen, BootReply& buf);
    int TeibaiInfo(std::int32_t& outLen, BootReply& buf);
    int GetClockInfo(std::int32_t& outLen, BootReply& buf);
    int BootAreaInfo(std::int32_t& outLen, BootReply& buf);
    int UserAreaInfo(std::int32_t& outLen, BootReply& buf);
    int WriteSizeInfo(std::int32_t& outLen, BootReply& buf);
    int DataAreaChk(std::int32_t& outLen, BootReply& buf);
    int DataAreaInfo(std::int32_t& outLen, BootReply& buf);
    int UserBootSumCheck(std::int32_t& outLen, BootReply& buf);
    int UserAreaSumCheck(std::int32_t& outLen, BootReply& buf);
    int BootProgInfo(std::int32_t& outLen, BootReply& buf);
    int DataSumCheck(std::int32_t& outLen, BootReply& buf);

    // Selections and set-up commands (boot/BootSelections.cpp).
    int DeviceSelect(const std::array<char, 4>& code);
    int SelectClockMode(std::uint8_t mode);
    // On acknowledgement moves the bridge and the link to 115.2 kbit/s and confirms there.
    int SelectBitRate(std::uint16_t bitRate, std::uint16_t freq, std::uint8_t ratio1,
                      std::uint8_t ratio2);
    int EraseStatusSet(std::uint8_t& state);
    int SelUserBootArea();
    int SelUserArea();
    int SelErase();

    // Flash commands (boot/BootFlashCommands.cpp).
    int UserBootBlankCheck();
    int UserAreaBlankCheck();
    // 256 bytes from `data` at `address`; the end address sends the end frame only.
    int Write256Bytes(std::uint32_t address, std::span<const std::uint8_t, 256> data);
    int MemRead(std::uint8_t area, std::uint32_t address, std::uint32_t size, int cpuProg);
    int BlockErase(std::uint8_t block);
    int BlockEraseAddr(std::uint32_t address);
    int IDCodeCheck(const std::array<std::uint8_t, 16>& code);
    int ReadLockBitStatus(std::uint32_t address, std::uint8_t& status);
    int DisaLockBit();
    int ProgLockBit(std::uint32_t address);
    int EnLockBit();
    int GetFlashCrc(std::uint16_t& crc);

    // Set-up, ID check and page test (boot/BootSetup.cpp, boot/BootIdCheck.cpp,
    // boot/BootProgram.cpp).
    int BitRateMatch();
    int TryIdCode(int useA, std::uint8_t state);
    static bool PageHasData(std::span<const std::uint8_t, 256> page);
    // True for the RX231 kind of target; every other kind is handled as RX63x.
    bool BootTargetIsRx231() const;

    // The main window's fCpuProg as the update sequence set it (1: the R/W was switched into
    // program mode; 0: re-write mode). BitRateMatch reads it at the moment of the call.
    int fCpuProg = 1;
    std::array<std::uint8_t, 1280> ReplyBuf{};
    std::array<std::uint8_t, 256> PageBuf{};

    // ---- State shared by the subsystems ---------------------------------------------------
    std::int32_t ConnectTimeoutMs = 10000;
    LogSink* LogMemo = nullptr;
    std::array<char, 4> DeviceCode{{'7', 'n', '0', '5'}};
    tessaly::RxRing RxRing;
    int LastReplyOk = 0;
    int ReaderFound = 0;
    int ChipAnswered = 1;
    QString StatusText;
    tagTCPIPPara TCPIPPara;
    tagOptionPara OptionPara;
    std::array<char, 10> RomVersion{};
    std::array<char, 10> ChipVersion{};
    int ReWriteMode = 0;
    int fDispDebugInfo = 0;
    int fDispTxInfo = 1;
    int fDispRecInfo = 1;
    int BridgeSpeedIndex = 0;
    // Handed to the bridge controller; keeps its byte dumps off.
    int BridgeTrace = 0;

    // The 9 version characters as text (raw bytes, Latin-1, as the R/W sent them).
    QString RomVersionText() const;
    QString ChipVersionText() const;

    // True for a first argument that selects re-write mode.
    static bool IsReWriteArgument(const QStringList& arguments);

private:
    LinkEnvironment& env_;
    LinkOperator* operator_;
    std::unique_ptr<ByteTransport> socket_;
    tessaly::Stopwatch stopwatch_;
    // How deep this controller is inside event processing of its own.
    int pumping_ = 0;
    const StopToken* stop_ = nullptr;
    bool stopLogged_ = false;
};
