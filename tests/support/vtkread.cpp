#include "vtkread.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <cmath>

QJsonObject readWithVtk(const QString& path, QString* error)
{
    QProcess python;
    python.start(QStringLiteral(FOLVANE_PYTHON), {QStringLiteral(FOLVANE_VTK_DUMP), path});
    python.waitForFinished(120000);
    const QByteArray out = python.readAllStandardOutput();
    const QJsonDocument document = QJsonDocument::fromJson(out);
    if (python.exitCode() != 0 || !document.isObject()) {
        if (error)
            *error = QString::fromUtf8(python.readAllStandardError());
        return {};
    }
    return document.object();
}

std::vector<double> vtkValues(const QJsonObject& dataset, const char* group, const QString& name)
{
    std::vector<double> values;
    for (const QJsonValue& v : dataset[QLatin1String(group)].toObject()[name].toObject()["values"].toArray())
        values.push_back(v.isNull() ? std::nan("") : v.toDouble());
    return values;
}
