#include "roles.h"

#include <QAbstractItemModel>
#include <QtTest>

int roleOf(const QAbstractItemModel* model, const QByteArray& name)
{
    const int role = model->roleNames().key(name, -1);
    if (role < 0) {
        const QByteArray message = model->metaObject()->className() + QByteArray(" has no role ") + name;
        QTest::qFail(message.constData(), __FILE__, __LINE__);
    }
    return role;
}
