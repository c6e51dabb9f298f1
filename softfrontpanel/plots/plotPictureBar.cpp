#include "plotPictureBar.h"

#include "plotHelpers.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMimeData>
#include <QMenu>
#include <QSettings>
#include <QToolButton>

using sfpPlots::setHelp;

namespace {

plotPictureBar::FileChooser &fileChooser()
{
    static plotPictureBar::FileChooser chooser;
    return chooser;
}

QSettings programSettings()
{
    return QSettings(QStringLiteral("Norvane Ltd."), QStringLiteral("Trellin 6842 Soft Front Panel"));
}

const char folderKey[] = "Pictures/Folder";
const char widthKey[] = "Pictures/Width";

const QString pngFilter = QStringLiteral("PNG picture (*.png)");
const QString svgFilter = QStringLiteral("SVG drawing (*.svg)");
const QString pdfFilter = QStringLiteral("PDF document (*.pdf)");

} // namespace

plotPictureBar::plotPictureBar(QWidget *parent) : QWidget(parent)
{
    saveButton = new QToolButton(this);
    saveButton->setText(QString::fromUtf8("Save Picture\u2026"));
    saveButton->setPopupMode(QToolButton::MenuButtonPopup);
    setHelp(saveButton, QStringLiteral("Saves the plot as shown, with a legend of its channels and a caption "
                                       "saying what it shows, as a PNG, SVG or PDF file: the file name's "
                                       "extension chooses. The arrow chooses the width of PNG pictures."));
    widthMenu = new QMenu(this);
    for (int pixels : pngWidthChoices()) {
        QAction *action = widthMenu->addAction(QStringLiteral("PNG width %1 px").arg(pixels));
        action->setCheckable(true);
        action->setData(pixels);
        connect(action, &QAction::triggered, this, [pixels] { setPngWidth(pixels); });
    }
    // The other bar may have chosen since: the marks follow the shared width.
    connect(widthMenu, &QMenu::aboutToShow, this, [this] {
        for (QAction *action : widthMenu->actions())
            action->setChecked(action->data().toInt() == pngWidth());
    });
    saveButton->setMenu(widthMenu);
    copyButton = new QToolButton(this);
    copyButton->setText(QStringLiteral("Copy Picture"));
    setHelp(copyButton, QStringLiteral("Copies the plot as shown, with its legend and caption, to the "
                                       "clipboard as a PNG picture."));
    connect(saveButton, &QToolButton::clicked, this, &plotPictureBar::saveClicked);
    connect(copyButton, &QToolButton::clicked, this, &plotPictureBar::copyClicked);

    // A line of text high, so that the row keeps its height, and as wide
    // as the buttons need: the rest of the row is the page's.
    for (QToolButton *button : {saveButton, copyButton})
        button->setMaximumHeight(fontMetrics().height() + 2);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(saveButton);
    row->addWidget(copyButton);
}

int plotPictureBar::pngWidth()
{
    bool ok = false;
    const int pixels = programSettings().value(QLatin1String(widthKey)).toInt(&ok);
    return ok && pixels >= pictureMinimumWidth && pixels <= pictureMaximumWidth ? pixels : pictureDefaultWidth;
}

void plotPictureBar::setPngWidth(int pixels)
{
    programSettings().setValue(QLatin1String(widthKey), qBound(pictureMinimumWidth, pixels, pictureMaximumWidth));
}

QVector<int> plotPictureBar::pngWidthChoices()
{
    return {800, 1200, pictureDefaultWidth, 2400, 3200, 4800};
}

QString plotPictureBar::emptyPlotText()
{
    return QStringLiteral("The plot is empty: acquire or open a block, and show at least one channel, "
                          "before making a picture of it.");
}

QString plotPictureBar::saveFailedText(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot save the picture \"%1\".").arg(QDir::toNativeSeparators(path))
           + QLatin1Char('\n') + reason;
}

void plotPictureBar::setFileChooser(FileChooser chooser)
{
    fileChooser() = std::move(chooser);
}

QString plotPictureBar::askFileName()
{
    FileRequest request;
    request.caption = QStringLiteral("Save Picture");
    QString folder = programSettings().value(QLatin1String(folderKey)).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    request.startPath = QDir(folder).filePath(fileBaseName + QStringLiteral(".png"));
    request.filters = QStringList{pngFilter, svgFilter, pdfFilter}.join(QStringLiteral(";;"));
    request.selectedFilter = pngFilter;
    request.parent = window();
    QString chosen;
    if (fileChooser()) {
        chosen = fileChooser()(request);
    } else {
        QString selected = request.selectedFilter;
        chosen = QFileDialog::getSaveFileName(request.parent, request.caption, request.startPath,
                                              request.filters, &selected);
        // A name without any extension takes the type chosen in the dialog.
        if (!chosen.isEmpty() && QFileInfo(chosen).suffix().isEmpty())
            chosen += selected == svgFilter ? QStringLiteral(".svg")
                      : selected == pdfFilter ? QStringLiteral(".pdf")
                                              : QStringLiteral(".png");
    }
    return chosen;
}

void plotPictureBar::saveClicked()
{
    if (!source)
        return;
    pictureContent content = source();
    if (content.isEmpty()) {
        sfpPlots::cardWarning(emptyPlotText());
        return;
    }
    const QString path = askFileName();
    if (path.isEmpty())
        return;
    // The dialog may have run an event loop: the plot is drawn as it is now.
    content = source();
    if (content.isEmpty()) {
        sfpPlots::cardWarning(emptyPlotText());
        return;
    }
    QString reason;
    if (!savePicture(content, path, pngWidth(), &reason)) {
        sfpPlots::cardWarning(saveFailedText(path, reason));
        return;
    }
    programSettings().setValue(QLatin1String(folderKey), QFileInfo(path).absolutePath());
}

void plotPictureBar::copyClicked()
{
    if (!source)
        return;
    const pictureContent content = source();
    if (content.isEmpty()) {
        sfpPlots::cardWarning(emptyPlotText());
        return;
    }
    const QImage image = renderPictureImage(content, pngWidth());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    auto *mime = new QMimeData;
    mime->setImageData(image);
    mime->setData(QStringLiteral("image/png"), png);
    QApplication::clipboard()->setMimeData(mime);
}
