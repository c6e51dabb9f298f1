// Signal-conditioning units of one function card: finds the SCU plug-in
// libraries in the application's directory and the VXIplug&play plug-in
// directory, lets each one make a page for the card and keeps the pages whose
// unit is present. One manager per opened card, owned by the main window.
#ifndef NV9471FP_SCU_H
#define NV9471FP_SCU_H

#include "nv9471fp_scuPluginInterface.h"
#include "visa.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QPluginLoader;

class nv9471fp_scu : public QObject
{
    Q_OBJECT
public:
    // session: the card's own session, 0 in demo mode.
    nv9471fp_scu(int session, ViUInt16 modelCode, ViUInt16 cardValue, QObject *parent = nullptr);
    // Deletes the pages (unless someone else did already) and unloads the libraries.
    ~nv9471fp_scu() override;

    // The pages to show, worked out on the first call; pages deleted since
    // (with their tab widget) are left out.
    QList<nv9471fp_scuWidget *> availableScus();

    // Loads the SCU plug-ins of one directory; returns the number loaded so far.
    int scanPluginDir(const QString &directory);
    int loadedCount() const { return loaded.size(); }

    // $VXIPNPPATH64 (empty when unset) followed by the platform's binary
    // subdirectory: "\WIN64\Bin" on Windows, "/linux64/bin" elsewhere.
    static QString pluginDirectory();
    // "nv????fp.dll" on Windows, "libnv????fp.so" elsewhere.
    static QString pluginNameFilter();
    // The pages to offer, in order: both offer checks true; on a real card
    // (session not 0) the walk ends after a page whose endsOffer() is true.
    static QList<nv9471fp_scuWidget *> offeredScus(const QList<nv9471fp_scuWidget *> &pages,
                                                   int session);

signals:
    void gainChanged(int chIdx, ViReal64 gain);

private:
    struct LoadedPlugin {
        QPluginLoader *loader = nullptr;
        QPointer<nv9471fp_scuWidget> widget; // may end up in a tab widget that dies first
        QString baseName;
    };

    bool isLoaded(const QString &baseName) const;
    void discardCandidate();

    int session;
    ViUInt16 modelCode;
    ViUInt16 cardValue;
    QPluginLoader *loader = nullptr; // for the next candidate file
    QList<LoadedPlugin> loaded;
    // Guarded: a page shown in a tab dies with its tab widget.
    QList<QPointer<nv9471fp_scuWidget>> available;
};

#endif
