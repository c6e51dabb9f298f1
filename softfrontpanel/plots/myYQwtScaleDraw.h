// Magnitude-axis labels of the spectrum plot: fixed notation with a chosen
// number of decimals (1 at first), padded on the left to 12 characters so
// that the axis keeps its width whatever the range.
#ifndef MYYQWTSCALEDRAW_H
#define MYYQWTSCALEDRAW_H

#include <qwt_scale_draw.h>

class myYQwtScaleDraw : public QwtScaleDraw
{
public:
    myYQwtScaleDraw() = default;

    int precision() const { return p; }
    // Takes effect for cached labels only after invalidateCache().
    void setPrecision(int decimals) { p = decimals; }
    using QwtAbstractScaleDraw::invalidateCache;

    QwtText label(double value) const override;

private:
    int p = 1;
};

#endif
