// A label that acts as a link: pressing it emits clicked().
#ifndef CLICKABLELABEL_H
#define CLICKABLELABEL_H

#include <QLabel>

class clickableLabel : public QLabel
{
    Q_OBJECT
public:
    explicit clickableLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

#endif
