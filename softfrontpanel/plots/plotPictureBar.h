// "Save Picture…" and "Copy Picture" of a plot page; the arrow of "Save
// Picture…" chooses the width of PNG pictures, saved or copied. The buttons
// are no taller than a line of text, so that the row they join keeps its
// height. The owner says what to draw through source(); the bar asks
// for the file (a file dialog that starts in the folder of the last saved
// picture), refuses an empty plot, an unknown extension or a failed write
// with a message box, and puts copies on the clipboard as PNG.
//
// Remembered in the program's QSettings (organisation "Norvane Ltd.",
// application "Trellin 6842 Soft Front Panel"), group "Pictures": "Folder"
// (the folder of the last saved picture) and "Width" (pixels).
#ifndef PLOTPICTUREBAR_H
#define PLOTPICTUREBAR_H

#include "plotPicture.h"

#include <QString>
#include <QWidget>

#include <functional>

class QMenu;
class QToolButton;

class plotPictureBar : public QWidget
{
    Q_OBJECT
public:
    explicit plotPictureBar(QWidget *parent = nullptr);

    QToolButton *saveButton;
    QToolButton *copyButton;
    QMenu *widthMenu; // the PNG widths offered, under the arrow of saveButton

    // The width of PNG pictures in pixels, pictureDefaultWidth until one is
    // chosen; every bar of the program shares it. setPngWidth() clamps into
    // pictureMinimumWidth ... pictureMaximumWidth.
    static int pngWidth();
    static void setPngWidth(int pixels);
    static QVector<int> pngWidthChoices();

    // What to draw, asked at every save or copy.
    std::function<pictureContent()> source;
    // The file name the dialog suggests, without extension.
    QString fileBaseName = QStringLiteral("plot");

    static QString emptyPlotText();
    // "Cannot save the picture \"%1\"." and the reason on the next line.
    static QString saveFailedText(const QString &path, const QString &reason);

    // The file dialog is modal; tests (and only they) answer it through a
    // chooser, which gets the dialog's caption, start path and filters and
    // returns the chosen path (empty: cancelled). An empty chooser restores
    // the real dialog.
    struct FileRequest {
        QString caption;
        QString startPath;
        QString filters;
        QString selectedFilter;
        QWidget *parent = nullptr;
    };
    using FileChooser = std::function<QString(const FileRequest &)>;
    static void setFileChooser(FileChooser chooser);

public slots:
    void saveClicked();
    void copyClicked();

private:
    QString askFileName();
};

#endif
