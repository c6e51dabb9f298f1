#include "myYQwtScaleDraw.h"

#include <QString>

QwtText myYQwtScaleDraw::label(double value) const
{
    return QwtText(QStringLiteral("%1").arg(QString::number(value, 'f', p), 12));
}
