// A label for status texts of any length. Its minimum width stays a few
// characters whatever the text, so a long text never widens the window (a
// frame whose layout keeps the window as wide as its contents want). The text
// is wrapped onto at most a given number of lines, and what does not fit is
// cut with "..." and shown whole in the tool tip. Plain text only.
#ifndef FITTINGLABEL_H
#define FITTINGLABEL_H

#include <QLabel>
#include <QStringList>

class fittingLabel : public QLabel
{
    Q_OBJECT
public:
    // maxLines 1: one line, cut at the end.
    explicit fittingLabel(int maxLines, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

    // Part of the text is not seen at the label's present size.
    bool isCut() const;
    // What the tool tip shows: the whole text when part of it is not seen
    // (followed by the label's own tool tip, if any), otherwise the label's
    // own tool tip.
    QString shownToolTip() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // The lines shown in a text area of that width and at most lines high;
    // *cut (when given) says whether part of the text is left out.
    QStringList linesFor(int width, int lines, bool *cut = nullptr) const;
    QRect textArea() const;
    int linesInArea() const;
    int maxLines;
};

#endif
