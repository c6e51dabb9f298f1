// The splash picture, painted once from the card description's texts on a
// 520 x 400 canvas and then used as an ordinary pixmap.
#ifndef NV9471FP_SPLASHLABEL_H
#define NV9471FP_SPLASHLABEL_H

#include <QPixmap>
#include <QString>

class nv9471fp_splashLabel : public QPixmap
{
public:
    nv9471fp_splashLabel(float scale, int margin, int modelNumber, bool hexadecimal,
                         const QString &footer, const QString &middle);

    // Where the device picture went (empty when none was drawn); for tests.
    QRect devicePictureRect() const { return deviceRect; }

private:
    QRect deviceRect;
};

#endif
