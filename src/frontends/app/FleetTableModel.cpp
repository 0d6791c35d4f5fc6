#include "app/FleetTableModel.h"

#include "update/UpdateSteps.h"

#include <algorithm>

namespace {

QString StateText(const FleetTableModel::Entry& e) {
    switch (e.live.phase) {
    case FleetBoard::Phase::Running:
        return QStringLiteral("実行中");
    case FleetBoard::Phase::Done:
        return QStringLiteral("終了");
    case FleetBoard::Phase::Waiting:
        break;
    }
    return e.queued ? QStringLiteral("待機") : QString();
}

// What an exit code says, by the step the run ended at.
QString Meaning(const RunRecord& record) {
    if (record.interrupted)
        return QStringLiteral("中断");
    for (const StepInfo& step : Steps())
        if (step.exitCode == record.exitCode)
            return step.title + QStringLiteral("で失敗");
    return {};
}

} // namespace

int FleetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(entries_.size());
}

int FleetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString FleetTableModel::ResultText(const Entry& e) {
    if (!e.record)
        return e.live.phase == FleetBoard::Phase::Done ? QStringLiteral("未実行") : QString();
    if (e.record->skipped)
        return QStringLiteral("スキップ");
    if (e.record->ok)
        return QStringLiteral("OK");
    return QStringLiteral("NG %1 %2").arg(e.record->exitCode).arg(Meaning(*e.record));
}

QVariant FleetTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const Entry& e = At(index.row());
    const FleetBoard::Row& live = e.live;
    switch (index.column()) {
    case Address:
        return e.target.host;
    case Port:
        return e.target.port;
    case ReWrite:
        return e.target.rewrite ? QStringLiteral("再書き込み") : QString();
    case Mac:
        return live.mac;
    case State:
        return StateText(e);
    case StepColumn:
        return live.phase == FleetBoard::Phase::Running ? live.step : QString();
    case Percent:
        return live.phase == FleetBoard::Phase::Running && live.percent > 0
                   ? QVariant(QStringLiteral("%1%").arg(live.percent))
                   : QVariant();
    case RomBefore:
        return live.romBefore;
    case ChipBefore:
        return live.chipBefore;
    case RomAfter:
        return live.romAfter;
    case ChipAfter:
        return live.chipAfter;
    case Result:
        return ResultText(e);
    case Seconds:
        return live.phase == FleetBoard::Phase::Done
                   ? QVariant(
                         QString::number(double(live.endedMs - live.startedMs) / 1000.0, 'f', 1))
                   : QVariant();
    default:
        return {};
    }
}

QVariant FleetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const kTitles[ColumnCount] = {
        "アドレス", "ポート",   "モード",  "MAC",      "状態", "ステップ", "進捗",
        "ROM(前)",  "CHIP(前)", "ROM(後)", "CHIP(後)", "結果", "秒"};
    return QString::fromUtf8(kTitles[section]);
}

QString FleetTableModel::WidestText(int column) {
    static const char* const kWidest[ColumnCount] = {"127.255.255.255",
                                                     "65535",
                                                     "再書き込み",
                                                     "02-00-7F-00-00-00",
                                                     "実行中",
                                                     "バージョン照合",
                                                     "100%",
                                                     "1.00A0001",
                                                     "1.00C0001",
                                                     "1.00A0001",
                                                     "1.00C0001",
                                                     "NG 15 書き込みで失敗",
                                                     "100.0"};
    return QString::fromUtf8(kWidest[column]);
}

bool FleetTableModel::Add(const FleetTarget& target) {
    const bool known = std::any_of(entries_.begin(), entries_.end(),
                                   [&](const Entry& e) { return e.target.host == target.host; });
    if (known)
        return false;
    const int row = int(entries_.size());
    beginInsertRows({}, row, row);
    entries_.push_back(Entry{target, {}, false, std::nullopt, {}});
    endInsertRows();
    return true;
}

void FleetTableModel::Remove(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (const int row : rows) {
        beginRemoveRows({}, row, row);
        entries_.erase(entries_.begin() + row);
        endRemoveRows();
    }
}

void FleetTableModel::Queue(const std::vector<int>& rows) {
    for (const int row : rows) {
        Entry& e = entries_[std::size_t(row)];
        e.live = FleetBoard::Row{};
        e.record.reset();
        e.queued = true;
        RowChanged(row);
    }
}

void FleetTableModel::Show(int row, const FleetBoard::Row& live) {
    Entry& e = entries_[std::size_t(row)];
    if (e.live.phase == live.phase && e.live.step == live.step && e.live.percent == live.percent &&
        e.live.mac == live.mac && e.live.romBefore == live.romBefore &&
        e.live.romAfter == live.romAfter && e.live.chipAfter == live.chipAfter)
        return;
    e.live = live;
    RowChanged(row);
}

void FleetTableModel::Finish(int row, const std::optional<RunRecord>& record,
                             const QString& logFile) {
    Entry& e = entries_[std::size_t(row)];
    e.queued = false;
    e.record = record;
    e.logFile = logFile;
    if (e.live.phase != FleetBoard::Phase::Done)
        e.live.phase = FleetBoard::Phase::Done;
    RowChanged(row);
}

void FleetTableModel::RowChanged(int row) {
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}
