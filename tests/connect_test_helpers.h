// Small helpers shared by the tests of the resource search.
#ifndef CONNECT_TEST_HELPERS_H
#define CONNECT_TEST_HELPERS_H

#include "nv9471fp_resourceSearch.h"

#include <QStringList>

// The descriptors of search results, in their order.
inline QStringList descriptors(const QList<resourceInfo> &list)
{
    QStringList result;
    for (const resourceInfo &r : list)
        result.append(r.descriptor);
    return result;
}

#endif
