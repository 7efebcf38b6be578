#include "textgrid.h"

#include <algorithm>

namespace tess {

TextGrid::TextGrid(int colCount, int rowCount) {
    setColCount(colCount);
    setRowCount(rowCount);
}

void TextGrid::setColCount(int cols) {
    cols = std::max(cols, 0);
    columns_.resize(cols);
    for (int c = cols_; c < cols; ++c) columns_[c].resize(rows_);
    cols_ = cols;
}

void TextGrid::setRowCount(int rows) {
    rows = std::max(rows, 0);
    for (auto& column : columns_) column.resize(rows);
    rows_ = rows;
}

const QString& TextGrid::cell(int col, int row) const {
    static const QString empty;
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return empty;
    return columns_[col][row];
}

void TextGrid::setCell(int col, int row, const QString& text) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
    columns_[col][row] = text;
}

} // namespace tess
