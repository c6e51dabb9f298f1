// Writing a whole file the operator named (a table, a settings file) so that
// it is either complete or not there: a regular file is written beside its
// place and renamed over it only once every byte is on the disk, so a full
// disk or a failed write never leaves a part of it behind, nor spoils the
// file it would have replaced.
#ifndef WHOLEFILE_H
#define WHOLEFILE_H

#include <QByteArray>
#include <QString>

// False with the system's reason ("No space left on device") when the
// file could not be written. A path that names a device or a pipe (as
// /dev/full does) is written in place, since it cannot be renamed over.
bool writeWholeFile(const QString &path, const QByteArray &bytes, QString *reason);

// Reads at most maxBytes of a file; false with the reason when it cannot be
// read, is no regular file, or is larger.
bool readWholeFile(const QString &path, qint64 maxBytes, QByteArray *bytes, QString *reason);

#endif
