// A generic grid in report form: rows of texts with a caller data word and, per cell, a text
// and a background colour that travel with the row when rows are inserted, deleted or moved.
// Its in-place editors (CComboItem, CEditItem) report the value they end with through the one
// signal endLabelEdit, so a derived grid handles every cell change in one place.
#pragma once

#include <QPointer>
#include <QString>
#include <QTableView>

#include <cstdint>
#include <optional>

class ReportModel;

// A colour as 0x00BBGGRR; kSystemColor stands for the palette's window or window-text colour.
using ColorRef = std::uint32_t;
constexpr ColorRef kSystemColor = 0xFFFFFFFFu;

class CReportCtrl : public QTableView {
    Q_OBJECT
public:
    explicit CReportCtrl(QWidget* parent = nullptr);
    ~CReportCtrl() override;

    int GetItemCount() const;
    int GetColumnCount() const;

    // Columns: each row gets system colours for a new column; a deleted column's colours go.
    int InsertColumn(int index, const QString& heading, Qt::Alignment format = Qt::AlignLeft,
                     int width = 80);
    bool DeleteColumn(int index);
    Qt::Alignment GetColumnFormat(int column) const;

    // Rows. InsertItem returns the new row index or -1.
    int InsertItem(int index, const QString& text);
    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    bool SetItemData(int row, std::uint32_t data);
    std::uint32_t GetItemData(int row) const;
    // With selectNext, the row that follows the deleted one becomes selected.
    bool DeleteItem(int row, bool selectNext = false);
    // Returns the number of rows that were present.
    int DeleteAllItems();
    // Moves a row with its data word, colours and selection; the new index or -1.
    int MoveTo(int row, int target);
    int MoveUp(int row, int count = 1) { return MoveTo(row, row - count); }
    int MoveDown(int row, int count = 1) { return MoveTo(row, row + count); }

    // Colours of one cell, a whole row (column invalid), a whole column (row invalid) or every
    // cell (both invalid). With redraw set the grid repaints at once.
    void SetItemTextColor(int row, int column, ColorRef color, bool redraw = true);
    void SetItemBkColor(int row, int column, ColorRef color, bool redraw = true);
    // kSystemColor for a cell with system colours; -1 as ColorRef for an invalid cell too.
    ColorRef GetItemTextColor(int row, int column) const;
    ColorRef GetItemBkColor(int row, int column) const;

    void SetGridLines(bool on);
    // While off, text and colour changes are gathered and announced in one go when it is set
    // again; rewriting every cell then costs one repaint.
    void SetRedraw(bool on);

    // The selected rows, first and last in row order; -1/-1 when none.
    std::pair<int, int> selectedRange() const;
    void selectRows(int first, int last);

    // The cell's rectangle in viewport coordinates after scrolling it into view, clipped to the
    // viewport's right edge; empty when the cell does not exist.
    QRect cellEditorRect(int row, int column);
    // The editor over a cell, if one is open.
    QWidget* activeEditor() const { return activeEditor_; }
    // Ends the open editor (it reports as if it lost the focus).
    void endActiveEditor();

signals:
    // An editor ended: the text it ends with, none when cancelled; for a combo, the data word of
    // its selection (0 otherwise).
    void endLabelEdit(int row, int column, std::optional<QString> text, qint64 itemData);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Registers a new editor over a cell; the one still open ends first.
    void adoptEditor(QWidget* editor);

private:
    friend class CComboItem;
    friend class CEditItem;
    void reportEndLabelEdit(int row, int column, std::optional<QString> text, qint64 itemData);

    ReportModel* model_;
    QPointer<QWidget> activeEditor_;
};
