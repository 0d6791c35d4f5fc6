#pragma once

#include "app/FleetTableModel.h"
#include "app/UpdateSounds.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class FleetBatch;
struct FleetReport;
class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QPushButton;
class QTableView;
class QTimer;
class TRXProgAppForm;

// "複数台アップデート": many R/Ws updated at once from the window, with the fleet engine that
// tessaly-cli fleet runs. The list of R/Ws is entered by hand, pasted, read from a file or taken
// from a LAN search, and kept in the settings file; a batch updates every row (or the NG rows
// chosen again, as --retry does), live in the table, and leaves its report in the records
// folder. While a batch runs, the main window's one-device commands are refused.
class FleetWindow final : public QWidget {
    Q_OBJECT
public:
    explicit FleetWindow(TRXProgAppForm& form);
    ~FleetWindow() override;

    FleetTableModel& Model() { return model_; }
    bool Running() const { return batch_ != nullptr; }

    // Takes the R/Ws of a list (a line each, "ADDR[:PORT] [boot]"); a line that is no R/W, or
    // one the table holds already, is not added and is named with its line number, which is
    // also returned.
    QStringList AddFromText(const QString& text);
    // Updates `rows` (every row when empty); with `retry`, as --retry does: a failed write again
    // in re-write mode.
    void RunRows(std::vector<int> rows, bool retry);
    // The report of the last batch, as JSON (and CSV beside it) in the records folder.
    const QString& LastReport() const { return lastReport_; }

    QTableView* Table;
    QPushButton* AddButton;
    QPushButton* PasteButton;
    QPushButton* ImportButton;
    QPushButton* ScanButton;
    QPushButton* RemoveButton;
    QPushButton* RunAllButton;
    QPushButton* RetryButton;
    QPushButton* StopButton;
    QCheckBox* SkipCurrent;
    QLineEdit* SkipVersion;
    QSpinBox* Jobs; // at most this many R/Ws at once
    QLabel* Summary;

Q_SIGNALS:
    void BatchFinished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void AddByHand();
    void Paste();
    void Import();
    void Search();
    void RemoveSelected();
    void RetrySelected();
    void Stop();
    void ShowRow(const QModelIndex& index);
    void Refresh();
    void BatchDone(const FleetReport& report, const QString& reportFile,
                   const QString& reportError);
    void SaveList();
    void LoadList();
    void EnableButtons();
    void SayRefused(const QStringList& lines);
    std::vector<int> SelectedRows() const;

    TRXProgAppForm& form_;
    FleetTableModel model_;
    UpdateSounds sounds_;
    std::unique_ptr<FleetBatch> batch_;
    std::vector<int> batchRows_; // table row of each device of the running batch
    QTimer* refresh_;
    bool closeAfterBatch_ = false;
    QString lastReport_;
};
