#ifndef FOLVANE_TEST_ROLES_H
#define FOLVANE_TEST_ROLES_H

#include <QByteArray>

class QAbstractItemModel;

// The role the model names so; a model without it fails the running test
// and gets -1, a role no model reads or writes.
int roleOf(const QAbstractItemModel* model, const QByteArray& name);

#endif
