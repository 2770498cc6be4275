// Icons by resource id, registered by the resource layer.
#pragma once

#include <QIcon>

void RegisterIconResource(int id, const QIcon& icon);
// A null icon when nothing is registered under the id.
QIcon LoadIconResource(int id);
