// A label for a read-out made of parts (the spectrum's marker read-out):
// text() is the parts joined, exactly; the lines break only between parts,
// never inside one.
//
// The owner also gives the widest parts it expects. Their breaks at the
// current width are used for every text that fits them, and the label is as
// many lines high as they need there: the read-out keeps its shape and its
// height while the values change (only a resize changes them), so what lies
// below it never moves. A text that needs more lines than the widest parts
// ends its last line in "...".
#ifndef PARTSLABEL_H
#define PARTSLABEL_H

#include <QLabel>
#include <QStringList>

class partsLabel : public QLabel
{
    Q_OBJECT
public:
    explicit partsLabel(QWidget *parent = nullptr);

    // Shows the parts; text() is their concatenation.
    void setParts(const QStringList &parts);
    // The widest parts expected (same number as the shown ones).
    void setWidestParts(const QStringList &parts);

    // The lines as painted at the label's current width (trailing spaces of
    // a line are not painted).
    QStringList lines() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Indices of the parts that start a line after the first, filling each
    // line as far as width allows.
    QVector<int> breaksAt(const QStringList &parts, int width) const;
    bool fits(const QStringList &parts, const QVector<int> &breaks, int width) const;
    // The widest parts expected, or the shown ones without them.
    const QStringList &sizingParts() const { return widest.isEmpty() ? shown : widest; }
    // Lines of the widest parts at a width of the contents.
    int lineCountAt(int width) const;
    int textWidth(const QString &line) const;

    QStringList shown;
    QStringList widest;
};

#endif
