#pragma once

#include "app/CommandGate.h"
#include "app/MemoLogSink.h"
#include "app/SettingsFile.h"
#include "app/StartupContext.h"
#include "app/TimerResolution.h"
#include "link/LinkOperator.h"

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
class TAboutBox;
class TFlashWrRXCont;
class TGuage1Dlg;

// The main and only visible window: the log pane, the step title, the gauge, the update
// commands and the hidden diagnostic menus. It owns the settings and the link controller, and
// answers what the link asks of a person (LinkOperator): texts, gauge, message boxes, the
// connection dialog and the wait window.
class TRXProgAppForm : public QMainWindow, public LinkOperator {
    Q_OBJECT
public:
    // Does all start-up work: work folder and chip updater, options, the link controller, the
    // four TCP keys of the settings file and the embedded firmware.
    explicit TRXProgAppForm(const StartupContext& context, QWidget* parent = nullptr);
    ~TRXProgAppForm() override;

    // ---- What the update sequence works with --------------------------------------------
    TFlashWrRXCont* Link() const { return link_.get(); }
    AppSettings& Settings() { return settings_; }
    const QString& IniFileName() const { return iniFileName_; }
    const QString& WorkDir() const { return workDir_; }
    // The file version without dots ("1100"), filled by the one-second timer.
    const QString& VerDigits() const { return verDigits_; }
    const QString& DropFileName() const { return dropFileName_; }
    // The boot-mode step at which the last update failed (0: none of them).
    int ErrStage = 0;
    // TB_Write, the "ファーム(&E)" menu and the pop-up "書込" together. While a wait runs they
    // are off whatever this says; it decides what they are once it has ended.
    void EnableUpdateCommands(bool enabled);
    // Replaces the link controller with a fresh, unconnected one built as at start-up (work
    // folder, chip updater, TCP keys from the settings file, embedded firmware); its log stays
    // this window's pane.
    void RebuildLinkController();
    // Runs when TB_Write, "アップデート" (Ctrl+U) or "書込" (F9) is used.
    std::function<void()> onUpdateRequested;

    // The one log rule on SPTMemo, with this window's debug display setting.
    void AddLog(const QString& text, int force);
    LogSink& MemoSink() { return *memoSink_; }

    // ---- LinkOperator ---------------------------------------------------------------------
    void SetStatusText(const QString& text) override;
    void SetStepTitle(const QString& text) override;
    void SetAddressText(const QString& text) override;
    void SetGauge(int percent) override;
    void ShowErrorBox(const QString& text) override;
    void ShowOutOfRangeBox(const QString& text) override;
    bool AskConnectionSettings(tagTCPIPPara& params, int& reWriteMode) override;
    void ShowConnectProgress(const QString& caption, const QString& text) override;
    void HideConnectProgress() override;
    void CloseMainWindow() override;

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
    QTimer* Timer1;

    QMenu* File1;
    QAction* MnSaveLog; // beyond the original: the log as a file to attach to a report
    QAction* MnOpenRecords; // beyond the original: the folder of the runs' records
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
    QMenu* Help1;
    QAction* HelpAboutItem;
    QMenu* PopupMenu1;
    QAction* MnClear;
    QAction* MnProgram;
    TAboutBox* AboutBox;

Q_SIGNALS:
    // The connection procedure at start was cancelled or found no R/W: the program ends.
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
    void MnSaveLogClick();
    void MnOpenRecordsClick();
    void HelpAboutItemClick();
    // A file dropped on the window: only the first of several is taken.
    void DropFiles(const QStringList& fileNames);
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
    void PrepareWorkFolder();
    void BuildLinkController();
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
    std::unique_ptr<TFlashWrRXCont> link_;
    TGuage1Dlg* progress_ = nullptr;
    // The one wait the window runs at a time (the connection procedure, an update, a
    // diagnostic command) and the commands it refuses meanwhile.
    CommandGate gate_;
    bool shownOnce_ = false;
    bool settingsWritten_ = false;
};
