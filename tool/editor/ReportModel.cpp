#include "editor/ReportModel.h"

#include <algorithm>

int ReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !isRow(index.row()) || !isColumn(index.column())) return {};
    const Row& row = rows_[index.row()];
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return row.texts[column];
        case Qt::ForegroundRole:
            return row.textColors[column] == kSystemColor ? QVariant() : QVariant(ToQColor(row.textColors[column]));
        case Qt::BackgroundRole:
            return row.bkColors[column] == kSystemColor ? QVariant() : QVariant(ToQColor(row.bkColors[column]));
        case Qt::TextAlignmentRole:
            return int(columns_[column].format | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || !isColumn(section)) return {};
    if (role == Qt::DisplayRole) return columns_[section].heading;
    if (role == Qt::TextAlignmentRole) return int(columns_[section].format | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags ReportModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

int ReportModel::addColumn(int index, const QString& heading, Qt::Alignment format) {
    if (index < 0) return -1;
    index = std::min(index, columnCount());
    beginInsertColumns(QModelIndex(), index, index);
    columns_.insert(columns_.begin() + index, Column{heading, format});
    for (Row& row : rows_) {
        row.texts.insert(row.texts.begin() + index, QString());
        row.textColors.insert(row.textColors.begin() + index, kSystemColor);
        row.bkColors.insert(row.bkColors.begin() + index, kSystemColor);
    }
    endInsertColumns();
    return index;
}

bool ReportModel::deleteColumn(int index) {
    if (!isColumn(index)) return false;
    beginRemoveColumns(QModelIndex(), index, index);
    columns_.erase(columns_.begin() + index);
    for (Row& row : rows_) {
        row.texts.erase(row.texts.begin() + index);
        row.textColors.erase(row.textColors.begin() + index);
        row.bkColors.erase(row.bkColors.begin() + index);
    }
    endRemoveColumns();
    return true;
}

Qt::Alignment ReportModel::columnFormat(int column) const {
    return isColumn(column) ? columns_[column].format : Qt::AlignLeft;
}

ReportModel::Row ReportModel::emptyRow() const {
    Row row;
    row.texts.resize(columns_.size());
    row.textColors.assign(columns_.size(), kSystemColor);
    row.bkColors.assign(columns_.size(), kSystemColor);
    return row;
}

int ReportModel::addRow(int index, const QString& text) {
    if (index < 0) return -1;
    index = std::min(index, rowCount());
    beginInsertRows(QModelIndex(), index, index);
    Row row = emptyRow();
    if (!row.texts.empty()) row.texts[0] = text;
    rows_.insert(rows_.begin() + index, std::move(row));
    endInsertRows();
    return index;
}

bool ReportModel::deleteRow(int row) {
    if (!isRow(row)) return false;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    return true;
}

void ReportModel::resetRows(int count) {
    beginResetModel();
    rows_.assign(static_cast<std::size_t>(std::max(count, 0)), emptyRow());
    endResetModel();
}

bool ReportModel::moveRow(int row, int target) {
    if (!isRow(row) || !isRow(target) || row == target) return false;
    // Qt names the destination as the row before which the moved row lands.
    beginMoveRows(QModelIndex(), row, row, QModelIndex(), target > row ? target + 1 : target);
    Row moved = std::move(rows_[row]);
    rows_.erase(rows_.begin() + row);
    rows_.insert(rows_.begin() + target, std::move(moved));
    endMoveRows();
    return true;
}

bool ReportModel::setText(int row, int column, const QString& text) {
    if (!isRow(row) || !isColumn(column)) return false;
    QString& cell = rows_[row].texts[column];
    if (cell == text) return true;
    cell = text;
    changed(row, row, column, column);
    return true;
}

QString ReportModel::text(int row, int column) const {
    return isRow(row) && isColumn(column) ? rows_[row].texts[column] : QString();
}

bool ReportModel::setRowData(int row, std::uint32_t data) {
    if (!isRow(row)) return false;
    rows_[row].data = data;
    return true;
}

std::uint32_t ReportModel::rowData(int row) const { return isRow(row) ? rows_[row].data : 0; }

void ReportModel::setColor(ColorKind kind, int row, int column, ColorRef color) {
    const bool oneRow = isRow(row);
    const bool oneColumn = isColumn(column);
    const int firstRow = oneRow ? row : 0;
    const int lastRow = oneRow ? row : rowCount() - 1;
    const int firstColumn = oneColumn ? column : 0;
    const int lastColumn = oneColumn ? column : columnCount() - 1;
    for (int r = firstRow; r <= lastRow; ++r) {
        auto& colors = kind == ColorKind::Text ? rows_[r].textColors : rows_[r].bkColors;
        std::fill(colors.begin() + firstColumn, colors.begin() + lastColumn + 1, color);
    }
    if (batchDepth_ > 0 && firstRow <= lastRow && firstColumn <= lastColumn)
        changed(firstRow, lastRow, firstColumn, lastColumn);
}

ColorRef ReportModel::color(ColorKind kind, int row, int column) const {
    if (!isRow(row) || !isColumn(column)) return static_cast<ColorRef>(-1);
    return kind == ColorKind::Text ? rows_[row].textColors[column] : rows_[row].bkColors[column];
}

void ReportModel::changed(int firstRow, int lastRow, int firstColumn, int lastColumn) {
    if (batchDepth_ == 0) {
        emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn));
        return;
    }
    if (dirtyFirstRow_ > dirtyLastRow_) {
        dirtyFirstRow_ = firstRow, dirtyLastRow_ = lastRow;
        dirtyFirstColumn_ = firstColumn, dirtyLastColumn_ = lastColumn;
        return;
    }
    dirtyFirstRow_ = std::min(dirtyFirstRow_, firstRow);
    dirtyLastRow_ = std::max(dirtyLastRow_, lastRow);
    dirtyFirstColumn_ = std::min(dirtyFirstColumn_, firstColumn);
    dirtyLastColumn_ = std::max(dirtyLastColumn_, lastColumn);
}

void ReportModel::endBatch() {
    if (batchDepth_ == 0 || --batchDepth_ > 0) return;
    if (dirtyFirstRow_ > dirtyLastRow_) return;
    // Rows may have gone while the batch was open.
    const int lastRow = std::min(dirtyLastRow_, rowCount() - 1);
    const int lastColumn = std::min(dirtyLastColumn_, columnCount() - 1);
    const int firstRow = dirtyFirstRow_, firstColumn = dirtyFirstColumn_;
    dirtyFirstRow_ = 0, dirtyLastRow_ = -1;
    if (firstRow <= lastRow && firstColumn <= lastColumn)
        emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn));
}
