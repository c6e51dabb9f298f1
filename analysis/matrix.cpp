#include "matrix.h"

#include <cmath>
#include <stdexcept>

namespace {

double pivot(double p)
{
    return std::fabs(p) > 0.001 ? p : 0.001;
}

} // namespace

matrix::matrix(int columns, int rows) : columnCount(columns), rowCount(rows)
{
    if (columns <= 0 || rows <= 0)
        throw std::runtime_error("Bad number of columns or rows");
    values.assign(static_cast<size_t>(columns) * static_cast<size_t>(rows), 0.0);
}

double &matrix::at(int column, int row)
{
    if (column < 0 || column >= columnCount || row < 0 || row >= rowCount)
        throw std::runtime_error("Column or row out of bounds");
    return values[static_cast<size_t>(column) + static_cast<size_t>(row) * static_cast<size_t>(columnCount)];
}

double matrix::at(int column, int row) const
{
    return const_cast<matrix *>(this)->at(column, row);
}

void matrix::transpose()
{
    matrix swapped(rowCount, columnCount);
    for (int r = 0; r < rowCount; ++r)
        for (int c = 0; c < columnCount; ++c)
            swapped.at(r, c) = at(c, r);
    *this = swapped;
}

void matrix::invert()
{
    if (columnCount != rowCount)
        throw std::runtime_error("Can invert only a square matrix");
    const int n = rowCount;
    matrix a(2 * n, n); // [A | I]
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c)
            a.at(c, r) = at(c, r);
        a.at(n + r, r) = 1.0;
    }
    // Column j of row r is updated last, so every column sees the factor as
    // it was before the step.
    auto eliminate = [&](int j, int r) {
        for (int c = 2 * n - 1; c >= j; --c)
            a.at(c, r) -= a.at(j, r) * a.at(c, j) / pivot(a.at(j, j));
    };
    for (int j = 0; j < n - 1; ++j)
        for (int r = j + 1; r < n; ++r)
            eliminate(j, r);
    for (int j = n - 1; j >= 1; --j)
        for (int r = 0; r < j; ++r)
            eliminate(j, r);
    // The diagonal is read afresh for every column: once its own column has
    // been divided, the columns left of it are divided by the new value.
    for (int r = 0; r < n; ++r)
        for (int c = 2 * n - 1; c >= 0; --c)
            a.at(c, r) /= pivot(a.at(r, r));
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            at(c, r) = a.at(n + c, r);
}
