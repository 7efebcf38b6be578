#include "textgrid.h"

#include <algorithm>

namespace tess {

// Each column holds its cells only down to its last non-empty one: the group
// file table is ragged (one long group makes every other column as long), and
// empty cells cost nothing that way.

TextGrid::TextGrid(int colCount, int rowCount) {
    setColCount(colCount);
    setRowCount(rowCount);
}

void TextGrid::setColCount(int cols) {
    cols = std::max(cols, 0);
    columns_.resize(cols);
    cols_ = cols;
}

void TextGrid::setRowCount(int rows) {
    rows = std::max(rows, 0);
    for (int c = 0; c < cols_; ++c) {
        QList<QString>& column = columns_[c];
        if (column.size() > rows) {
            column.resize(rows);
            trim(c);
        }
    }
    rows_ = rows;
}

const QString& TextGrid::cell(int col, int row) const {
    static const QString empty;
    if (col < 0 || row < 0 || col >= cols_ || row >= columns_[col].size()) return empty;
    return columns_[col][row];
}

void TextGrid::setCell(int col, int row, const QString& text) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
    QList<QString>& column = columns_[col];
    if (row >= column.size()) {
        if (text.isEmpty()) return;
        column.resize(row + 1);
    }
    column[row] = text;
    if (text.isEmpty() && row == column.size() - 1) trim(col);
}

void TextGrid::trim(int col) {
    QList<QString>& column = columns_[col];
    qsizetype n = column.size();
    while (n > 0 && column[n - 1].isEmpty()) --n;
    column.resize(n);
}

} // namespace tess
