#pragma once

#include "link/LinkRecords.h"

#include <QString>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class TFlashWrRXCont;

// What the diagnostic items take from the front end besides the link: the main window's
// settings record (the new bit rate item) and its fCpuProg (the memory read item).
struct BootDiagSettings {
    tagOptionPara option;
    int fCpuProg = 1;
};

// The handlers of the boot-mode diagnostic menu. Each sends one command to a microcontroller
// already in boot mode and writes its result and decoded reply through the link's AddLog: the
// success and decoded lines as debug lines, the failure line always. They return the
// command's result so that a front end without a log pane can report it.
class BootDiagnostics {
public:
    BootDiagnostics(TFlashWrRXCont& link, const BootDiagSettings& settings)
        : link_(link), settings_(settings) {}

    int MnSupportDeviceClick();
    int MnDeviceSelectClick();
    int MnClockInfoClick();
    int MnSelectClockModeClick();
    int MnTeibaiInfoClick();
    int MnGetClockInfoClick();
    int MnBootAreaInfoClick();
    int MnUserAreaInfoClick();
    int MnEraseBlockInfoClick();
    int MnWriteSizeinfoClick();
    int MnDataAreaChkClick();
    int MnDataAreaInfoClick();
    int MnSelectBitRateClick();
    int MnEraseStatusSetClick();
    int MnBootProgInfoClick();
    int MnRX210_IDCheckClick();
    int MnSelUserBootAreaClick();
    int MnSelUSerAreaClick();
    int MnWrite256BytesClick();
    int MnSelEraseClick();
    int MnBlockEraseClick();
    int MnMemReadClick();
    int MnUserBootSumCheckClick();
    int MnUserAreaSumCheckClick();
    int MnDataSumCheckClick();
    int MnUserBootBlankCheckClick();
    int MnUserAreaBlankCheckClick();
    int MnReadLockBitStatusClick();
    int MnProgLockBitClick();
    int MnEnLockBitClick();
    int MnDisaLockBitClick();
    // Runs the fifteen handlers of the command check one after another, whatever each
    // result; 1 when every one succeeded.
    int MnCmdCheckClick();

private:
    int Report(int result, const char* what);
    void Line(const QString& text);
    int AreaInquiry(int (TFlashWrRXCont::*inquiry)(std::int32_t&, std::array<std::uint8_t, 258>&),
                    const char* what);
    int SumInquiry(int (TFlashWrRXCont::*inquiry)(std::int32_t&, std::array<std::uint8_t, 258>&),
                   const char* what);

    TFlashWrRXCont& link_;
    BootDiagSettings settings_;
};

// The menu as the window shows it: captions in order, submenus with their items. An item
// without a handler is inert (it is shown but does nothing).
struct BootDiagMenuEntry {
    const char* item;    // component name, e.g. "MnSupportDevice"
    const char* caption; // UTF-8
    int (BootDiagnostics::*handler)();
    std::span<const BootDiagMenuEntry> children; // a submenu when not empty
};

// The items of MnCmd, top level first.
std::span<const BootDiagMenuEntry> BootDiagMenu();

// Every item with a handler, submenu items included, in menu order.
std::vector<const BootDiagMenuEntry*> BootDiagCommands();
