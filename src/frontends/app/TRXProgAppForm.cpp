#include "app/TRXProgAppForm.h"

#include "app/FleetWindow.h"
#include "app/TAboutBox.h"
#include "app/TGuage1Dlg.h"
#include "app/VersionInfo.h"
#include "link/TFlashWrRXCont.h"
#include "netdlg/TSetIPAddr1Dlg.h"
#include "resources/EmbeddedResources.h"
#include "update/UpdateTexts.h"
#include "update/WorkFolder.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

namespace {

DeviceSnapshot SnapshotOf(const TFlashWrRXCont& link) {
    return {link.TCPIPPara, link.RomImageLoaded != 0, SummarizeImage(link)};
}

} // namespace

TRXProgAppForm::TRXProgAppForm(const StartupContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context) {
    BuildControls();
    BuildMenus();
    memoSink_ = std::make_unique<MemoLogSink>(SPTMemo);
    setAcceptDrops(true);
    // The pane would take a dropped file for text and insert its name; without drops of its
    // own, a drop on it is the window's.
    SPTMemo->setAcceptDrops(false);
    SPTMemo->viewport()->setAcceptDrops(false);
    GateCommands();

    timerResolution_.Raise();
    workDir_ = WorkFolder::Prepare(QFileInfo(context_.executablePath).absolutePath());

    MnCmd->menuAction()->setVisible(false);
    MnConfig->menuAction()->setVisible(false);
    STAddr->hide();
    CGauge1->setValue(0);

    iniFileName_ = SettingsFile::IniFileNameFor(context_.executablePath);
    StartDevice();
    if (EmbeddedResources::FirmwareIsStandIn())
        AddLog(UpdateText::StandInNotice, 1);

    AboutBox = new TAboutBox(this);
}

TRXProgAppForm::~TRXProgAppForm() {
    // A fleet still running is stopped where it is; nobody is left to answer: a question the
    // device is waiting on ends unanswered, and the device's job gives up at its next safe
    // point before the device goes.
    fleetWindow_.reset();
    questions_.Abandon();
    device_.reset();
}

void TRXProgAppForm::StartDevice() {
    const SettingsFile ini(iniFileName_);
    tcp_ = ini.ReadTcpKeys();
    device_ = std::make_unique<DeviceThread>(
        LinkStartUp{
            .env = context_.environment,
            .arguments = context_.arguments,
            .workDir = workDir_,
            .firmwareText =
                EmbeddedResources::Find(QStringLiteral("HEXDATA"), QStringLiteral("HexData1")),
            .option = settings_.option,
            .params = tcp_,
            .bridgeBindAddress = ini.ReadBridgeBindAddress(),
            .fDispDebugInfo = settings_.fDispDebugInfo,
            .fDispTxInfo = settings_.fDispTxInfo,
            .fDispRecInfo = settings_.fDispRecInfo,
        },
        &questions_);
    connect(device_.get(), &DeviceThread::Event, this, &TRXProgAppForm::ShowDeviceEvent);
    // Every later controller is built as at start-up: the work folder probed again, the
    // settings file's connection keys read again.
    const QString executableFolder = QFileInfo(context_.executablePath).absolutePath();
    device_->Start([ini = iniFileName_, executableFolder](LinkStartUp& startUp) {
        startUp.workDir = WorkFolder::Prepare(executableFolder);
        startUp.params = SettingsFile(ini).ReadTcpKeys();
        startUp.bridgeBindAddress = SettingsFile(ini).ReadBridgeBindAddress();
    });
    DeviceSnapshot snapshot;
    device_->Call([&](DeviceSession& session) { snapshot = SnapshotOf(session.Link()); });
    TakeSnapshot(snapshot);
}

void TRXProgAppForm::RunOnDevice(std::function<void(DeviceSession&)> job,
                                 std::function<void()> done) {
    gate_.Begin();
    auto snapshot = std::make_shared<DeviceSnapshot>();
    device_->Post(
        [job = std::move(job), snapshot](DeviceSession& session) {
            job(session);
            *snapshot = SnapshotOf(session.Link());
        },
        [this, snapshot, done = std::move(done)] {
            TakeSnapshot(*snapshot);
            if (done)
                done();
            gate_.End();
            if (endRequested_)
                EndProgram();
        });
}

void TRXProgAppForm::RebuildLinkController() {
    DeviceSnapshot snapshot;
    device_->Call([&](DeviceSession& session) {
        session.Build();
        snapshot = SnapshotOf(session.Link());
    });
    TakeSnapshot(snapshot);
}

void TRXProgAppForm::TakeSnapshot(const DeviceSnapshot& snapshot) {
    tcp_ = snapshot.tcp;
    const ImageSummary& image = snapshot.image;
    firmwareLoaded_ = snapshot.imageLoaded;
    firmwareFile_ = image.source == QLatin1String("built-in") ? QString() : image.source;
    const QString source = image.source == QLatin1String("built-in")
                               ? QStringLiteral("内蔵")
                               : QFileInfo(image.source).fileName();
    STFirmware->setText(snapshot.imageLoaded
                            ? QStringLiteral("ファームウェア: %1  %2バイト  CRC %3")
                                  .arg(source)
                                  .arg(image.bytes)
                                  .arg(image.crc)
                            : QStringLiteral("ファームウェア: なし"));
    STFirmware->setToolTip(snapshot.imageLoaded ? image.source : QString());
}

void TRXProgAppForm::ShowDeviceEvent(const RunEvent& event) {
    switch (event.kind) {
    case RunEvent::Kind::Log:
        // The device has applied the debug display rule already; the pane keeps its own.
        WriteLogLine(memoSink_.get(), event.text, true, true);
        break;
    case RunEvent::Kind::Status:
        statusBar()->showMessage(event.text);
        break;
    case RunEvent::Kind::SearchShown:
        ShowConnectProgress(event.caption, event.text);
        break;
    case RunEvent::Kind::SearchHidden:
        HideConnectProgress();
        break;
    case RunEvent::Kind::ConnectionCancelled:
        // The program ends once the connection procedure has said why.
        endRequested_ = true;
        close();
        break;
    default:
        break;
    }
}

void TRXProgAppForm::EndProgram() {
    close();
    if (!endSignalled_)
        Q_EMIT ApplicationEndRequested();
    endSignalled_ = true;
}

void TRXProgAppForm::EnableUpdateCommands(bool enabled) {
    gate_.SetUpdateCommandsAllowed(enabled);
}

void TRXProgAppForm::AddLog(const QString& text, int force) {
    WriteLogLine(memoSink_.get(), text, force != 0, settings_.fDispDebugInfo != 0);
}

// ---- Start, timer, close ------------------------------------------------------------------

void TRXProgAppForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    // Once the window is on screen, not inside the show itself.
    QTimer::singleShot(0, this, &TRXProgAppForm::FormShow);
}

void TRXProgAppForm::FormShow() {
    raise();
    activateWindow();
    if (!context_.connectOnShow)
        return;
    auto found = std::make_shared<int>(0);
    RunOnDevice([found](DeviceSession& session) { *found = session.Link().ConnectReader(); },
                [this, found] {
                    if (*found == 0)
                        endRequested_ = true;
                });
}

void TRXProgAppForm::Timer1Timer() {
    Timer1->stop();
    const QString version = GetVersionInfoText(VersionInfo::FileVersion);
    setWindowTitle(kMainWindowCaption + QStringLiteral(" Ver.") + version);
    verDigits_ = version;
    verDigits_.remove(QLatin1Char('.'));
}

void TRXProgAppForm::closeEvent(QCloseEvent* event) {
    // The main window is disabled while an update writes the R/W: a device left half written
    // is a device that does not start.
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    WriteIniFile();
    event->accept();
}

tagTCPIPPara TRXProgAppForm::CurrentTcpParams() {
    // While a job runs the device cannot be asked; its parameters as the last job left them.
    if (Busy())
        return tcp_;
    DeviceSnapshot snapshot;
    device_->Call([&](DeviceSession& session) { snapshot = SnapshotOf(session.Link()); });
    TakeSnapshot(snapshot);
    return tcp_;
}

void TRXProgAppForm::WriteIniFile() {
    if (settingsWritten_)
        return;
    settingsWritten_ = true;
    QString error;
    if (!SaveSettings(CurrentTcpParams(), &error))
        qWarning("%s", qUtf8Printable(error));
}

bool TRXProgAppForm::SaveSettings(const tagTCPIPPara& tcp, QString* error) {
    AppSettings values = settings_;
    values.tcp = tcp;
    QString reason;
    if (SettingsFile(iniFileName_).Write(values, &reason))
        return true;
    *error = QStringLiteral("設定ファイルを保存できません: ") + reason;
    return false;
}

// ---- What the device asks of a person -----------------------------------------------------

void TRXProgAppForm::ShowErrorBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("エラー"), text, QMessageBox::Yes, this);
    box.exec();
}

void TRXProgAppForm::ShowOutOfRangeBox(const QString& text) {
    QMessageBox box(QMessageBox::Warning, kMainWindowCaption, text, QMessageBox::Ok, this);
    box.exec();
}

bool TRXProgAppForm::AskConnectionSettings(tagTCPIPPara& params, int& reWriteMode) {
    TSetIPAddr1Dlg dialog(*context_.adapters, params, reWriteMode, this);
    // This program always connects as the TCP client: the R/W is the server.
    dialog.SetModeIndex(0);
    dialog.RGIPMode->setEnabled(false);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    params = dialog.Result();
    tcp_ = params;
    // What the operator entered survives a crash or a kill during the search or the update.
    QString error;
    if (!SaveSettings(params, &error))
        AddLog(error, 1);
    return true;
}

void TRXProgAppForm::ShowConnectProgress(const QString& caption, const QString& text) {
    if (!progress_)
        progress_ = new TGuage1Dlg(this);
    progress_->PrepareForConnect(caption, text);
    progress_->show();
    progress_->raise();
    progress_->activateWindow();
}

void TRXProgAppForm::HideConnectProgress() {
    if (progress_)
        progress_->hide();
}
