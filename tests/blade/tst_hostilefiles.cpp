#include "capture.h"
#include "files.h"
#include "hostile.h"
#include "wholedocument.h"
#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/kmaterial.h"
#include "blade/kregion.h"
#include "blade/windioimport.h"
#include "blade/windioreader.h"
#include "core/messages.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;

namespace {

QByteArray defaultModelFile()
{
    KBlade blade;
    return modelBytes(blade);
}

QByteArray defaultJson(const QString& folder)
{
    const QString source = folder + "/source.json";
    KBlade blade;
    Capture quiet;
    blade.saveJson(source);
    return fileBytes(source);
}

// Every leaf of a JSON tree in document order, replaced one at a time.
QJsonValue replaceLeaf(const QJsonValue& value, int& leaf, const QJsonValue& with)
{
    if (value.isObject()) {
        QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end() && leaf >= 0; ++it)
            *it = replaceLeaf(*it, leaf, with);
        return object;
    }
    if (value.isArray()) {
        QJsonArray array = value.toArray();
        for (int i = 0; i < array.size() && leaf >= 0; ++i)
            array[i] = replaceLeaf(array[i], leaf, with);
        return array;
    }
    return leaf-- == 0 ? with : value;
}

QList<QJsonValue> hostileJsonValues()
{
    QJsonArray many;
    for (int i = 0; i < 5000; ++i)
        many.append(1);
    return {1e308, -1e308, -1, 0, 2147483648.0, -2147483649.0, 1e9, 0.5, "x", QJsonValue::Null,
            QJsonArray(), QJsonObject(), many, true, QString(100000, 'n')};
}

// A windIO text either gives a blade document that builds an FE model or
// is refused with a reason; a refusal leaves nothing behind.
QString windioFault(const QByteArray& text)
{
    Windio::Blade blade;
    QString error;
    if (!Windio::readBladeText(text, blade, error))
        return error.isEmpty() ? QStringLiteral("refused without a reason") : QString();
    Windio::ImportSettings coarse;
    coarse.meshSize = 5000.0;
    QJsonObject document;
    Windio::ImportReport report;
    if (!Windio::buildDocument(blade, QStringLiteral("Hostile"), coarse, document, report, error))
        return error.isEmpty() ? QStringLiteral("not built, without a reason") : QString();
    KBlade built;
    built.fromJson(document);
    built.genFEModel();
    return built.elementCount() > 0 ? QString() : QStringLiteral("built without elements");
}

} // namespace

class TestHostileFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void modelFileTruncations();
    void modelFileDamage();
    void jsonTruncationsAndDamage();
    void jsonHostileValues();
    void analysisSettingsFile();
    void pointFilesAndClipboard();
    void specialFiles();
    void windioTruncationsAndFlips();
    void additionsBlockDamage();
    void namesInModelFiles();
    void namesInJsonFiles_data();
    void namesInJsonFiles();

private:
    QTemporaryDir m_dir;
};

void TestHostileFiles::modelFileTruncations()
{
    const QByteArray file = defaultModelFile();
    KBlade blade;
    const QByteArray before = modelBytes(blade);
    const QString path = m_dir.filePath("cut.fvm");
    blade.setFp(path);
    const QStringList refused{"Cannot read " + path + ": not a complete model file, the document is unchanged"};
    Capture capture;
    for (int cut = 0; cut < file.size(); ++cut) {
        writeBytes(path, file.left(cut));
        QVERIFY(!blade.readFile());
        QCOMPARE(capture.debugLines(), refused);
        capture.clear();
    }
    QCOMPARE(capture.outLines(), QStringList());
    QCOMPARE(modelBytes(blade), before);
    qInfo("%d truncations refused", int(file.size()));
}

void TestHostileFiles::modelFileDamage()
{
    const QByteArray file = defaultModelFile();
    const QString path = m_dir.filePath("damaged.fvm");
    std::mt19937 random(20261206);
    int tried = 0, accepted = 0;
    const auto attempt = [&](const QByteArray& damaged) {
        KBlade blade;
        const QByteArray before = modelBytes(blade);
        blade.setFp(path);
        writeBytes(path, damaged);
        bool read = false;
        {
            Capture capture;
            read = blade.readFile();
            const QStringList lines = capture.debugLines();
            QVERIFY(!lines.isEmpty());
            if (!read) {
                QCOMPARE(lines, QStringList({"Cannot read " + path + ": not a complete model file, the document is unchanged"}));
                QCOMPARE(modelBytes(blade), before);
            } else {
                QCOMPARE(lines.last(), "Loaded " + path);
            }
        }
        ++tried;
        if (read) {
            ++accepted;
            QuietDebug quiet;
            Capture silence;
            const QString fault = wholeDocumentFault(blade, m_dir.path());
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }
    };
    for (int i = 0; i < 600 && !QTest::currentTestFailed(); ++i)
        attempt(flipped(file, random));
    // A big count at every offset: lengths of strings and lists included.
    for (int offset = 0; offset + 4 <= file.size() && !QTest::currentTestFailed(); offset += 6)
        attempt(inflated(file, offset, offset % InflationVariants));
    qInfo("%d damaged model files, %d read as whole documents", tried, accepted);
}

void TestHostileFiles::jsonTruncationsAndDamage()
{
    const QByteArray json = defaultJson(m_dir.path());
    const QString path = m_dir.filePath("damaged.json");
    KBlade blade;
    int tried = 0, accepted = 0;
    const auto attempt = [&](const QByteArray& damaged) {
        writeBytes(path, damaged);
        const QByteArray before = modelBytes(blade);
        Capture capture;
        blade.loadJson(path);
        ++tried;
        const QStringList out = capture.outLines();
        if (out.contains("Cannot read file: " + path + " (not a JSON object)")) {
            QCOMPARE(modelBytes(blade), before);
        } else {
            ++accepted;
            QuietDebug quiet;
            const QString fault = wholeDocumentFault(blade, m_dir.path());
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }
    };
    for (int cut = 0; cut < json.size() && !QTest::currentTestFailed(); cut += 13)
        attempt(json.left(cut));
    std::mt19937 random(6122026);
    for (int i = 0; i < 400 && !QTest::currentTestFailed(); ++i)
        attempt(flipped(json, random));
    // Changed digits keep the syntax, so the values reach the document.
    std::vector<int> digits;
    for (int i = 0; i < json.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(json[i])))
            digits.push_back(i);
    }
    std::uniform_int_distribution<size_t> anyDigit(0, digits.size() - 1);
    for (int i = 0; i < 400 && !QTest::currentTestFailed(); ++i) {
        QByteArray changed = json;
        for (int k = 0; k < 1 + i % 4; ++k)
            changed[digits[anyDigit(random)]] = char('0' + random() % 10);
        attempt(changed);
    }
    // A carriage return inside a number breaks it, whatever line ends the
    // file has otherwise.
    QByteArray broken = json;
    broken.insert(json.indexOf("\"X\": 0.") + 7, '\r');
    const QByteArray before = modelBytes(blade);
    writeBytes(path, broken);
    Capture capture;
    blade.loadJson(path);
    QCOMPARE(capture.outLines(), QStringList({"Cannot read file: " + path + " (not a JSON object)"}));
    QCOMPARE(modelBytes(blade), before);
    qInfo("%d damaged JSON files, %d read", tried, accepted);
}

void TestHostileFiles::jsonHostileValues()
{
    const QJsonObject original = QJsonDocument::fromJson(defaultJson(m_dir.path())).object();
    const QList<QJsonValue> values = hostileJsonValues();
    const QString path = m_dir.filePath("hostile.json");
    int leaf = 0;
    for (;; ++leaf) {
        int index = leaf;
        const QJsonValue changed = replaceLeaf(original, index, values[leaf % values.size()]);
        if (index >= 0)
            break;  // every leaf was replaced once
        writeBytes(path, QJsonDocument(changed.toObject()).toJson());
        KBlade blade;
        Capture capture;
        blade.loadJson(path);
        QuietDebug quiet;
        const QString fault = wholeDocumentFault(blade, m_dir.path());
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        if (QTest::currentTestFailed())
            return;
    }
    qInfo("%d JSON leaves replaced", leaf);
}

void TestHostileFiles::analysisSettingsFile()
{
    const QString path = QDir::homePath() + "/FVanalysis.setting";
    const QByteArray good = "/work\n/usr/bin/ccx\n2\n4\n";
    const QString invalid = path + " is not a valid analysis setting file, the default analysis settings are used";
    const QString evaluationInvalid = path + " holds evaluation settings that are not valid, their defaults are used";
    QList<QByteArray> files;
    for (int cut = 0; cut < good.size(); ++cut)
        files << good.left(cut);
    std::mt19937 random(42);
    for (int i = 0; i < 300; ++i)
        files << flipped(good, random);
    files << QByteArray(200000, 'x') << "a\nb\n2\n99999999999\n" << "a\nb\n3\n1\n" << "a\nb\n-1\n1\n"
          << "a\nb\n2\n0\n" << QByteArray("a\nb\n2\n1\n") + QByteArray(100000, '\0');
    int valid = 0;
    for (const QByteArray& file : files) {
        writeBytes(path, file);
        Capture capture;
        KAnalysis settings;
        const QStringList out = capture.outLines();
        QCOMPARE(out.size(), 1);
        if (out[0] == invalid) {
            QCOMPARE(settings.type(), KAnalysis::Ansys);
            QCOMPARE(settings.cpus(), 2);
            QCOMPARE(settings.workDir(), QString());
        } else if (out[0] == evaluationInvalid) {
            // The four lines hold; what follows them is refused alone.
            QVERIFY(settings.cpus() >= 1);
            QCOMPARE(settings.workers(), 0);
            QCOMPARE(settings.timeLimit(), 0);
        } else {
            QCOMPARE(out[0], path + " is loaded!");
            QVERIFY(settings.cpus() >= 1);
            QVERIFY(settings.type() >= KAnalysis::Ansys && settings.type() <= KAnalysis::Calculix);
            ++valid;
        }
        // A damaged file is left for the user; it is only replaced on a save.
        QCOMPARE(fileBytes(path), file);
    }
    QFile::remove(path);
    qInfo("%d settings files, %d valid", int(files.size()), valid);
}

void TestHostileFiles::pointFilesAndClipboard()
{
    QByteArray good;
    for (int i = 0; i < 40; ++i)
        good += QByteArray::number(std::cos(i * 0.157), 'g', 8) + "\t" + QByteArray::number(std::sin(i * 0.157), 'g', 8) + "\n";
    QList<QByteArray> files;
    for (int cut = 0; cut < good.size(); cut += 3)
        files << good.left(cut);
    std::mt19937 random(7);
    for (int i = 0; i < 400; ++i)
        files << flipped(good, random);
    files << QByteArray(100000, '1') << "nan nan\ninf 1\n1 -inf\n" << "1e308 1e308\n-1e308 1\n0 0\n"
          << QByteArray("1 2 3 4 5 6 7 8 9 10 11 12\n").repeated(1000) << QByteArray("0 0\n").repeated(200000)
          << QByteArray(5000, '\n');
    const QString path = m_dir.filePath("points.txt");
    KProfile profile;
    profile.setFp(path);
    int taken = 0;
    for (const QByteArray& file : files) {
        writeBytes(path, file);
        const uint before = profile.pointNum();
        Capture capture;
        profile.ImportProfile();
        const QStringList lines = capture.debugLines();
        if (profile.pointNum() != before || lines.isEmpty()) {
            ++taken;
            QVERIFY(profile.pointNum() >= 3);
        } else {
            QVERIFY(lines.last().startsWith("KProfile::ImportProfile - "));
        }
        // The same text from the clipboard, with every delimiter choice.
        for (int deli = 0; deli < 3; ++deli) {
            const uint count = profile.pointNum();
            if (!profile.importPointText(QString::fromUtf8(file), deli))
                QCOMPARE(profile.pointNum(), count);
        }
    }
    qInfo("%d point files, %d taken", int(files.size()), taken);
}

void TestHostileFiles::specialFiles()
{
    // A folder, an endless device and an empty file in place of a model.
    KBlade blade;
    const QByteArray before = modelBytes(blade);
    for (const QString& path : {m_dir.path(), QString("/dev/zero"), m_dir.filePath("empty.fvm")}) {
        writeBytes(m_dir.filePath("empty.fvm"), QByteArray());
        blade.setFp(path);
        Capture capture;
        QVERIFY(!blade.readFile());
        QCOMPARE(capture.debugLines().size(), 1);
        blade.loadJson(path);
        QVERIFY(capture.outLines().value(0).startsWith("Cannot read file: " + path));
        QCOMPARE(modelBytes(blade), before);

        KProfile profile;
        const uint points = profile.pointNum();
        profile.setFp(path);
        QCOMPARE(profile.pointNum(), points);
        QVERIFY(capture.debugLines().last().startsWith("KProfile::ImportProfile - "));
    }
    // A folder in place of the analysis settings file.
    const QString settings = QDir::homePath() + "/FVanalysis.setting";
    QFile::remove(settings);
    QVERIFY(QDir().mkpath(settings));
    Capture capture;
    const KAnalysis analysis;
    QCOMPARE(analysis.type(), KAnalysis::Ansys);
    QCOMPARE(capture.outLines(), QStringList({settings + " cannot be read, the default analysis settings are used"}));
    QVERIFY(QDir().rmdir(settings));
}

void TestHostileFiles::windioTruncationsAndFlips()
{
    const QByteArray reference = fileBytes(QStringLiteral(FOLVANE_WINDIO_DIR "/IEA-15-240-RWT.yaml"));
    QVERIFY(reference.size() > 100000);
    Capture quiet;
    for (int k = 0; k <= 40; ++k) {
        const int length = int(qint64(reference.size()) * k / 40) - (k == 40 ? 1 : 0);
        const QString fault = windioFault(reference.left(length));
        QVERIFY2(fault.isEmpty(), qPrintable(QString("cut at %1: %2").arg(length).arg(fault)));
    }
    std::mt19937 random(16);
    for (int k = 0; k < 40; ++k) {
        const QString fault = windioFault(flipped(reference, random));
        QVERIFY2(fault.isEmpty(), qPrintable(QString("damage %1: %2").arg(k).arg(fault)));
    }
}

// A file with the additions block: any cut inside it, and any changed byte
// in it, refuses the file; a cut right where it starts leaves the older
// file, which reads as one.
void TestHostileFiles::additionsBlockDamage()
{
    KBlade strong;
    strong.materials()->material(1)->strength(KMaterial::Xt)->setExp("800");
    strong.materials()->material(2)->strength(KMaterial::S)->setExp("0.4");
    const QByteArray file = modelBytes(strong);
    const int start = file.indexOf("FVAD");
    QVERIFY(start > 0);
    QVERIFY(file.left(start) == defaultModelFile());
    KBlade blade;
    blade.materials()->material(0)->strength(KMaterial::Xc)->setExp("500");
    const QByteArray before = modelBytes(blade);
    for (int cut = start + 1; cut < file.size(); ++cut)
        QVERIFY2(!readModelBytes(blade, file.left(cut)), qPrintable(QString("cut at %1").arg(cut)));
    for (int at = start; at < file.size(); ++at) {
        QByteArray damaged = file;
        damaged[at] = char(damaged[at] ^ 0x10);
        QVERIFY2(!readModelBytes(blade, damaged), qPrintable(QString("byte %1").arg(at)));
    }
    QVERIFY(!readModelBytes(blade, file + '\0'));
    QVERIFY(modelBytes(blade) == before);
    QVERIFY(readModelBytes(blade, file.left(start)));
    QCOMPARE(blade.materials()->material(0)->strength(KMaterial::Xc)->exp(), QString("0"));
    QVERIFY(readModelBytes(blade, file));
    QCOMPARE(blade.materials()->material(2)->strength(KMaterial::S)->value(), 0.4);
    qInfo("%d cuts and %d changed bytes of a %d-byte block refused", int(file.size() - start - 1),
          int(file.size() - start), int(file.size() - start));
}

// A model file refers to items by position: a name it repeats in any case
// (earlier builds named every new row alike) is made unique, with a
// message; a control character in any name refuses the file.
void TestHostileFiles::namesInModelFiles()
{
    const QString path = m_dir.filePath("names.fvm");
    KBlade written;
    written.materials()->material(1)->setName("ud");
    written.setting()->region(5)->setName("Reg-1-U");
    writeBytes(path, modelBytes(written));
    KBlade blade;
    blade.setFp(path);
    {
        Capture capture;
        QVERIFY(blade.readFile());
        QCOMPARE(capture.outLines(), QStringList({"Blade Setting row 6 is renamed 'Reg-1-U-2': 'Reg-1-U' is used twice",
                                                  "Material row 2 is renamed 'ud-2': 'ud' and 'UD' differ only in "
                                                  "letter case"}));
    }
    QCOMPARE(blade.materials()->sonNames(), QStringList({"UD", "ud-2", "PU"}));
    QCOMPARE(blade.setting()->region(5)->name(), QString("Reg-1-U-2"));
    QCOMPARE(blade.profiles()->sonNames().count("Circle"), 2);

    const QByteArray before = modelBytes(blade);
    written.materials()->material(1)->setName("TRI\n*INCLUDE,INPUT=x.inp");
    writeBytes(path, modelBytes(written));
    Capture capture;
    QVERIFY(!blade.readFile());
    QCOMPARE(capture.debugLines(), QStringList({"Cannot read " + path + ": not a complete model file, the document is unchanged"}));
    QCOMPARE(modelBytes(blade), before);
}

// An exchange file refers to materials, laminates, layers and regions by
// name: a name it repeats in any case, in those lists and the webs, or a
// control character in any name refuses it.
void TestHostileFiles::namesInJsonFiles_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("problem");
    QTest::newRow("material in other case") << "Material" << 1 << "ud" << "Material: 'ud' and 'UD' differ only in letter case";
    QTest::newRow("material repeated") << "Material" << 2 << "UD" << "Material: 'UD' is used twice";
    QTest::newRow("laminate") << "Laminate" << 2 << "triax" << "Laminate: 'triax' and 'TRIAX' differ only in letter case";
    QTest::newRow("single layer") << "Single Layer" << 0 << "Shell\nTriax"
                                  << "Single Layer: 'Shell\\nTriax' holds a control character";
    QTest::newRow("region") << "Blade Setting" << 5 << "REG-1-U"
                            << "Blade Setting: 'REG-1-U' and 'Reg-1-U' differ only in letter case";
    QTest::newRow("web") << "Web" << 1 << "web-1" << "Web: 'web-1' and 'Web-1' differ only in letter case";
    QTest::newRow("profile") << "Profile" << 3 << "\x7f" << "Profile: '\\x7f' holds a control character";
    QTest::newRow("profile label repeated") << "Profile" << 3 << "CIRCLE" << QString();
}

void TestHostileFiles::namesInJsonFiles()
{
    QFETCH(QString, key);
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(QString, problem);
    QJsonObject json = QJsonDocument::fromJson(defaultJson(m_dir.path())).object();
    // The regions stand in the blade setting's object.
    const bool regions = key == "Blade Setting";
    QJsonObject holder = regions ? json[key].toObject() : json;
    const QString listKey = regions ? "Regions" : key;
    QJsonArray list = holder[listKey].toArray();
    QVERIFY(index < list.size());
    QJsonObject son = list[index].toObject();
    son["Name"] = name;
    list[index] = son;
    holder[listKey] = list;
    if (regions)
        json[key] = holder;
    else
        json = holder;
    const QString path = m_dir.filePath("names.json");
    writeBytes(path, QJsonDocument(json).toJson());
    KBlade blade;
    blade.materials()->material(0)->setName("Before");
    const QByteArray before = modelBytes(blade);
    Capture capture;
    QCOMPARE(blade.loadJson(path), problem.isEmpty());
    if (problem.isEmpty()) {
        QCOMPARE(blade.models().at(KBlade::Profiles)->ReadSon(index)->name(), name);
        return;
    }
    QCOMPARE(capture.outLines(), QStringList({"Cannot read file: " + path + " (" + problem + ")"}));
    QCOMPARE(modelBytes(blade), before);
}

QTEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
