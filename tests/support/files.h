#ifndef FOLVANE_TEST_FILES_H
#define FOLVANE_TEST_FILES_H

#include <QByteArray>
#include <QString>

namespace Folvane {
class KBlade;
}

QByteArray fileBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
// The document as its model file holds it.
QByteArray modelBytes(const Folvane::KBlade& blade);
// Reads a model file's bytes into the document, quietly; false when they
// hold no whole document, which then stays as it was.
bool readModelBytes(Folvane::KBlade& blade, const QByteArray& bytes);

#endif
