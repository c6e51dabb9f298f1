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
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

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

plotPictureBar::plotPictureBar(const QString &baseName, QWidget *parent)
    : QWidget(parent), baseName(baseName)
{
    saveButton = new QPushButton(QString::fromUtf8("Save Picture\u2026"), this);
    setHelp(saveButton, QStringLiteral("Saves the plot as shown, with a legend of its channels and a caption "
                                       "saying what it shows, as a PNG, SVG or PDF file: the file name's "
                                       "extension chooses."));
    copyButton = new QPushButton(QStringLiteral("Copy Picture"), this);
    setHelp(copyButton, QStringLiteral("Copies the plot as shown, with its legend and caption, to the "
                                       "clipboard as a PNG picture."));
    widthBox = new QSpinBox(this);
    widthBox->setRange(pictureMinimumWidth, pictureMaximumWidth);
    widthBox->setSingleStep(100);
    widthBox->setPrefix(QStringLiteral("PNG width "));
    widthBox->setSuffix(QStringLiteral(" px"));
    bool ok = false;
    const int width = programSettings().value(QLatin1String(widthKey)).toInt(&ok);
    widthBox->setValue(ok && width >= pictureMinimumWidth && width <= pictureMaximumWidth ? width
                                                                                          : pictureDefaultWidth);
    setHelp(widthBox, QStringLiteral("Width of the PNG pictures saved or copied, in pixels. SVG and PDF "
                                     "pictures are drawings that keep their quality at any size."));
    connect(saveButton, &QPushButton::clicked, this, &plotPictureBar::saveClicked);
    connect(copyButton, &QPushButton::clicked, this, &plotPictureBar::copyClicked);
    connect(widthBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            [](int value) { programSettings().setValue(QLatin1String(widthKey), value); });

    // As wide as the controls need: the rest of the row is the page's.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(saveButton);
    row->addWidget(copyButton);
    row->addWidget(widthBox);
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
    request.startPath = QDir(folder).filePath(baseName + QStringLiteral(".png"));
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
    if (!savePicture(content, path, widthBox->value(), &reason)) {
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
    const QImage image = renderPictureImage(content, widthBox->value());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    auto *mime = new QMimeData;
    mime->setImageData(image);
    mime->setData(QStringLiteral("image/png"), png);
    QApplication::clipboard()->setMimeData(mime);
}
