// Finding the R/W before an update: ask the operator where it is, look for it (a second time
// after putting the bridge back to its normal speed), and read its versions.
#include "core/bridge/BridgeSpeed.h"
#include "link/ReaderTexts.h"
#include "link/TFlashWrRXCont.h"

int TFlashWrRXCont::ConnectReader(const std::function<bool()>& mayGoOn) {
    tagTCPIPPara params = TCPIPPara;
    // The tool always connects as a client; the dialog shows the mode fixed on "サーバー".
    params.fTCPServer = 0;
    int reWriteMode = ReWriteMode;
    int result = 0;
    if (!Operator().AskConnectionSettings(params, reWriteMode)) {
        Operator().CloseMainWindow();
    } else {
        TCPIPPara = params;
        ReWriteMode = reWriteMode;
        if (mayGoOn && !mayGoOn())
            return 0;
        Operator().SetStatusText(ReaderTexts::kCheckingReader);
        ProcessMessages();
        Operator().ShowConnectProgress(ReaderTexts::kProgressCaption, ReaderTexts::kCheckingReader);
        result = ReWriteMode ? 1 : FindReader(1, 0);
        Operator().HideConnectProgress();
    }

    if (result) {
        AfterConnect();
    } else {
        StatusText = ReaderTexts::kNotFound;
        AddLog(StatusText, 1);
        AddLog(ReaderTexts::kCheckConnection, 1);
        ReaderFound = 0;
        ShowStatusError();
    }
    AddLog(QString(), 1);
    return result;
}

int TFlashWrRXCont::FindReader(int showProgress, int quiet) {
    if (showProgress)
        Operator().ShowConnectProgress(ReaderTexts::kProgressCaption, ReaderTexts::kCheckingReader);
    ProcessMessages();
    OpenLink();
    bool found = CheckReader() == 1;
    if (!found) {
        // The bridge may have been left at another speed by an interrupted update.
        ProcessMessages();
        SetBridgeSpeed(tessaly::kBridgeSpeed115200);
        OpenLink();
        found = CheckReader() == 1;
    }
    if (found) {
        AddLog(ReaderTexts::kFound, 1);
        if (!quiet)
            AddLog(ReaderTexts::kSpeed + QString::number(tessaly::kReaderBridgeBps), 0);
        BridgeSpeedIndex = tessaly::BridgeSpeedIndexForBps(tessaly::kReaderBridgeBps);
    }
    Operator().SetStatusText(QString());
    if (showProgress)
        Operator().HideConnectProgress();
    return found ? 1 : 0;
}

void TFlashWrRXCont::AfterConnect() {
    if (ReWriteMode) {
        AddLog(ReaderTexts::kReWriteMode, 1);
        ReaderFound = 1;
        StatusText.clear();
        ChipAnswered = 1;
        return;
    }
    const int romAnswered = GetRomVersion(0);
    ChipAnswered = 1;
    if (romAnswered) {
        ChipAnswered = GetChipVersion(1) ? 1 : 0;
        ReaderFound = 1;
    } else {
        ReaderFound = 0;
        StatusText = ReaderTexts::kNotFound;
        AddLog(StatusText, 1);
        AddLog(ReaderTexts::kCheckConnection, 1);
    }
}

void TFlashWrRXCont::ShowStatusError() {
    Operator().ShowErrorBox(StatusText);
}
