// A small dense matrix of doubles for the normal equations of the sine fits.
// Element (column c, row r) is stored at c + r * columns; storage is zeroed
// at creation and owned by the matrix.
#ifndef MATRIX_H
#define MATRIX_H

#include <vector>

class matrix
{
public:
    // Throws std::runtime_error("Bad number of columns or rows") when either
    // is <= 0.
    matrix(int columns, int rows);

    int columns() const { return columnCount; }
    int rows() const { return rowCount; }

    // Throws std::runtime_error("Column or row out of bounds") outside.
    double &at(int column, int row);
    double at(int column, int row) const;

    // Swaps the two dimensions in place.
    void transpose();

    // Inverts in place by Gauss-Jordan elimination without row exchanges.
    // Every division by a pivot p uses p when |p| > 0.001 and 0.001
    // otherwise, so a singular matrix gives large but finite numbers rather
    // than an exception. Throws std::runtime_error("Can invert only a square
    // matrix") when columns != rows.
    void invert();

private:
    int columnCount;
    int rowCount;
    std::vector<double> values;
};

#endif
