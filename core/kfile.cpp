#include "core/kfile.h"

#include "core/binaryio.h"
#include "core/kobjectlist.h"
#include "core/messages.h"
#include "core/savefile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace Folvane {

KFile::KFile(QObject* parent)
    : QAbstractListModel(parent)
{
}

QString KFile::toLocalPath(const QString& pathOrUrl)
{
    const QUrl url(pathOrUrl, QUrl::TolerantMode);
    if (url.isLocalFile())
        return QDir::toNativeSeparators(url.toLocalFile());
    return pathOrUrl;
}

QString KFile::safeFileName(const QString& name)
{
    QString safe;
    for (const QChar c : name.left(100)) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_') || c == QLatin1Char('-')
            || c == QLatin1Char('.');
        safe += plain ? c : QLatin1Char('_');
    }
    // Not empty, not a folder's name, not to be taken for an option.
    if (safe.isEmpty() || safe == QLatin1String(".") || safe == QLatin1String("..") || safe.startsWith(QLatin1Char('-')))
        safe.prepend(QLatin1Char('_'));
    return safe;
}

QString KFile::tableFileName(const QString& name)
{
    QString kept = name.left(100);
    if (kept.size() < name.size() && QChar(kept.back()).isHighSurrogate())
        kept.chop(1);
    for (QChar& c : kept) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    if (kept.startsWith(QLatin1Char('-')))
        kept[0] = QLatin1Char('_');
    if (kept.isEmpty() || kept == QLatin1String(".") || kept == QLatin1String(".."))
        kept.prepend(QLatin1Char('_'));
    return kept;
}

bool KFile::readAtMost(QFile& file, qint64 limit, QByteArray& bytes)
{
    if (file.size() > limit)
        return false;
    // In pieces: a read of the whole limit at once would reserve it all.
    constexpr qint64 Piece = 1 << 20;
    bytes.clear();
    bytes.reserve(int(file.size()));
    while (bytes.size() <= limit) {
        const QByteArray piece = file.read(qMin(Piece, limit + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    return bytes.size() <= limit;
}

void KFile::setModels(const QList<KObjectList*>& models)
{
    beginResetModel();
    for (int i = m_models.size() - 1; i >= 0; --i) {
        if (!models.contains(m_models.at(i)))
            delete m_models.at(i);
    }
    m_models = models;
    endResetModel();
}

QList<QObject*> KFile::modelObjects() const
{
    return QList<QObject*>(m_models.begin(), m_models.end());
}

void KFile::setModelObjects(const QList<QObject*>& models)
{
    setModels(objectsOfType<KObjectList>(models));
}

void KFile::setFp(const QString& fp)
{
    m_fp = toLocalPath(fp);
    m_hasFP = true;
    emit FpChanged();
    emit HasFPChanged();
}

void KFile::setCurFolder(const QUrl& folder)
{
    m_curFolder = folder;
    m_hasFolder = true;
    emit CurFolderChanged();
}

void KFile::setHasFP(bool has)
{
    m_hasFP = has;
    emit HasFPChanged();
}

void KFile::setHasFolder(bool has)
{
    m_hasFolder = has;
    emit HasFolderChanged();
}

void KFile::newFile()
{
    setHasFP(false);
}

bool KFile::readFile()
{
    if (!m_hasFP) {
        debugLine(QStringLiteral("No file path defined!"));
        return false;
    }
    QFile file(m_fp);
    if (!file.open(QIODevice::ReadOnly)) {
        debugLine(QStringLiteral("Cannot open ") + m_fp);
        return false;
    }
    // The whole file is read first, so the parse works on bytes that
    // cannot change under it and every count is checked against them.
    QByteArray bytes;
    if (!readAtMost(file, MaxModelFileBytes, bytes)) {
        debugLine(QStringLiteral("Cannot read ") + m_fp + QStringLiteral(": too large for a model file"));
        return false;
    }
    file.close();
    QDataStream in(bytes);
    Binary::prepare(in);
    if (!readStream(in)) {
        debugLine(QStringLiteral("Cannot read ") + m_fp + QStringLiteral(": not a complete model file, the document is unchanged"));
        return false;
    }
    debugLine(QStringLiteral("Loaded ") + m_fp);
    markSaved();
    return true;
}

bool KFile::readStream(QDataStream&)
{
    return true;
}

bool KFile::writeFile()
{
    if (!m_hasFP) {
        debugLine(QStringLiteral("No file path defined!"));
        return false;
    }
    // Written beside the target and renamed into place, so a failed save
    // never destroys the previous file.
    QSaveFile file(m_fp);
    if (!file.open(QIODevice::WriteOnly)) {
        debugLine(QStringLiteral("Cannot write to ") + m_fp);
        return false;
    }
    QDataStream out(&file);
    Binary::prepare(out);
    writeStream(out);
    if (out.status() != QDataStream::Ok || !commitWhole(file)) {
        debugLine(QStringLiteral("Cannot write to ") + m_fp);
        return false;
    }
    debugLine(QStringLiteral("Write to ") + m_fp);
    markSaved();
    return true;
}

void KFile::writeStream(QDataStream&) const {}

QByteArray KFile::contentBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    Binary::prepare(out);
    writeStream(out);
    return bytes;
}

bool KFile::isModified() const
{
    return contentBytes() != m_savedBytes;
}

void KFile::markSaved()
{
    m_savedBytes = contentBytes();
}

void KFile::reserved() {}

bool KFile::saveJson(QString)
{
    return false;
}

bool KFile::loadJson(QString)
{
    return false;
}

ParameterList* KFile::parameterList() const
{
    return nullptr;
}

int KFile::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_models.size();
}

QVariant KFile::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_models.size() || role != KObjectList::NameUserRole
        || !m_models.at(index.row()))
        return QVariant();
    return m_models.at(index.row())->name();
}

bool KFile::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= m_models.size() || role != KObjectList::NameInputRole
        || !m_models.at(index.row()))
        return false;
    m_models.at(index.row())->setName(value.toString());
    return true;
}

Qt::ItemFlags KFile::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsEnabled;
    return QAbstractListModel::flags(index) | Qt::ItemIsEditable;
}

QVariant KFile::headerData(int section, Qt::Orientation orientation, int role) const
{
    return KObjectList::headerText(section, orientation, role);
}

QHash<int, QByteArray> KFile::roleNames() const
{
    return KObjectList::nameRoleNames();
}

} // namespace Folvane
