#include "monitor/TrafficListModel.h"

#include <QColor>

using kelvane::TrafficKind;

void TrafficListModel::Append(const std::vector<TrafficRow>& rows) {
    if (rows.empty()) return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), rows.begin(), rows.end());
    endInsertRows();
    trim();
}

void TrafficListModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void TrafficListModel::SetMaximumRows(int rows) {
    maximumRows_ = std::max(rows, 1);
    trim();
}

void TrafficListModel::trim() {
    const int surplus = static_cast<int>(rows_.size()) - maximumRows_;
    if (surplus <= 0) return;
    beginRemoveRows({}, 0, surplus - 1);
    rows_.erase(rows_.begin(), rows_.begin() + surplus);
    endRemoveRows();
}

int TrafficListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TrafficListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TrafficListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const TrafficRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case TimeColumn:
                    return row.time;
                case DirectionColumn:
                    return row.direction;
                case TextColumn:
                    return row.text;
                case BytesColumn:
                    return row.bytes;
            }
            return {};
        case Qt::BackgroundRole:
            return row.failed ? QVariant(QColor(255, 205, 205)) : QVariant();
        case Qt::ForegroundRole:
            return row.failed ? QVariant(QColor(160, 0, 0)) : QVariant();
        case KindRole:
            return static_cast<int>(row.kind);
        case FailedRole:
            return row.failed;
        default:
            return {};
    }
}

QVariant TrafficListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kHeadings[] = {"时间", "方向", "内容", "原始字节"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(kHeadings[section]) : QVariant();
}

void TrafficFilter::SetMode(Mode mode) {
    mode_ = mode;
    invalidateFilter();
}

bool TrafficFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    const auto kind = static_cast<TrafficKind>(index.data(TrafficListModel::KindRole).toInt());
    switch (mode_) {
        case All:
            return true;
        case Commands:
            return kind == TrafficKind::Command;
        case Records:
            return kind == TrafficKind::Record;
        case Modbus:
            return kind == TrafficKind::Modbus;
        case Failures:
            return index.data(TrafficListModel::FailedRole).toBool();
    }
    return true;
}
