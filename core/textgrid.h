#pragma once
// A grid of text cells addressed as (column, row), like the program's string
// grids.  Growing adds empty cells; shrinking drops the cells outside.

#include <QList>
#include <QString>

namespace tess {

class TextGrid {
public:
    TextGrid(int colCount = 1, int rowCount = 1);

    int colCount() const { return cols_; }
    int rowCount() const { return rows_; }
    void setColCount(int cols);
    void setRowCount(int rows);

    // Out-of-range reads give the empty text; out-of-range writes are ignored.
    const QString& cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);

    bool operator==(const TextGrid&) const = default;

private:
    void trim(int col);  // drops the empty cells at the end of a column

    int cols_ = 0;
    int rows_ = 0;
    QList<QList<QString>> columns_;  // columns_[col][row], down to the last non-empty cell
};

} // namespace tess
