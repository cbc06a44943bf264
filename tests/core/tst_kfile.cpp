#include "capture.h"
#include "files.h"
#include "core/kfile.h"
#include "core/kobjectlist.h"
#include "core/parameter.h"
#include "core/parameterlist.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;

namespace {

class NameList : public KObjectList
{
    Q_OBJECT
public:
    explicit NameList(QObject* parent)
        : KObjectList(QStringLiteral("Names"), parent)
    {
    }
    void readBinary(QDataStream& in) override
    {
        beginResetModel();
        clearSons();
        readSons(in, Binary::StringBytes, [&] { return new KObject(in, this); });
        endResetModel();
    }
};

// A two-list document: the parameters and a list of names.
class Document : public KFile
{
    Q_OBJECT
public:
    Document()
    {
        m_models << new ParameterList(this) << new NameList(this);
    }
    ParameterList* parameterList() const override { return static_cast<ParameterList*>(m_models[0]); }
    KObjectList* names() const { return m_models[1]; }
    bool readStream(QDataStream& in) override
    {
        for (KObjectList* list : qAsConst(m_models))
            list->readBinary(in);
        return in.status() == QDataStream::Ok;
    }
    void writeStream(QDataStream& out) const override
    {
        for (const KObjectList* list : m_models)
            list->writeBinary(out);
        if (failWriting)
            out.setStatus(QDataStream::WriteFailed);
    }
    bool failWriting = false;
};

} // namespace

class TestKFile : public QObject
{
    Q_OBJECT

private slots:
    void pathRule();
    void readWithoutPath();
    void writeThenRead();
    void failedSaveKeepsPreviousFile();
    void unreadableFiles();
    void stringEncoding();
    void folderProperties();
};

void TestKFile::pathRule()
{
    Document doc;
    QVERIFY(!doc.hasFP());
    doc.setFp("file:///tmp/some%20dir/blade.fvm");
    QCOMPARE(doc.fp(), QString("/tmp/some dir/blade.fvm"));
    QVERIFY(doc.hasFP());
    doc.setHasFP(false);
    doc.setFp("relative/blade.fvm");
    QCOMPARE(doc.fp(), QString("relative/blade.fvm"));
    QVERIFY(doc.hasFP());
    QCOMPARE(KFile::toLocalPath("http://example.org/x.fvm"), QString("http://example.org/x.fvm"));
    doc.newFile();
    QVERIFY(!doc.hasFP());
}

void TestKFile::readWithoutPath()
{
    Document doc;
    Capture capture;
    doc.readFile();
    doc.writeFile();
    QCOMPARE(capture.debugLines(), QStringList({"No file path defined!", "No file path defined!"}));
    QCOMPARE(doc.parameterList()->count(), 1);
}

void TestKFile::writeThenRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.fvm");
    Document doc;
    doc.parameterList()->parameter(0)->setName("Span");
    doc.parameterList()->parameter(0)->setValue(12.5);
    doc.parameterList()->addSon();
    doc.names()->addSon();
    doc.names()->ReadSon(0)->setName("First");
    doc.setFp(path);
    Capture capture;
    doc.writeFile();

    Document copy;
    copy.setFp(path);
    copy.readFile();
    QCOMPARE(capture.debugLines(), QStringList({"Write to " + path, "Loaded " + path}));
    QCOMPARE(copy.parameterList()->count(), 2);
    QCOMPARE(copy.parameterList()->parameter(0)->name(), QString("Span"));
    QCOMPARE(copy.parameterList()->parameter(0)->value(), 12.5);
    QCOMPARE(copy.names()->sonNames(), QStringList({"First"}));

    // Written back, the bytes are the same.
    copy.setFp(dir.filePath("again.fvm"));
    copy.writeFile();
    QCOMPARE(fileBytes(dir.filePath("again.fvm")), fileBytes(path));
}

void TestKFile::failedSaveKeepsPreviousFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("doc.fvm");
    Document doc;
    doc.setFp(path);
    doc.writeFile();
    const QByteArray before = fileBytes(path);

    doc.names()->addSon();
    doc.failWriting = true;
    Capture capture;
    doc.writeFile();
    doc.setFp(dir.filePath("missing-folder/doc.fvm"));
    doc.writeFile();
    QCOMPARE(capture.debugLines(), QStringList({"Cannot write to " + path,
                                                "Cannot write to " + dir.filePath("missing-folder/doc.fvm")}));
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"doc.fvm"}));
}

void TestKFile::unreadableFiles()
{
    QTemporaryDir dir;
    Document doc;
    Capture capture;
    doc.setFp(dir.filePath("none.fvm"));
    doc.readFile();

    QFile foreign(dir.filePath("foreign.fvm"));
    foreign.open(QIODevice::WriteOnly);
    foreign.write(QByteArray::fromHex("01000000ffffffffffffff7f"));
    foreign.close();
    doc.setFp(foreign.fileName());
    doc.readFile();
    QCOMPARE(capture.debugLines(),
             QStringList({"Cannot open " + dir.filePath("none.fvm"),
                          "Cannot read " + foreign.fileName() + ": not a complete model file, the document is unchanged"}));
}

void TestKFile::stringEncoding()
{
    const QString text = QString(100, QChar(0x00e4)) + QString(100, QLatin1Char('a'));
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    Binary::prepare(out);
    Binary::writeString(out, text);
    QCOMPARE(bytes.size(), 8 + 300);
    QCOMPARE(bytes.left(8), QByteArray::fromHex("2c01000000000000"));

    QDataStream in(bytes);
    Binary::prepare(in);
    QCOMPARE(Binary::readString(in), text);

    // The text ends at the first zero byte inside the counted bytes.
    QByteArray zeroed = QByteArray::fromHex("0500000000000000") + QByteArray("ab\0cd", 5) + "next";
    QDataStream zin(zeroed);
    Binary::prepare(zin);
    QCOMPARE(Binary::readString(zin), QString("ab"));
    QCOMPARE(zin.device()->bytesAvailable(), 4);

    // A length beyond the stream gives an empty text and a failed stream.
    QByteArray longer = QByteArray::fromHex("ff00000000000000") + "abc";
    QDataStream lin(longer);
    Binary::prepare(lin);
    QCOMPARE(Binary::readString(lin), QString());
    QVERIFY(lin.status() != QDataStream::Ok);
}

void TestKFile::folderProperties()
{
    Document doc;
    QSignalSpy folder(&doc, &KFile::CurFolderChanged);
    QSignalSpy fp(&doc, &KFile::FpChanged);
    QVERIFY(!doc.hasFolder());
    doc.setCurFolder(QUrl("file:///tmp"));
    QVERIFY(doc.hasFolder());
    QCOMPARE(folder.count(), 1);
    // The window's title and status bar follow the path.
    doc.setFp("x.fvm");
    QCOMPARE(fp.count(), 1);
}

QTEST_GUILESS_MAIN(TestKFile)
#include "tst_kfile.moc"
