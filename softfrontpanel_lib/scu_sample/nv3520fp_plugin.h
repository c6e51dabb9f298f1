// Root object of the 3520 SCU plug-in library.
#ifndef NV3520FP_PLUGIN_H
#define NV3520FP_PLUGIN_H

#include "nv9471fp_scuPluginInterface.h"

#include <QObject>

class nv3520fp_plugin : public QObject, public nv9471fp_scuPluginInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID nv9471fp_scuPluginInterface_iid)
    Q_INTERFACES(nv9471fp_scuPluginInterface)
public:
    nv9471fp_scuWidget *createScuWidget() override;
};

#endif
