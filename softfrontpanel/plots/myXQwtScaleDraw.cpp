#include "myXQwtScaleDraw.h"

#include <QString>

QwtText myXQwtScaleDraw::label(double value) const
{
    return QwtText(QString::number(value, 'f', p));
}
