#include "nv9471fp_scu.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

nv9471fp_scu::nv9471fp_scu(int session, ViUInt16 modelCode, ViUInt16 cardValue, QObject *parent)
    : QObject(parent), session(session), modelCode(modelCode), cardValue(cardValue),
      loader(new QPluginLoader(this))
{
}

nv9471fp_scu::~nv9471fp_scu()
{
    for (LoadedPlugin &plugin : loaded) {
        delete plugin.widget.data();
        if (plugin.loader->isLoaded())
            plugin.loader->unload();
        delete plugin.loader;
    }
    loaded.clear();
}

QString nv9471fp_scu::pluginDirectory()
{
#ifdef Q_OS_WIN
    const QString subdirectory = QStringLiteral("\\WIN64\\Bin");
#else
    const QString subdirectory = QStringLiteral("/linux64/bin");
#endif
    return qEnvironmentVariable("VXIPNPPATH64") + subdirectory;
}

QString nv9471fp_scu::pluginNameFilter()
{
#ifdef Q_OS_WIN
    return QStringLiteral("nv????fp.dll");
#else
    return QStringLiteral("libnv????fp.so");
#endif
}

bool nv9471fp_scu::isLoaded(const QString &baseName) const
{
    for (const LoadedPlugin &plugin : loaded) {
        if (plugin.baseName == baseName)
            return true;
    }
    return false;
}

void nv9471fp_scu::discardCandidate()
{
    // Releases the root object of a library that is not kept; a library that
    // is also held by a kept loader stays loaded through that one.
    if (loader->isLoaded())
        loader->unload();
}

int nv9471fp_scu::scanPluginDir(const QString &directory)
{
    const QFileInfoList files =
        QDir(directory).entryInfoList({pluginNameFilter()}, QDir::Files, QDir::Name);
    for (const QFileInfo &file : files) {
        loader->setFileName(file.absoluteFilePath());
        QObject *root = loader->instance();
        auto *plugin = qobject_cast<nv9471fp_scuPluginInterface *>(root);
        if (!plugin) {
            discardCandidate();
            continue;
        }
        // A library present in both directories is used once.
        const QString baseName = file.fileName().section(QLatin1Char('.'), 0, 0);
        if (isLoaded(baseName)) {
            discardCandidate();
            continue;
        }
        nv9471fp_scuWidget *widget = plugin->createScuWidget();
        if (!widget) {
            discardCandidate();
            continue;
        }
        widget->initialize(session, modelCode, cardValue);
        if (!widget->isPresent()) {
            delete widget;
            discardCandidate();
            continue;
        }
        loaded.append(LoadedPlugin{loader, widget, baseName});
        loader = new QPluginLoader(this);
    }
    return loaded.size();
}

QList<nv9471fp_scuWidget *> nv9471fp_scu::offeredScus(const QList<nv9471fp_scuWidget *> &pages,
                                                      int session)
{
    QList<nv9471fp_scuWidget *> offered;
    for (nv9471fp_scuWidget *page : pages) {
        if (!page->supportsCard() || !page->isOperational())
            continue;
        offered.append(page);
        if (session != 0 && page->endsOffer())
            break;
    }
    return offered;
}

QList<nv9471fp_scuWidget *> nv9471fp_scu::availableScus()
{
    if (loaded.isEmpty()) {
        scanPluginDir(QCoreApplication::applicationDirPath());
        scanPluginDir(pluginDirectory());
    }
    if (available.isEmpty()) {
        QList<nv9471fp_scuWidget *> pages;
        for (const LoadedPlugin &plugin : qAsConst(loaded)) {
            if (plugin.widget)
                pages.append(plugin.widget.data());
        }
        for (nv9471fp_scuWidget *page : offeredScus(pages, session))
            available.append(page);
    }
    QList<nv9471fp_scuWidget *> alive;
    for (const QPointer<nv9471fp_scuWidget> &page : qAsConst(available)) {
        if (page)
            alive.append(page.data());
    }
    return alive;
}
