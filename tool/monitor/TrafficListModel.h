// The rows of 通讯监视: time, direction, decoded text and raw bytes of each transfer, at most a
// set number of rows (the oldest go first), failed exchanges shaded; and the filter over them.
#pragma once

#include "core/traffic/TrafficDecoder.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

#include <deque>
#include <vector>

struct TrafficRow {
    QString time;
    QString direction;
    QString text;
    QString bytes;
    kelvane::TrafficKind kind;
    bool failed;
};

class TrafficListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, DirectionColumn, TextColumn, BytesColumn, ColumnCount };
    static constexpr int KindRole = Qt::UserRole;
    static constexpr int FailedRole = Qt::UserRole + 1;
    static constexpr int kDefaultMaximumRows = 10000;

    using QAbstractTableModel::QAbstractTableModel;

    void Append(const std::vector<TrafficRow>& rows);
    void Clear();
    // Drops the oldest rows beyond `rows` now and from then on.
    void SetMaximumRows(int rows);
    int maximumRows() const { return maximumRows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void trim();

    std::deque<TrafficRow> rows_;
    int maximumRows_ = kDefaultMaximumRows;
};

// Shows every row, or only the command frames, program records, Modbus frames or failures.
class TrafficFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    enum Mode { All, Commands, Records, Modbus, Failures };

    using QSortFilterProxyModel::QSortFilterProxyModel;
    void SetMode(Mode mode);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    Mode mode_ = All;
};
