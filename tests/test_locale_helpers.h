// A comma-decimal locale for tests of machine-readable numbers: built with
// localedef into a folder of the test's own (no root needed), to be named in
// LOCPATH.
#ifndef TEST_LOCALE_HELPERS_H
#define TEST_LOCALE_HELPERS_H

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

constexpr char commaLocaleName[] = "de_DE.UTF-8";

// Builds de_DE.UTF-8 below folder and returns the folder for LOCPATH; empty
// (and *why says why) when localedef is missing or fails.
inline QString makeCommaLocale(const QString &folder, QString *why)
{
    const QString localedef = QStandardPaths::findExecutable(QStringLiteral("localedef"));
    if (localedef.isEmpty()) {
        *why = QStringLiteral("localedef is missing: no comma-decimal locale can be made (Debian: libc-bin, locales)");
        return QString();
    }
    QProcess make;
    QDir().mkpath(folder);
    make.start(localedef, {"-i", "de_DE", "-f", "UTF-8", folder + QLatin1Char('/') + QLatin1String(commaLocaleName)});
    if (!make.waitForFinished(60000) || !QDir(folder).exists(QLatin1String(commaLocaleName))) {
        *why = QString::fromLocal8Bit(make.readAllStandardError());
        return QString();
    }
    return folder;
}

#endif
