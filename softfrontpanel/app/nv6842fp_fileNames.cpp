#include "nv6842fp_fileNames.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace {

nv6842fp_fileAsker asker;

QSettings programSettings()
{
    return QSettings(QStringLiteral("Norvane Ltd."), QStringLiteral("Trellin 6842 Soft Front Panel"));
}

const char folderGroup[] = "FileFolders";

} // namespace

void nv6842fp_setFileAsker(nv6842fp_fileAsker newAsker)
{
    asker = std::move(newAsker);
}

QString nv6842fp_askFileName(nv6842fp_fileQuestion question)
{
    QSettings settings = programSettings();
    settings.beginGroup(QLatin1String(folderGroup));
    QString folder = settings.value(question.kind).toString();
    // A remembered folder that went away starts in the home directory.
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    question.startPath = QDir(folder).filePath(question.suggestedName);

    QString chosen;
    if (asker)
        chosen = asker(question);
    else if (question.save)
        chosen = QFileDialog::getSaveFileName(question.parent, question.caption, question.startPath, question.filters);
    else
        chosen = QFileDialog::getOpenFileName(question.parent, question.caption, question.startPath, question.filters);
    if (!chosen.isEmpty())
        settings.setValue(question.kind, QFileInfo(chosen).absolutePath());
    return chosen;
}
