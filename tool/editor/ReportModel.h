// The rows and columns behind CReportCtrl: per row a data word, the cell texts and per cell a
// text and a background colour, kept in step when rows and columns come and go. Changes made
// while a batch is open are announced in one dataChanged when the last batch closes.
#pragma once

#include "editor/ReportColors.h"

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <vector>

class ReportModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class ColorKind { Text, Background };

    explicit ReportModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    bool isRow(int row) const { return row >= 0 && row < rowCount(); }
    bool isColumn(int column) const { return column >= 0 && column < columnCount(); }

    int addColumn(int index, const QString& heading, Qt::Alignment format);
    bool deleteColumn(int index);
    Qt::Alignment columnFormat(int column) const;

    int addRow(int index, const QString& text);
    bool deleteRow(int row);
    // Every row removed and `count` empty rows put in their place, in one reset.
    void resetRows(int count);
    bool moveRow(int row, int target);

    bool setText(int row, int column, const QString& text);
    QString text(int row, int column) const;
    bool setRowData(int row, std::uint32_t data);
    std::uint32_t rowData(int row) const;

    // One cell, a row (column invalid), a column (row invalid) or every cell (both invalid).
    // Colour changes are announced only through a batch.
    void setColor(ColorKind kind, int row, int column, ColorRef color);
    ColorRef color(ColorKind kind, int row, int column) const;

    void beginBatch() { ++batchDepth_; }
    void endBatch();

private:
    struct Row {
        std::uint32_t data = 0;
        std::vector<QString> texts;
        std::vector<ColorRef> textColors;
        std::vector<ColorRef> bkColors;
    };
    struct Column {
        QString heading;
        Qt::Alignment format;
    };

    Row emptyRow() const;
    void changed(int firstRow, int lastRow, int firstColumn, int lastColumn);

    std::vector<Row> rows_;
    std::vector<Column> columns_;
    int batchDepth_ = 0;
    // The cells changed in the open batch; empty when firstRow > lastRow.
    int dirtyFirstRow_ = 0, dirtyLastRow_ = -1, dirtyFirstColumn_ = 0, dirtyLastColumn_ = -1;
};
