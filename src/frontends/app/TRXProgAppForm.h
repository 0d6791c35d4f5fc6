#pragma once

#include "app/CommandGate.h"
#include "app/CommandMenu.h"
#include "app/MemoLogSink.h"
#include "app/SettingsFile.h"
#include "app/StartupContext.h"
#include "app/TimerResolution.h"
#include "app/WindowQuestions.h"
#include "records/RunRecord.h"
#include "update/DeviceThread.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMimeData;
class QPlainTextEdit;
class QProgressBar;
class QTimer;
class QToolBar;
class FleetWindow;
class TAboutBox;
class TFlashWrRXCont;
class TGuage1Dlg;

// What the window keeps of its device after each job: the connection parameters, and the
// firmware an update would write.
struct DeviceSnapshot {
    tagTCPIPPara tcp;
    bool imageLoaded = false;
    ImageSummary image;
};

// The main window's caption, the version follows after one second.
inline const QString kMainWindowCaption = QStringLiteral("ZMW ファームウェアアップデート");

// The main and only visible window: the log pane, the step title, the gauge, the update
// commands and the hidden diagnostic menus. It owns the settings and the device: the R/W's
// session with its link controller, on a thread of its own (DeviceThread), to which every
// command that talks to the R/W is handed. The window shows what the device tells (log lines,
// status text, the wait window) and answers what it asks of a person (the connection dialog and
// the message boxes) on its own thread.
class TRXProgAppForm : public QMainWindow {
    Q_OBJECT
public:
    // Does all start-up work: work folder and chip updater, options, the device and its link
    // controller, the four TCP keys of the settings file and the embedded firmware.
    explicit TRXProgAppForm(const StartupContext& context, QWidget* parent = nullptr);
    ~TRXProgAppForm() override;

    // ---- The device -----------------------------------------------------------------------
    DeviceThread& Device() { return *device_; }
    // Hands `job` to the device as one wait of the window's: the commands that start work are
    // refused until it has ended; `done` then runs here.
    void RunOnDevice(std::function<void(DeviceSession&)> job, std::function<void()> done = {});
    // A job handed to the device has not ended yet.
    bool Busy() const { return device_->Busy(); }
    // The commands refused while a wait runs; an update holds them until its result is seen.
    CommandGate& Gate() { return gate_; }
    // The device's link controller, to be read only while no job runs.
    TFlashWrRXCont* Link() const { return &device_->Session().Link(); }

    AppSettings& Settings() { return settings_; }
    // The firmware an update would write, as the status bar shows it: a file's full name, empty
    // for the built-in firmware; FirmwareLoaded is false when there is none.
    const QString& FirmwareFile() const { return firmwareFile_; }
    bool FirmwareLoaded() const { return firmwareLoaded_; }
    // The fleet window, once opened.
    FleetWindow* Fleet() const { return fleetWindow_.get(); }
    const QString& IniFileName() const { return iniFileName_; }
    const QString& WorkDir() const { return workDir_; }
    // The file version without dots ("1100"), filled by the one-second timer (the title shows
    // it; the update names the versioned chip updater from the program's own version).
    const QString& VerDigits() const { return verDigits_; }
    const QString& DropFileName() const { return dropFileName_; }
    // The boot-mode step at which the last update failed (0: none of them).
    int ErrStage = 0;
    // TB_Write, the "ファーム(&E)" menu and the pop-up "書込" together. While a wait runs they
    // are off whatever this says; it decides what they are once it has ended.
    void EnableUpdateCommands(bool enabled);
    // Replaces the link controller with a fresh, unconnected one built as at start-up (work
    // folder, chip updater, TCP keys from the settings file, embedded firmware); its log stays
    // this window's pane. Returns once it is built.
    void RebuildLinkController();
    // Runs when TB_Write, "アップデート" (Ctrl+U) or "書込" (F9) is used.
    std::function<void()> onUpdateRequested;

    // The one log rule on SPTMemo, with this window's debug display setting.
    void AddLog(const QString& text, int force);
    LogSink& MemoSink() { return *memoSink_; }

    // ---- What the device asks of a person, and the wait window it shows -----------------
    void ShowErrorBox(const QString& text);
    void ShowOutOfRangeBox(const QString& text);
    // The connection dialog; what the operator confirms is written to the settings file at once.
    bool AskConnectionSettings(tagTCPIPPara& params, int& reWriteMode);
    void ShowConnectProgress(const QString& caption, const QString& text);
    void HideConnectProgress();

    // ---- Controls -------------------------------------------------------------------------
    QFrame* Panel3;
    QToolBar* ToolBar1;
    QAction* TB_Write;
    QLabel* STAddr;
    QFrame* Panel1;
    QLabel* STTitle;
    QFrame* Panel4;
    QProgressBar* CGauge1;
    QPlainTextEdit* SPTMemo;
    // Beyond the original: the firmware an update would write, in the status bar.
    QLabel* STFirmware;
    QTimer* Timer1;

    QMenu* File1;
    QAction* MnOpenFirmware; // beyond the original: a firmware file chosen in a dialog
    QAction* MnSaveLog;      // beyond the original: the log as a file to attach to a report
    QAction* MnOpenRecords;  // beyond the original: the folder of the runs' records
    QAction* FileExitItem;
    QMenu* MnCmd;
    QMenu* MnConfig;
    QAction* MnSetConfig;
    QAction* MnSetCOMPort;
    QMenu* OpenClose1;
    QAction* Open1;
    QAction* Clsoe1;
    QAction* Rom1;
    QAction* Boot1;
    QMenu* MnFarm;
    QAction* N2;
    QAction* MnFleet; // beyond the original: many R/Ws at once (FleetWindow)
    QMenu* Help1;
    QAction* HelpAboutItem;
    QMenu* PopupMenu1;
    QAction* MnClear;
    QAction* MnProgram;
    TAboutBox* AboutBox;

Q_SIGNALS:
    // The connection procedure at start was cancelled or found no R/W, or the operator cancelled
    // a later one: the program ends.
    void ApplicationEndRequested();

public Q_SLOTS:
    void TB_WriteClick();
    void Timer1Timer();
    void FormShow();
    void MnSetConfigClick();
    void Clsoe1Click();
    void Rom1Click();
    void Boot1Click();
    void MnClearClick();
    void MnOpenFirmwareClick();
    void MnFleetClick();
    void MnSaveLogClick();
    void MnOpenRecordsClick();
    void HelpAboutItemClick();
    // A file dropped on the window: only the first of several is taken.
    void DropFiles(const QStringList& fileNames);
    // Reads a firmware file into the device's image, as a drop or "ファームウェアを開く" does.
    void LoadFirmwareFile(const QString& fileName);
    // Writes the log pane to `fileName` (UTF-8, one line per log line); false with the reason.
    bool SaveLog(const QString& fileName, QString* error) const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void StartDevice();
    void ShowDeviceEvent(const RunEvent& event);
    void ApplySettingsToDevice();
    void RunDiagnostic(BootDiagHandler handler);
    void EndProgram();
    // What the device had when a job ended: its connection parameters and firmware image.
    void TakeSnapshot(const DeviceSnapshot& snapshot);
    tagTCPIPPara CurrentTcpParams();
    void WriteIniFile();
    bool SaveSettings(const tagTCPIPPara& tcp, QString* error);
    void GateCommands();
    bool AcceptsDrop(const QMimeData* mime) const;

    StartupContext context_;
    TimerResolution timerResolution_; // raised at start-up, handed back at the end
    AppSettings settings_;
    QString iniFileName_;
    QString workDir_;
    QString verDigits_;
    QString dropFileName_;
    std::unique_ptr<MemoLogSink> memoSink_;
    TGuage1Dlg* progress_ = nullptr;
    // The one wait the window runs at a time (the connection procedure, an update, a
    // diagnostic command) and the commands it refuses meanwhile.
    CommandGate gate_;
    WindowQuestions questions_{*this};
    std::unique_ptr<DeviceThread> device_;
    // The connection parameters as the device had them when its last job ended, for a close
    // while it is busy.
    tagTCPIPPara tcp_;
    QString firmwareFile_;
    bool firmwareLoaded_ = false;
    std::unique_ptr<FleetWindow> fleetWindow_;
    bool shownOnce_ = false;
    bool settingsWritten_ = false;
    bool endRequested_ = false; // the operator cancelled the connection dialog
    bool endSignalled_ = false;
};
