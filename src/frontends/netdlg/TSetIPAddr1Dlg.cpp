#include "netdlg/TSetIPAddr1Dlg.h"

#include "netdlg/AdapterMatch.h"
#include "netdlg/NetworkSettingsTool.h"
#include "netdlg/TConfErrDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kMaxPort = 64000;
const QColor kSelectedRowColour(0, 255, 255);

QSpinBox* MakeEdit(QWidget* parent, int maximum) {
    auto* edit = new QSpinBox(parent);
    edit->setRange(0, maximum);
    return edit;
}

} // namespace

TSetIPAddr1Dlg::TSetIPAddr1Dlg(const AdapterSource& adapters, const tagTCPIPPara& params,
                               int& reWriteFlag, QWidget* parent)
    : QDialog(parent), adapters_(adapters.Adapters()), result_(params), reWriteFlag_(reWriteFlag) {
    BuildControls();
    FillGrid();

    const std::optional<std::uint32_t> target = AdapterMatch::ParseAddress(params.TCPServAddr);
    const int matched = AdapterMatch::LastMatchingIndex(adapters_, target);

    SetModeIndex(params.fTCPServer);
    Ed_SPortNum->setValue(params.TCPPort);
    Ed_CPortNum->setValue(params.TCPServPort);

    if (matched >= 0) {
        selectedRow_ = matched + 1;
        ShowAddress(*target, adapters_[matched].mask);
    } else if (!adapters_.isEmpty()) {
        // The stored address lies in none of the PC's subnets: offer the first adapter's own.
        selectedRow_ = 1;
        ShowAddress(adapters_.first().address, adapters_.first().mask);
    } else {
        // No adapter but 127.0.0.1: nothing to lock against, the stored address stays editable.
        selectedRow_ = 0;
        ShowAddress(target.value_or(0), 0);
    }
    PaintGrid();
}

void TSetIPAddr1Dlg::BuildControls() {
    setWindowTitle(QStringLiteral("TCP/IPの設定"));

    auto* rwTitle = new QLabel(QStringLiteral("RWの設定"), this);

    RGIPMode = new QGroupBox(QStringLiteral("動作モード"), this);
    RGIPModeServer = new QRadioButton(QStringLiteral("サーバー"), RGIPMode);
    RGIPModeClient = new QRadioButton(QStringLiteral("クライアント"), RGIPMode);
    modeButtons_ = new QButtonGroup(this);
    modeButtons_->addButton(RGIPModeServer, 0);
    modeButtons_->addButton(RGIPModeClient, 1);
    auto* modeLayout = new QHBoxLayout(RGIPMode);
    modeLayout->addWidget(RGIPModeServer);
    modeLayout->addWidget(RGIPModeClient);
    connect(modeButtons_, &QButtonGroup::idClicked, this, &TSetIPAddr1Dlg::RGIPModeClick);

    Ed_CIP1 = MakeEdit(this, 255);
    Ed_CIP2 = MakeEdit(this, 255);
    Ed_CIP3 = MakeEdit(this, 255);
    Ed_CIP4 = MakeEdit(this, 255);
    auto* addressRow = new QHBoxLayout;
    addressRow->addWidget(new QLabel(QStringLiteral("IPアドレス"), this));
    for (QSpinBox* edit : AddressEdits()) {
        if (edit != Ed_CIP1)
            addressRow->addWidget(new QLabel(QStringLiteral(":"), this));
        addressRow->addWidget(edit);
    }
    addressRow->addStretch();

    Ed_CPortNum = MakeEdit(this, kMaxPort);
    Ed_SPortNum = MakeEdit(this, kMaxPort);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(QStringLiteral("ポート番号"), this));
    portRow->addWidget(Ed_CPortNum);
    portRow->addSpacing(16);
    portRow->addWidget(new QLabel(QStringLiteral("ポート番号"), this));
    portRow->addWidget(Ed_SPortNum);
    portRow->addStretch();

    Label2 = new QLabel(QStringLiteral("Default1:  10.16.77.170(10777)"), this);
    Label3 = new QLabel(QStringLiteral("Default2:  192.168.0.1(9004)"), this);

    auto* pcTitle = new QLabel(QStringLiteral("ＰＣのTCP/IPの設定"), this);
    StringGrid1 = new QTableWidget(kVisibleAdapterRows, 2, this);
    StringGrid1->setHorizontalHeaderLabels(
        {QStringLiteral("IP Address"), QStringLiteral("NET MASK")});
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(24);
    StringGrid1->horizontalHeader()->setFixedHeight(24);
    StringGrid1->setColumnWidth(0, 225);
    StringGrid1->setColumnWidth(1, 175);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setFixedSize(225 + 175 + 2 * StringGrid1->frameWidth(),
                              24 * (kVisibleAdapterRows + 1) + 2 * StringGrid1->frameWidth());
    connect(StringGrid1, &QTableWidget::cellClicked, this,
            [this](int row, int) { StringGrid1Click(row + 1); });

    BtNetwork = new QPushButton(QStringLiteral("ネットワーク接続..."), this);
    MnBtErr = new QPushButton(QStringLiteral("再書込み設定..."), this);
    OKBtn = new QPushButton(QStringLiteral("接続"), this);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
    connect(BtNetwork, &QPushButton::clicked, this, &TSetIPAddr1Dlg::BtNetworkClick);
    connect(MnBtErr, &QPushButton::clicked, this, &TSetIPAddr1Dlg::MnBtErrClick);
    connect(OKBtn, &QPushButton::clicked, this, &TSetIPAddr1Dlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* tools = new QHBoxLayout;
    tools->addWidget(BtNetwork);
    tools->addWidget(MnBtErr);
    tools->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rwTitle);
    layout->addWidget(RGIPMode);
    layout->addLayout(addressRow);
    layout->addLayout(portRow);
    layout->addWidget(Label2);
    layout->addWidget(Label3);
    layout->addSpacing(8);
    layout->addWidget(pcTitle);
    layout->addWidget(StringGrid1);
    layout->addLayout(tools);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

std::array<QSpinBox*, 4> TSetIPAddr1Dlg::AddressEdits() const {
    return {Ed_CIP1, Ed_CIP2, Ed_CIP3, Ed_CIP4};
}

void TSetIPAddr1Dlg::FillGrid() {
    for (int row = 0; row < kVisibleAdapterRows; ++row) {
        const bool used = row < adapters_.size();
        const QString address = used ? AdapterMatch::ToText(adapters_[row].address) : QString();
        const QString mask = used ? AdapterMatch::ToText(adapters_[row].mask) : QString();
        StringGrid1->setItem(row, 0, new QTableWidgetItem(address));
        StringGrid1->setItem(row, 1, new QTableWidgetItem(mask));
    }
}

void TSetIPAddr1Dlg::PaintGrid() {
    const QBrush normal = StringGrid1->palette().base();
    for (int row = 0; row < StringGrid1->rowCount(); ++row)
        for (int column = 0; column < 2; ++column) {
            QTableWidgetItem* cell = StringGrid1->item(row, column);
            cell->setBackground(row + 1 == selectedRow_ ? QBrush(kSelectedRowColour) : normal);
            cell->setForeground(Qt::black);
            cell->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
        }
}

void TSetIPAddr1Dlg::ShowAddress(std::uint32_t address, std::uint32_t lockMask) {
    const std::array<bool, 4> locked = AdapterMatch::LockedBytes(lockMask);
    const std::array<QSpinBox*, 4> edits = AddressEdits();
    for (int b = 0; b < 4; ++b) {
        edits[static_cast<std::size_t>(b)]->setValue(AdapterMatch::ByteOf(address, b));
        edits[static_cast<std::size_t>(b)]->setEnabled(!locked[static_cast<std::size_t>(b)]);
    }
}

void TSetIPAddr1Dlg::StringGrid1Click(int gridRow) {
    const QTableWidgetItem* first = StringGrid1->item(gridRow - 1, 0);
    if (!first || first->text().trimmed().isEmpty())
        return;
    selectedRow_ = gridRow;
    PaintGrid();
    const Ipv4Adapter& adapter = adapters_[gridRow - 1];
    ShowAddress(adapter.address, adapter.mask);
}

void TSetIPAddr1Dlg::SetModeIndex(int index) {
    (index == 0 ? RGIPModeServer : RGIPModeClient)->setChecked(true);
    RGIPModeClick(index == 0 ? 0 : 1);
}

int TSetIPAddr1Dlg::ModeIndex() const {
    return RGIPModeServer->isChecked() ? 0 : 1;
}

void TSetIPAddr1Dlg::RGIPModeClick(int index) {
    // The R/W as server: the tool connects to the client port; as client: the other way round.
    Ed_CPortNum->setEnabled(index == 0);
    Ed_SPortNum->setEnabled(index != 0);
}

void TSetIPAddr1Dlg::BtNetworkClick() {
    if (NetworkSettingsTool::Open(this))
        return;
    QMessageBox::information(
        this, QStringLiteral("ネットワーク接続"),
        QStringLiteral("ネットワーク接続の設定ツールが見つかりません。\n"
                       "OSの設定画面からネットワーク接続を確認してください。"));
}

void TSetIPAddr1Dlg::MnBtErrClick() {
    TConfErrDlg dialog(this);
    dialog.CBReWrite->setChecked(reWriteFlag_ != 0);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool reWrite = dialog.CBReWrite->isChecked();
    reWriteFlag_ = reWrite ? 1 : 0;
    setWindowTitle(reWrite ? QStringLiteral("ＰＣ側のＴＣＰ／ＩＰの設定（再書込みモード）")
                           : QStringLiteral("ＰＣ側のＴＣＰ／ＩＰの設定"));
}

void TSetIPAddr1Dlg::OKBtnClick() {
    result_.fTCPServer = ModeIndex();
    result_.TCPPort = Ed_SPortNum->value();
    result_.TCPServPort = Ed_CPortNum->value();
    std::array<int, 4> bytes{};
    const std::array<QSpinBox*, 4> edits = AddressEdits();
    for (std::size_t b = 0; b < 4; ++b)
        bytes[b] = edits[b]->value();
    result_.TCPServAddr = AdapterMatch::ToText(AdapterMatch::FromBytes(bytes));
    accept();
}
