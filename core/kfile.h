#ifndef FOLVANE_KFILE_H
#define FOLVANE_KFILE_H

#include <QAbstractListModel>
#include <QList>
#include <QUrl>

class QDataStream;
class QFile;

namespace Folvane {

class KObjectList;
class ParameterList;

// Base of the blade document: its lists, the model file path and the
// reading and writing of the binary model file. Its rows are its lists.
class KFile : public QAbstractListModel
{
    Q_OBJECT
    // Typed QList<QObject*> for the interface, which indexes no other lists.
    Q_PROPERTY(QList<QObject*> Models READ modelObjects WRITE setModelObjects NOTIFY ModelsChanged)
    Q_PROPERTY(QString Fp READ fp WRITE setFp NOTIFY FpChanged)
    Q_PROPERTY(QUrl CurFolder READ curFolder WRITE setCurFolder NOTIFY CurFolderChanged)
    Q_PROPERTY(bool HasFP READ hasFP WRITE setHasFP NOTIFY HasFPChanged)
    Q_PROPERTY(bool HasFolder READ hasFolder WRITE setHasFolder NOTIFY HasFolderChanged)

public:
    // Model files are small; anything far larger is not one.
    static constexpr qint64 MaxModelFileBytes = 256 * 1024 * 1024;

    explicit KFile(QObject* parent = nullptr);

    // The path rule: a local-file URL becomes a native path, anything else
    // is used as given.
    static QString toLocalPath(const QString& pathOrUrl);
    // A name that is safe as a file name and as a solver job name: letters,
    // digits, "_", "-" and "." stay, anything else becomes "_". Ordinary
    // names come back unchanged.
    static QString safeFileName(const QString& name);
    // A name for a file the user reads (a result table) that keeps the name
    // as it was written, blanks and letters of any script included: only
    // what would leave the folder or be taken for an option or a folder
    // (path separators, control characters, a leading "-", "." and "..")
    // becomes "_".
    static QString tableFileName(const QString& name);
    // The whole content of an open file, when it holds at most limit bytes.
    // Reads no more than a piece past the limit, so a device without end
    // (a pipe, /dev/zero) is refused too.
    static bool readAtMost(QFile& file, qint64 limit, QByteArray& bytes);

    QList<KObjectList*> models() const { return m_models; }
    void setModels(const QList<KObjectList*>& models);
    QList<QObject*> modelObjects() const;
    void setModelObjects(const QList<QObject*>& models);
    QString fp() const { return m_fp; }
    void setFp(const QString& fp);
    QUrl curFolder() const { return m_curFolder; }
    void setCurFolder(const QUrl& folder);
    bool hasFP() const { return m_hasFP; }
    void setHasFP(bool has);
    bool hasFolder() const { return m_hasFolder; }
    void setHasFolder(bool has);

    Q_INVOKABLE virtual void newFile();
    // False, with the message, when the file was not read; the document
    // is then unchanged.
    Q_INVOKABLE virtual bool readFile();
    // Reads the whole document; false when the stream does not hold one.
    virtual bool readStream(QDataStream& in);
    // False, with the message, when the file was not written; a file of
    // that name stays as it was.
    Q_INVOKABLE virtual bool writeFile();
    virtual void writeStream(QDataStream& out) const;
    // Whether the document differs from what it was when last opened,
    // saved or made new: its model-file bytes are compared, so an edit
    // undone by hand leaves it unmodified.
    Q_INVOKABLE bool isModified() const;
    void markSaved();
    virtual void reserved();
    virtual ParameterList* parameterList() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

public slots:
    virtual bool saveJson(QString fp);
    virtual bool loadJson(QString fp);

signals:
    void ModelsChanged();
    void FpChanged();
    void CurFolderChanged();
    void HasFPChanged();
    void HasFolderChanged();

protected:
    QList<KObjectList*> m_models;

private:
    QByteArray contentBytes() const;

    QByteArray m_savedBytes;
    QString m_fp;
    QUrl m_curFolder;
    bool m_hasFP = false;
    bool m_hasFolder = false;
};

} // namespace Folvane

#endif
