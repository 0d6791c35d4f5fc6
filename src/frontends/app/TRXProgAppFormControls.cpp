// The main window's controls and menus, as the operator has always seen them.

#include "app/TRXProgAppForm.h"

#include "app/UiFonts.h"

#include <QAction>
#include <QCursor>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

void MakeSunken(QLabel* label) {
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

} // namespace

void TRXProgAppForm::BuildControls() {
    setWindowTitle(kMainWindowCaption);
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
    // At least as high as it has always been; the rest of a larger window is the log's.
    SPTMemo->setMinimumHeight(211);
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
    panelLayout->addWidget(SPTMemo, 1);

    clientLayout->addWidget(Panel3);
    clientLayout->addWidget(Panel1, 1);
    setCentralWidget(client);
    statusBar()->setSizeGripEnabled(false);
    // Always in view: which firmware an update would write.
    STFirmware = new QLabel(this);
    STFirmware->setObjectName(QStringLiteral("STFirmware"));
    statusBar()->addPermanentWidget(STFirmware);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TRXProgAppForm::Timer1Timer);
    Timer1->start();
}

void TRXProgAppForm::BuildMenus() {
    File1 = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    MnOpenFirmware = File1->addAction(QStringLiteral("ファームウェアを開く(&O)..."));
    MnOpenFirmware->setShortcut(QKeySequence::Open);
    connect(MnOpenFirmware, &QAction::triggered, this, &TRXProgAppForm::MnOpenFirmwareClick);
    MnSaveLog = File1->addAction(QStringLiteral("ログを保存(&S)..."));
    MnSaveLog->setShortcut(QKeySequence::Save);
    connect(MnSaveLog, &QAction::triggered, this, &TRXProgAppForm::MnSaveLogClick);
    MnOpenRecords = File1->addAction(QStringLiteral("記録フォルダを開く"));
    connect(MnOpenRecords, &QAction::triggered, this, &TRXProgAppForm::MnOpenRecordsClick);
    File1->addSeparator();
    FileExitItem = File1->addAction(QStringLiteral("終了(&X)"));
    connect(FileExitItem, &QAction::triggered, this, &QWidget::close);

    MnCmd = menuBar()->addMenu(QStringLiteral("コマンド"));
    PopulateCommandMenu(MnCmd, [this](BootDiagHandler handler) { RunDiagnostic(handler); });

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
    MnFleet = MnFarm->addAction(QStringLiteral("複数台アップデート..."));
    MnFleet->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U));
    connect(MnFleet, &QAction::triggered, this, &TRXProgAppForm::MnFleetClick);

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
    // The layouts keep every control in view however small the window is made.
    resize(539, 396 + menuHeight);
}

// Every command that starts work of its own: the update commands, saving the log, and every
// item of the hidden menus (each is a diagnostic command or a dialog).
void TRXProgAppForm::GateCommands() {
    for (QAction* update : {TB_Write, N2, MnProgram})
        gate_.AddUpdateCommand(update);
    gate_.AddUpdateCommand(MnFarm);
    gate_.AddCommand(MnSaveLog);
    gate_.AddCommand(MnOpenFirmware);
    for (QMenu* hidden : {MnCmd, MnConfig, Help1})
        for (QAction* item : hidden->findChildren<QAction*>())
            if (!item->menu() && !item->isSeparator())
                gate_.AddCommand(item);
}
