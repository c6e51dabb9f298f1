#include "nv3520fp_plugin.h"

#include "nv3520fp_scuWidget.h"

nv9471fp_scuWidget *nv3520fp_plugin::createScuWidget()
{
    return new nv3520fp_scuWidget;
}
