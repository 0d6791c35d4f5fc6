#pragma once

#include "link/LinkRecords.h"
#include "netdlg/AdapterSource.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

// "TCP/IPの設定": where the R/W is. The address is chosen inside the subnet of one of the PC's
// adapters: the bytes that adapter's mask fixes are locked and only the host bytes can be
// edited. The dialog works on its own copy of the connection parameters; the caller takes
// Result() only when the dialog was confirmed with "接続". The re-write setting it opens
// belongs to the link controller and is stored at once, whatever happens to this dialog.
class TSetIPAddr1Dlg : public QDialog {
    Q_OBJECT
public:
    TSetIPAddr1Dlg(const AdapterSource& adapters, const tagTCPIPPara& params, int& reWriteFlag,
                   QWidget* parent = nullptr);

    // Grid rows below the header; an adapter beyond them is in the list but not on screen.
    static constexpr int kVisibleAdapterRows = 4;

    // The edited parameters (the creation values until "接続" was pressed).
    const tagTCPIPPara& Result() const { return result_; }
    // The selected grid row: 1 for the first adapter, 0 when there is no adapter at all.
    int SelectedRow() const { return selectedRow_; }
    const QList<Ipv4Adapter>& AdapterList() const { return adapters_; }

    // Selects an operating mode item as a click would.
    void SetModeIndex(int index);
    int ModeIndex() const;

    QGroupBox* RGIPMode;
    QRadioButton* RGIPModeServer;
    QRadioButton* RGIPModeClient;
    QSpinBox* Ed_CIP1;
    QSpinBox* Ed_CIP2;
    QSpinBox* Ed_CIP3;
    QSpinBox* Ed_CIP4;
    QSpinBox* Ed_CPortNum;
    QSpinBox* Ed_SPortNum;
    QLabel* Label2;
    QLabel* Label3;
    QTableWidget* StringGrid1;
    QPushButton* BtNetwork;
    QPushButton* MnBtErr;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

public Q_SLOTS:
    void StringGrid1Click(int gridRow);
    void RGIPModeClick(int index);
    void BtNetworkClick();
    void MnBtErrClick();
    void OKBtnClick();

private:
    void BuildControls();
    void FillGrid();
    void PaintGrid();
    void ShowAddress(std::uint32_t address, std::uint32_t lockMask);
    std::array<QSpinBox*, 4> AddressEdits() const;

    QList<Ipv4Adapter> adapters_;
    tagTCPIPPara result_;
    int& reWriteFlag_;
    int selectedRow_ = 0;
    QButtonGroup* modeButtons_ = nullptr;
};
