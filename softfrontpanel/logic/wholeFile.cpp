#include "wholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        *reason = QStringLiteral("it is a directory");
        return false;
    }
    if (info.exists() && !info.isFile()) {
        QFile device(path);
        const bool written = device.open(QIODevice::WriteOnly) && device.write(bytes) == bytes.size() && device.flush();
        *reason = device.errorString();
        return written;
    }
    QSaveFile file(path);
    // Renaming over the old file needs the right to create one beside it;
    // without it nothing is written rather than the old file overwritten.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *reason = file.errorString(); // the part written is removed with file
        return false;
    }
    return true;
}

bool readWholeFile(const QString &path, qint64 maxBytes, QByteArray *bytes, QString *reason)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *reason = QStringLiteral("No such file or directory");
        return false;
    }
    if (!info.isFile()) {
        *reason = QStringLiteral("it is not a regular file");
        return false;
    }
    if (info.size() > maxBytes) {
        *reason = QStringLiteral("it is larger than %1 MB, which no such file is").arg(maxBytes / (1024 * 1024));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return false;
    }
    *bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes->size() > maxBytes) {
        *reason = file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("it grew while read");
        return false;
    }
    return true;
}
