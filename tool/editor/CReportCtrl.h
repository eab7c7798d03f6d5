// A generic grid in report form: rows of texts with a caller data word and, per cell, a text
// and a background colour that travel with the row when rows are inserted, deleted or moved.
// Its in-place editors (CComboItem, CEditItem) report the value they end with through the one
// signal endLabelEdit, so a derived grid handles every cell change in one place.
#pragma once

#include "editor/ReportColors.h"

#include <QPointer>
#include <QString>
#include <QTableView>

#include <cstdint>
#include <optional>
#include <utility>

class ReportModel;

// An editor over one cell: it reports once, when it ends, and then deletes itself.
class InPlaceEditor {
public:
    InPlaceEditor(int row, int column) : row_(row), column_(column) {}
    int row() const { return row_; }
    int column() const { return column_; }
    // Ends the edit as if the editor had lost the focus.
    virtual void finishEdit() = 0;
    // Ends the edit without a report: the grid is going away.
    void discard() { finished_ = true; }

protected:
    ~InPlaceEditor() = default;
    // True the first time only: an editor ends once.
    bool beginFinish() { return !std::exchange(finished_, true); }

private:
    int row_;
    int column_;
    bool finished_ = false;
};

class CReportCtrl : public QTableView {
    Q_OBJECT
public:
    explicit CReportCtrl(QWidget* parent = nullptr);
    ~CReportCtrl() override;

    int GetItemCount() const;
    int GetColumnCount() const;

    // Columns: each row gets system colours for a new column; a deleted column's colours go.
    // InsertColumn returns the new column's index or -1.
    int InsertColumn(int index, const QString& heading, Qt::Alignment format = Qt::AlignLeft, int width = 80);
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
    // Every row removed and `count` empty rows with system colours put in their place at once.
    void ResetItems(int count);
    // Moves a row with its data word, colours, selection and focus; the new index or -1.
    int MoveTo(int row, int target);
    int MoveUp(int row, int count = 1) { return MoveTo(row, row - count); }
    int MoveDown(int row, int count = 1) { return MoveTo(row, row + count); }

    // Colours of one cell, a whole row (column invalid), a whole column (row invalid) or every
    // cell (both invalid). With redraw set the grid repaints at once.
    void SetItemTextColor(int row, int column, ColorRef color, bool redraw = true);
    void SetItemBkColor(int row, int column, ColorRef color, bool redraw = true);
    // kSystemColor for a cell in system colours; ColorRef(-1) for an invalid cell as well.
    ColorRef GetItemTextColor(int row, int column) const;
    ColorRef GetItemBkColor(int row, int column) const;

    void SetGridLines(bool on);
    // While off (nesting), text and colour changes are gathered and announced in one go when
    // it is set again, so rewriting every cell costs one repaint.
    void SetRedraw(bool on);

    // The first and last selected rows in row order; -1/-1 when none is selected.
    std::pair<int, int> selectedRange() const;
    void selectRows(int first, int last);

    // The cell's rectangle in viewport coordinates after scrolling it into view, its right edge
    // clipped to the viewport; empty when the cell does not exist.
    QRect cellEditorRect(int row, int column);
    QWidget* activeEditor() const { return activeEditor_; }
    // Ends the open editor, which reports as if it had lost the focus.
    void endActiveEditor();

signals:
    // An editor ended: the text it ends with, none when cancelled; for a combo the data word
    // of its selection (0 otherwise).
    void endLabelEdit(int row, int column, std::optional<QString> text, qint64 itemData);

protected:
    // Swallows Space over the grid and its editors (an edit box keeps Ctrl+Space).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class CComboItem;
    friend class CEditItem;
    // Called by a new editor: the one still open ends first.
    void adoptEditor(QWidget* editor, InPlaceEditor* edit);
    // Called by an editor as it ends: the grid forgets it.
    void editorEnded(InPlaceEditor* edit);
    void reportEndLabelEdit(int row, int column, std::optional<QString> text, qint64 itemData);

    ReportModel* model_;
    QPointer<QWidget> activeEditor_;
    InPlaceEditor* activeEdit_ = nullptr;
};
