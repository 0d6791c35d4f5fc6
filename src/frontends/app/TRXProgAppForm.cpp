#include "app/TRXProgAppForm.h"

#include "app/CommandMenu.h"
#include "app/TAboutBox.h"
#include "app/TConfigDlg.h"
#include "app/TGuage1Dlg.h"
#include "app/UiFonts.h"
#include "app/VersionInfo.h"
#include "link/TFlashWrRXCont.h"
#include "netdlg/TSetIPAddr1Dlg.h"
#include "records/RecordsFolder.h"
#include "resources/EmbeddedResources.h"
#include "update/LinkStartUp.h"
#include "update/UpdateTexts.h"
#include "update/WorkFolder.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSaveFile>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("ZMW ファームウェアアップデート");

void MakeSunken(QLabel* label) {
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

QStringList LocalFiles(const QMimeData* mime) {
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    const QList<QUrl> urls = mime->urls();
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
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
    PrepareWorkFolder();

    MnCmd->menuAction()->setVisible(false);
    MnConfig->menuAction()->setVisible(false);
    STAddr->hide();
    CGauge1->setValue(0);

    iniFileName_ = SettingsFile::IniFileNameFor(context_.executablePath);
    BuildLinkController();
    if (EmbeddedResources::FirmwareIsStandIn())
        AddLog(UpdateText::StandInNotice, 1);

    AboutBox = new TAboutBox(this);
}

TRXProgAppForm::~TRXProgAppForm() = default;

void TRXProgAppForm::BuildControls() {
    setWindowTitle(kCaption);
    QFont windowFont = font();
    windowFont.setPixelSize(13);
    setFont(windowFont);

    auto* client = new QWidget(this);
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);

    Panel3 = new QFrame(client);
    Panel3->setFixedHeight(30);
    ToolBar1 = new QToolBar(Panel3);
    ToolBar1->setIconSize(QSize(22, 22));
    TB_Write = ToolBar1->addAction(style()->standardIcon(QStyle::SP_ArrowUp),
                                   QStringLiteral("ファームアップデート"));
    TB_Write->setToolTip(QStringLiteral("ファームアップデート"));
    TB_Write->setStatusTip(QStringLiteral("ファームアップデート"));
    connect(TB_Write, &QAction::triggered, this, &TRXProgAppForm::TB_WriteClick);
    STAddr = new QLabel(Panel3);
    STAddr->setFixedSize(53, 22);
    MakeSunken(STAddr);
    auto* topLayout = new QHBoxLayout(Panel3);
    topLayout->setContentsMargins(2, 0, 2, 0);
    topLayout->addWidget(ToolBar1);
    topLayout->addWidget(STAddr);
    topLayout->addStretch();

    Panel1 = new QFrame(client);
    STTitle = new QLabel(Panel1);
    STTitle->setFixedSize(177, 28);
    STTitle->setFont(UiFonts::Mincho(24));
    QPalette black = STTitle->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    STTitle->setPalette(black);
    MakeSunken(STTitle);

    Panel4 = new QFrame(Panel1);
    CGauge1 = new QProgressBar(Panel4);
    CGauge1->setFixedSize(277, 26);
    CGauge1->setRange(0, 100);
    CGauge1->setAlignment(Qt::AlignCenter);
    CGauge1->setStyleSheet(QStringLiteral("QProgressBar { background: palette(button); }"
                                          " QProgressBar::chunk { background: blue; }"));
    auto* gaugeLayout = new QHBoxLayout(Panel4);
    gaugeLayout->setContentsMargins(0, 0, 0, 0);
    gaugeLayout->addWidget(CGauge1);

    SPTMemo = new QPlainTextEdit(Panel1);
    SPTMemo->setFixedHeight(211);
    SPTMemo->setFont(UiFonts::Mincho(13));
    SPTMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SPTMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SPTMemo->setBackgroundRole(QPalette::Button);
    SPTMemo->viewport()->setBackgroundRole(QPalette::Button);
    SPTMemo->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(STTitle);
    titleRow->addWidget(Panel4);
    titleRow->addStretch();
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(1, 4, 1, 0);
    panelLayout->addLayout(titleRow);
    panelLayout->addStretch();
    panelLayout->addWidget(SPTMemo);

    clientLayout->addWidget(Panel3);
    clientLayout->addWidget(Panel1, 1);
    setCentralWidget(client);
    statusBar()->setSizeGripEnabled(false);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TRXProgAppForm::Timer1Timer);
    Timer1->start();
}

void TRXProgAppForm::BuildMenus() {
    File1 = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    MnSaveLog = File1->addAction(QStringLiteral("ログを保存(&S)..."));
    MnSaveLog->setShortcut(QKeySequence::Save);
    connect(MnSaveLog, &QAction::triggered, this, &TRXProgAppForm::MnSaveLogClick);
    MnOpenRecords = File1->addAction(QStringLiteral("記録フォルダを開く"));
    connect(MnOpenRecords, &QAction::triggered, this, &TRXProgAppForm::MnOpenRecordsClick);
    File1->addSeparator();
    FileExitItem = File1->addAction(QStringLiteral("終了(&X)"));
    connect(FileExitItem, &QAction::triggered, this, &QWidget::close);

    MnCmd = menuBar()->addMenu(QStringLiteral("コマンド"));
    PopulateCommandMenu(
        MnCmd,
        [this] {
            return CommandMenuTarget{link_.get(), {settings_.option, settings_.fCpuProg}};
        },
        gate_);

    MnConfig = menuBar()->addMenu(QStringLiteral("設定"));
    MnSetConfig = MnConfig->addAction(QStringLiteral("環境設定..."));
    connect(MnSetConfig, &QAction::triggered, this, &TRXProgAppForm::MnSetConfigClick);
    // Kept for the operator's habit; a LAN connection has no COM port to set up.
    MnSetCOMPort = MnConfig->addAction(QStringLiteral("COMポートの設定..."));
    OpenClose1 = MnConfig->addMenu(QStringLiteral("Open/Close"));
    Open1 = OpenClose1->addAction(QStringLiteral("Open"));
    Clsoe1 = OpenClose1->addAction(QStringLiteral("Clsoe"));
    connect(Clsoe1, &QAction::triggered, this, &TRXProgAppForm::Clsoe1Click);
    Rom1 = MnConfig->addAction(QStringLiteral("Romバージョン取得"));
    connect(Rom1, &QAction::triggered, this, &TRXProgAppForm::Rom1Click);
    Boot1 = MnConfig->addAction(QStringLiteral("Bootモードへ"));
    connect(Boot1, &QAction::triggered, this, &TRXProgAppForm::Boot1Click);

    MnFarm = menuBar()->addMenu(QStringLiteral("ファーム(&E)"));
    N2 = MnFarm->addAction(QStringLiteral("アップデート"));
    N2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    connect(N2, &QAction::triggered, this, &TRXProgAppForm::TB_WriteClick);

    Help1 = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    HelpAboutItem = Help1->addAction(QStringLiteral("バージョン情報(&A)..."));
    connect(HelpAboutItem, &QAction::triggered, this, &TRXProgAppForm::HelpAboutItemClick);
    Help1->menuAction()->setVisible(false);

    PopupMenu1 = new QMenu(this);
    MnClear = PopupMenu1->addAction(QStringLiteral("クリア"));
    MnClear->setShortcut(QKeySequence(Qt::Key_F4));
    connect(MnClear, &QAction::triggered, this, &TRXProgAppForm::MnClearClick);
    PopupMenu1->addSeparator();
    MnProgram = PopupMenu1->addAction(QStringLiteral("書込"));
    MnProgram->setShortcut(QKeySequence(Qt::Key_F9));
    connect(MnProgram, &QAction::triggered, this, &TRXProgAppForm::TB_WriteClick);
    // The pop-up's shortcuts work while it is closed, as the window's own.
    addAction(MnClear);
    addAction(MnProgram);

    setContextMenuPolicy(Qt::CustomContextMenu);
    const auto popup = [this](const QPoint&) {
        // The pop-up's own loop would hold a running wait up until it closes.
        if (gate_.WaitRunning()) {
            AddLog(CommandGateText::kMenuRefused, 0);
            return;
        }
        PopupMenu1->exec(QCursor::pos());
    };
    connect(this, &QWidget::customContextMenuRequested, this, popup);
    connect(SPTMemo, &QWidget::customContextMenuRequested, this, popup);

    const int menuHeight = menuBar()->sizeHint().height();
    resize(539, 396 + menuHeight);
}

// Every command that starts work of its own: the update commands, saving the log, and every
// item of the hidden menus (each is a diagnostic command or a dialog).
void TRXProgAppForm::GateCommands() {
    for (QAction* update : {TB_Write, N2, MnProgram})
        gate_.AddUpdateCommand(update);
    gate_.AddUpdateCommand(MnFarm);
    gate_.AddCommand(MnSaveLog);
    for (QMenu* hidden : {MnCmd, MnConfig, Help1})
        for (QAction* item : hidden->findChildren<QAction*>())
            if (!item->menu() && !item->isSeparator())
                gate_.AddCommand(item);
}

void TRXProgAppForm::PrepareWorkFolder() {
    workDir_ = WorkFolder::Prepare(QFileInfo(context_.executablePath).absolutePath());
}

void TRXProgAppForm::BuildLinkController() {
    link_ = ::BuildLinkController(LinkStartUp{
        .env = context_.environment,
        .logMemo = memoSink_.get(),
        .op = this,
        .arguments = context_.arguments,
        .workDir = workDir_,
        .firmwareText =
            EmbeddedResources::Find(QStringLiteral("HEXDATA"), QStringLiteral("HexData1")),
        .option = settings_.option,
        .params = SettingsFile(iniFileName_).ReadTcpKeys(),
        .bridgeBindAddress = SettingsFile(iniFileName_).ReadBridgeBindAddress(),
        .fDispDebugInfo = settings_.fDispDebugInfo,
        .fDispTxInfo = settings_.fDispTxInfo,
        .fDispRecInfo = settings_.fDispRecInfo,
    });
    // Only a firmware that parsed counts as loaded: updating from a blank or partial image
    // would leave the R/W without a working firmware.
    if (!link_->RomImageLoaded)
        AddLog(QStringLiteral("NG: Read ROM Data"), 1);
}

void TRXProgAppForm::RebuildLinkController() {
    link_.reset();
    PrepareWorkFolder();
    BuildLinkController();
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
    link_->ProcessMessages();
    raise();
    activateWindow();
    if (!context_.connectOnShow)
        return;
    const CommandGate::Scope wait(gate_);
    if (link_->ConnectReader() == 0) {
        close();
        Q_EMIT ApplicationEndRequested();
    }
}

void TRXProgAppForm::Timer1Timer() {
    Timer1->stop();
    const QString version = GetVersionInfoText(VersionInfo::FileVersion);
    setWindowTitle(kCaption + QStringLiteral(" Ver.") + version);
    verDigits_ = version;
    verDigits_.remove(QLatin1Char('.'));
}

void TRXProgAppForm::closeEvent(QCloseEvent* event) {
    // The link controller lives on until the window object goes: a close can arrive while a
    // link operation waits for a reply, and that operation must be able to finish.
    WriteIniFile();
    event->accept();
}

void TRXProgAppForm::WriteIniFile() {
    if (settingsWritten_)
        return;
    settingsWritten_ = true;
    QString error;
    if (!SaveSettings(link_->TCPIPPara, &error))
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

// ---- Menus --------------------------------------------------------------------------------

void TRXProgAppForm::TB_WriteClick() {
    if (!onUpdateRequested)
        return;
    const CommandGate::Scope wait(gate_);
    onUpdateRequested();
}

void TRXProgAppForm::MnSetConfigClick() {
    const CommandGate::Scope wait(gate_);
    TConfigDlg dialog(this);
    dialog.LoadFrom(settings_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.StoreTo(settings_);
    link_->fDispDebugInfo = settings_.fDispDebugInfo;
    link_->fDispTxInfo = settings_.fDispTxInfo;
    link_->fDispRecInfo = settings_.fDispRecInfo;
    link_->OptionPara = settings_.option;
    link_->SetTargetDevice(settings_.option.fCPUType, settings_.option.fROMSize);
}

void TRXProgAppForm::Clsoe1Click() {
    const CommandGate::Scope wait(gate_);
    link_->CloseLink();
    AddLog(QStringLiteral("Clse COM Port"), 1);
}

void TRXProgAppForm::Rom1Click() {
    const CommandGate::Scope wait(gate_);
    if (link_->GetRomVersion(0))
        AddLog(QStringLiteral("ROM Version : ") + link_->RomVersionText(), 1);
}

void TRXProgAppForm::Boot1Click() {
    const CommandGate::Scope wait(gate_);
    // The switch itself always reports success; only an answer from the R/W counts here.
    const bool ok = link_->SetProgMode() != 0 && link_->LastReplyOk != 0;
    AddLog(QStringLiteral("SetProgMode : ") +
               (ok ? QStringLiteral(" : OK") : QStringLiteral(" : NG")),
           1);
}

void TRXProgAppForm::MnClearClick() {
    memoSink_->Clear();
}

void TRXProgAppForm::MnSaveLogClick() {
    const QString suggested =
        QStringLiteral("tessaly-%1.log")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString fileName = QFileDialog::getSaveFileName(
        this, QStringLiteral("ログを保存"), suggested, QStringLiteral("ログ (*.log *.txt)"));
    if (fileName.isEmpty())
        return;
    QString error;
    if (!SaveLog(fileName, &error))
        QMessageBox::critical(this, QStringLiteral("ログを保存"),
                              QStringLiteral("ログを保存できませんでした。\n%1").arg(error));
}

void TRXProgAppForm::MnOpenRecordsClick() {
    // Before the first run the folder does not exist yet; the file manager shows it empty.
    const QString folder = RecordsFolder::ForWorkDir(workDir_);
    QDir().mkpath(folder);
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool TRXProgAppForm::SaveLog(const QString& fileName, QString* error) const {
    QSaveFile file(fileName);
    QByteArray text = SPTMemo->toPlainText().toUtf8();
    if (!text.isEmpty())
        text.append('\n');
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        *error = fileName + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

void TRXProgAppForm::HelpAboutItemClick() {
    const CommandGate::Scope wait(gate_);
    AboutBox->exec();
}

// ---- Dropped files ------------------------------------------------------------------------

bool TRXProgAppForm::AcceptsDrop(const QMimeData* mime) const {
    return !gate_.WaitRunning() && !LocalFiles(mime).isEmpty();
}

void TRXProgAppForm::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsDrop(event->mimeData()))
        event->acceptProposedAction();
}

void TRXProgAppForm::dropEvent(QDropEvent* event) {
    // A new image in the middle of an update would be written half old, half new.
    if (gate_.WaitRunning()) {
        event->ignore();
        AddLog(CommandGateText::kDropRefused, 0);
        return;
    }
    event->acceptProposedAction();
    DropFiles(LocalFiles(event->mimeData()));
}

void TRXProgAppForm::DropFiles(const QStringList& fileNames) {
    raise();
    activateWindow();
    dropFileName_ = fileNames.isEmpty() ? QString() : fileNames.first();
    if (dropFileName_.isEmpty())
        return;
    const bool loaded = link_->LoadRomImageFile(dropFileName_);
    AddLog(loaded ? QStringLiteral("OK: Read ROM Data") : QStringLiteral("NG: Read ROM Data"), 1);
}

// ---- What the link asks of the window -----------------------------------------------------

void TRXProgAppForm::SetStatusText(const QString& text) {
    statusBar()->showMessage(text);
}

void TRXProgAppForm::SetStepTitle(const QString& text) {
    STTitle->setText(text);
}

void TRXProgAppForm::SetAddressText(const QString& text) {
    STAddr->setText(text);
}

void TRXProgAppForm::SetGauge(int percent) {
    CGauge1->setValue(percent);
}

void TRXProgAppForm::ShowErrorBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("エラー"), text, QMessageBox::Yes, this);
    box.exec();
}

void TRXProgAppForm::ShowOutOfRangeBox(const QString& text) {
    QMessageBox box(QMessageBox::Warning, kCaption, text, QMessageBox::Ok, this);
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

void TRXProgAppForm::CloseMainWindow() {
    close();
}
