// Frequency-axis labels of the spectrum plot: fixed notation with a chosen
// number of decimals (3 at first; the plot adapts it to the visible span).
#ifndef MYXQWTSCALEDRAW_H
#define MYXQWTSCALEDRAW_H

#include <qwt_scale_draw.h>

class myXQwtScaleDraw : public QwtScaleDraw
{
public:
    myXQwtScaleDraw() = default;

    int precision() const { return p; }
    // Takes effect for cached labels only after invalidateCache().
    void setPrecision(int decimals) { p = decimals; }
    using QwtAbstractScaleDraw::invalidateCache;

    QwtText label(double value) const override;

private:
    int p = 3;
};

#endif
