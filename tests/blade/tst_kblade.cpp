#include "capture.h"
#include "files.h"
#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/kload.h"
#include "blade/kmaterial.h"
#include "blade/koptsetting.h"
#include "blade/kpattern.h"
#include "blade/kregion.h"
#include "blade/ksamplesetting.h"
#include "blade/ksinglelayer.h"
#include "blade/kweb.h"
#include "core/binaryio.h"
#include "core/messages.h"
#include "core/parameter.h"
#include "core/parameterlist.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

using namespace Folvane;

namespace {

// A document changed in every list, so that a round trip has something to keep.
void editEverything(KBlade& blade)
{
    blade.parameters()->parameter(0)->setName("Span");
    blade.parameters()->parameter(0)->setValue(2);
    blade.parameters()->addSon();
    blade.profiles()->profile(2)->chordLen()->setExp("1366 * Span / 2");
    blade.profiles()->profile(4)->ReadKeyInd(3)->setExp("44 + 1");
    blade.materials()->material(1)->setType(KMaterial::UniMat);
    blade.materials()->material(2)->price()->setExp("Span * 3");
    blade.patterns()->pattern(0)->InsertLaminate(1);
    blade.patterns()->pattern(0)->ReadLaminateByInd(1)->setMaterialIndex(2);
    blade.patterns()->pattern(0)->ReadLaminateByInd(1)->setIntPoints(5);
    blade.singleLayers()->layer(3)->setPatternInd(2);
    blade.setting()->setBladeName("Test Blade");
    blade.setting()->setMeshSize(120);
    blade.setting()->setMeshBySize(false);
    blade.setting()->region(2)->setOffset(KRegion::Bottom);
    blade.setting()->region(2)->RemoveLayer(1);
    blade.webs()->web(1)->setEndRegionIndex(5);
    blade.webs()->web(1)->startProfile()->setExp("Span + 1");
    blade.loads()->load(0)->ReadSingleLoadByInd(2)->setZ(17);
    blade.optSetting()->setPopulation(12);
    blade.optSetting()->setOptDir("/tmp/opt");
    blade.optSetting()->ReadObjective(3)->setIsOpt(true);
    blade.sampleSetting()->setSamNum(3);
    blade.sampleSetting()->setLoadInd(1);
    blade.sampleSetting()->setExportFVM(true);
}

// The bytes one value takes in a model file.
template <typename Write, typename Value>
QByteArray recordBytes(Write write, const Value& value)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    Binary::prepare(out);
    write(out, value);
    return bytes;
}

// A model file of the document with one list's section from another.
QByteArray mixedModelBytes(const KBlade& blade, const KBlade& other, int from)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    Binary::prepare(out);
    const KBlade::ChildType fileOrder[] = {
        KBlade::Parameters, KBlade::Profiles, KBlade::Materials, KBlade::Patterns, KBlade::SingleLayers,
        KBlade::Setting, KBlade::Webs, KBlade::KeyInds, KBlade::Meshs, KBlade::Layups, KBlade::Loads,
        KBlade::OptSet, KBlade::SampleSet};
    for (KBlade::ChildType type : fileOrder)
        (type == from ? other : blade).models().at(type)->writeBinary(out);
    return bytes;
}

} // namespace

class TestKBlade : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void defaultDocument();
    void defaultMeshNumbers();
    void newFileKeepsAnalysisSettings();
    void modelFileLayout();
    void modelFileRoundTrip();
    void failedReadsLeaveTheDocument();
    void jsonRoundTrip();
    void jsonFailures();
    void jsonWithMissingAndWrongValues();
    void referencesOutsideTheirLists_data();
    void referencesOutsideTheirLists();
    void meshSizes_data();
    void meshSizes();
    void modelFilePaths_data();
    void modelFilePaths();
    void analysisSettingsFile();
    void modifiedUntilSaved();
};

void TestKBlade::initTestCase()
{
    isolateHome();
}

void TestKBlade::defaultDocument()
{
    KBlade blade;
    QCOMPARE(blade.models().size(), 13);
    QStringList names;
    for (const KObjectList* l : blade.models())
        names << l->name();
    QCOMPARE(names, QStringList({"Parameter", "Blade Setting", "Profile", "Region Location", "Web", "Material",
                                 "Laminate", "Single Layer", "Region Layup", "Mesh", "Load",
                                 "Optimisation Setting", "Sample Setting"}));
    QCOMPARE(blade.rowCount(), 13);
    QVERIFY(!blade.hasFP());
    QCOMPARE(blade.loadNum(), 2);
    QCOMPARE(blade.parameters()->count(), 1);
    QCOMPARE(blade.profiles()->sonNames(),
             QStringList({"Circle", "Circle", "NACA63240", "NACA63220", "NACA63214"}));
    const KProfile* p = blade.profiles()->profile(3);
    QCOMPARE(p->loc()->exp(), QString("9000"));
    QCOMPARE(p->chordLen()->exp(), QString("793"));
    QCOMPARE(p->twist()->exp(), QString("2.77"));
    QCOMPARE(p->xOffset()->exp(), QString("140"));
    QCOMPARE(p->yOffset()->exp(), QString("8"));
    QCOMPARE(p->keyIndexCount(), 29);
    QCOMPARE(p->ReadKeyInd(4)->exp(), QString("51"));
    QCOMPARE(p->ReadKeyInd(5)->exp(), QString("6"));
    QCOMPARE(p->ReadKeyInd(28)->exp(), QString("29"));
    QCOMPARE(p->pointNum(), 58u);
    QCOMPARE(blade.startLoc(), 0.0);
    QCOMPARE(blade.endLoc(), 13150.0);

    QCOMPARE(blade.materials()->sonNames(), QStringList({"UD", "TRI", "PU"}));
    QCOMPARE(blade.materials()->material(1)->par(6)->value(), 0.49);
    QCOMPARE(blade.materials()->material(2)->density()->value(), 8e-11);
    QCOMPARE(blade.patterns()->sonNames(), QStringList({"UNIAX", "TRIAX", "Core"}));
    QCOMPARE(blade.patterns()->pattern(2)->ReadLaminateByInd(0)->thick()->value(), 5.0);
    QCOMPARE(blade.patterns()->pattern(1)->ReadLaminateByInd(0)->materialIndex(), 1);
    QCOMPARE(blade.singleLayers()->sonNames(), QStringList({"Shell-Triax", "Shell-UD", "Shell-Core", "Spar-UD", "Web"}));
    QCOMPARE(blade.singleLayers()->layer(3)->locNumCount(), 6);
    QCOMPARE(blade.singleLayers()->layer(4)->patternInd(), 1);

    const KBladeSetting* setting = blade.setting();
    QCOMPARE(setting->bladeName(), QString("NewBlade"));
    QCOMPARE(setting->meshSize(), 300.0);
    QVERIFY(setting->meshBySize());
    QCOMPARE(setting->sonNames(), QStringList({"Reg-1-U", "Reg-2-U", "Reg-3-U", "Reg-3-L", "Reg-2-L", "Reg-1-L"}));
    const QList<int> expectedLayers[] = {{0, 2, 1}, {0, 3, 1}, {0, 2, 1}, {0, 2, 1}, {0, 3, 1}, {0, 2, 1}};
    for (int r = 0; r < 6; ++r) {
        QList<int> layers;
        for (int i = 0; i < setting->region(r)->layerCount(); ++i)
            layers << setting->region(r)->layerIndex(i);
        QCOMPARE(layers, expectedLayers[r]);
        QCOMPARE(setting->region(r)->offset(), 0);
    }
    QCOMPARE(blade.webs()->sonNames(), QStringList({"Web-1", "Web-2"}));
    QCOMPARE(blade.webs()->startRegionIndices(), std::vector<int>({0, 1}));
    QCOMPARE(blade.webs()->endRegionIndices(), std::vector<int>({4, 3}));
    QCOMPARE(blade.webs()->web(0)->offset(), 1);
    QCOMPARE(blade.webs()->web(1)->layerCount(), 1);
    QCOMPARE(blade.webs()->web(1)->layerIndex(0), 4);
    QCOMPARE(blade.webs()->web(0)->profileSpan(), std::make_pair(1, 4));

    QCOMPARE(blade.loads()->sonNames(), QStringList({"Load-1", "Load-2"}));
    QCOMPARE(blade.loads()->load(0)->singleLoadCount(), 7);
    QCOMPARE(blade.loads()->load(0)->ReadSingleLoadByInd(6)->y(), -548.0);
    QCOMPARE(blade.loads()->load(1)->singleLoadCount(), 4);
    QCOMPARE(blade.optSetting()->objectiveCount(), 18);
    QCOMPARE(blade.optSetting()->ReadObjective(5)->name(), QString("Von Mises Stress"));
    QCOMPARE(blade.optSetting()->ReadObjective(17)->name(), QString("e23"));
    QCOMPARE(blade.sampleSetting()->samNum(), 10);
    QCOMPARE(blade.sampleSetting()->loadInd(), 0);
}

void TestKBlade::defaultMeshNumbers()
{
    KBlade blade;
    const KProfileList* profiles = blade.profiles();
    // The span steps between the reference points: 500, 519.3, 8003.6, 4151.9 long.
    QCOMPARE(profiles->profile(0)->radiusMesh(), 3);
    QCOMPARE(profiles->profile(1)->radiusMesh(), 3);
    QCOMPARE(profiles->profile(2)->radiusMesh(), 28);
    QCOMPARE(profiles->profile(3)->radiusMesh(), 15);
    QCOMPARE(profiles->profile(4)->radiusMesh(), 10);
    // The root circle (chord 600, keys 4, 27, 30, 33, 56): regions of 3, 23,
    // 3, 3, 23 and 3 sides of 32.5 each; both webs span about 192.
    QCOMPARE(profiles->profile(0)->regionMeshNumbers(),
             std::vector<int>({2, 4, 2, 2, 4, 2, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10,
                               10, 10, 10, 10, 10, 10, 10, 10, 10}));
    QCOMPARE(profiles->profile(0)->ReadWebMesh(0), 2);
    QCOMPARE(profiles->profile(0)->ReadWebMesh(1), 2);
    QCOMPARE(profiles->profile(0)->ReadWebMesh(2), 10);
}

void TestKBlade::newFileKeepsAnalysisSettings()
{
    KBlade blade;
    KAnalysis* settings = blade.anaSet();
    blade.setFp("some.fvm");
    blade.setting()->setBladeName("Changed");
    QSignalSpy models(&blade, &KFile::ModelsChanged);
    blade.newFile();
    blade.newFile();
    QCOMPARE(blade.anaSet(), settings);
    QVERIFY(!blade.hasFP());
    QCOMPARE(blade.fp(), QString("some.fvm"));
    QCOMPARE(blade.setting()->bladeName(), QString("NewBlade"));
    QCOMPARE(models.count(), 2);
}

void TestKBlade::modelFileLayout()
{
    KBlade blade;
    const QByteArray bytes = modelBytes(blade);
    // The parameter section opens the file: one parameter "P" of value 1.
    QByteArray parameters;
    QDataStream p(&parameters, QIODevice::WriteOnly);
    Binary::prepare(p);
    p << qint32(1) << quint64(1);
    p.writeRawData("P", 1);
    p << 1.0 << 0.0 << 1.0 << qint32(0) << qint32(0) << quint8(0) << quint8(0) << 0.0 << 0.0;
    QVERIFY(bytes.startsWith(parameters));
    // The profile section follows with five profiles, the first named Circle.
    QCOMPARE(bytes.mid(parameters.size(), 4 + 8 + 6), QByteArray::fromHex("05000000" "0600000000000000") + "Circle");

    // The sample setting closes it: no folder, 10 samples, model files off,
    // FE input on, load case 0; before it the objectives of the optimisation.
    const QByteArray sample = QByteArray(8, '\0') + QByteArray::fromHex("0a000000" "00" "01" "00000000");
    QVERIFY(bytes.endsWith(sample));
    QByteArray objective;
    QDataStream o(&objective, QIODevice::WriteOnly);
    Binary::prepare(o);
    o << quint64(3);
    o.writeRawData("e23", 3);
    o << quint8(0) << 1.0 << 0.0 << 0.0 << 0.0;
    QVERIFY(bytes.left(bytes.size() - sample.size()).endsWith(objective));
}

void TestKBlade::modelFileRoundTrip()
{
    QTemporaryDir dir;
    KBlade blade;
    editEverything(blade);
    blade.setFp(dir.filePath("first.fvm"));
    blade.writeFile();

    KBlade copy;
    copy.setFp(dir.filePath("first.fvm"));
    Capture capture;
    copy.readFile();
    QCOMPARE(capture.debugLines(), QStringList({"Loaded " + dir.filePath("first.fvm")}));
    QCOMPARE(copy.parameters()->parameter(0)->name(), QString("Span"));
    QCOMPARE(copy.profiles()->profile(2)->chordLen()->exp(), QString("1366 * Span / 2"));
    QCOMPARE(copy.setting()->bladeName(), QString("Test Blade"));
    QVERIFY(!copy.setting()->meshBySize());
    QCOMPARE(copy.setting()->region(2)->layerCount(), 2);
    QCOMPARE(copy.setting()->region(2)->offset(), 2);
    QCOMPARE(copy.webs()->web(1)->endRegionIndex(), 5);
    QCOMPARE(copy.patterns()->pattern(0)->ReadLaminateByInd(1)->materialIndex(), 2);
    QCOMPARE(copy.patterns()->pattern(0)->ReadLaminateByInd(1)->intPoints(), 5);
    QCOMPARE(copy.singleLayers()->layer(3)->patternInd(), 2);
    QCOMPARE(copy.optSetting()->optDir(), QString("/tmp/opt"));
    QVERIFY(copy.optSetting()->ReadObjective(3)->isOpt());
    QCOMPARE(copy.sampleSetting()->loadInd(), 1);
    QVERIFY(copy.sampleSetting()->exportFVM());

    // Read and written back, a model file keeps its bytes.
    copy.setFp(dir.filePath("second.fvm"));
    copy.writeFile();
    KBlade third;
    third.setFp(dir.filePath("second.fvm"));
    third.readFile();
    QCOMPARE(modelBytes(third), fileBytes(dir.filePath("second.fvm")));
    QCOMPARE(modelBytes(copy), modelBytes(third));
}

void TestKBlade::failedReadsLeaveTheDocument()
{
    QTemporaryDir dir;
    KBlade source;
    editEverything(source);
    const QByteArray file = modelBytes(source);

    KBlade blade;
    const QByteArray before = modelBytes(blade);
    const QString path = dir.filePath("cut.fvm");
    blade.setFp(path);
    // A spread of truncation lengths, and trailing bytes after a whole file.
    for (int cut = 0; cut < file.size(); cut += 89) {
        writeBytes(path, file.left(cut));
        Capture capture;
        blade.readFile();
        QCOMPARE(capture.debugLines(),
                 QStringList({"Cannot read " + path + ": not a complete model file, the document is unchanged"}));
        QCOMPARE(modelBytes(blade), before);
    }
    writeBytes(path, file + "x");
    blade.readFile();
    QCOMPARE(modelBytes(blade), before);
    // Huge counts at the start are refused without allocating.
    writeBytes(path, QByteArray::fromHex("ffffff7f") + file.mid(4));
    blade.readFile();
    QCOMPARE(modelBytes(blade), before);

    Capture capture;
    blade.setFp(dir.filePath("missing.fvm"));
    blade.readFile();
    QCOMPARE(capture.debugLines(), QStringList({"Cannot open " + dir.filePath("missing.fvm")}));
    QCOMPARE(modelBytes(blade), before);
}

void TestKBlade::jsonRoundTrip()
{
    QTemporaryDir dir;
    KBlade blade;
    editEverything(blade);
    blade.setFp(dir.filePath("model.fvm"));
    blade.saveJson(QUrl::fromLocalFile(dir.filePath("blade.json")).toString());

    const QJsonObject json = QJsonDocument::fromJson(fileBytes(dir.filePath("blade.json"))).object();
    QCOMPARE(json.keys(), QStringList({"Blade Setting", "Laminate", "Load", "Material", "Profile", "Single Layer", "Web"}));
    const QJsonObject setting = json["Blade Setting"].toObject();
    QCOMPARE(setting.keys(), QStringList({"Blade Name", "Mesh Size", "Regions"}));
    QCOMPARE(setting["Regions"].toArray()[2].toObject()["Single Layers"].toArray(),
             QJsonArray({"Shell-Triax", "Shell-UD"}));
    const QJsonObject profile = json["Profile"].toArray()[2].toObject();
    QCOMPARE(profile["Chord Length"].toDouble(), 1366.0);
    QCOMPARE(profile.keys(), QStringList({"Chord Length", "Key Index", "Location", "Name", "Point", "Radius Mesh Number",
                                          "Region Mesh Number", "Twist Angle", "Web Mesh Number", "x Offset", "y Offset"}));
    const QJsonObject material = json["Material"].toArray()[2].toObject();
    QCOMPARE(material["Price"].toDouble(), 6.0);
    QCOMPARE(material["Data"].toArray().size(), 9);
    const QJsonObject ply = json["Laminate"].toArray()[0].toObject()["Piles"].toArray()[1].toObject();
    QCOMPARE(ply, QJsonObject({{"Materials", "PU"}, {"Thickness", 0}, {"Int Point", 5}, {"Angle", 90}}));
    const QJsonObject web = json["Web"].toArray()[1].toObject();
    QCOMPARE(web["Start Profile"].toDouble(), 3.0);
    QCOMPARE(web["End Region"].toString(), QString("Reg-1-L"));
    QCOMPARE(json["Single Layer"].toArray()[3].toObject()["Laminate"].toString(), QString("Core"));
    QCOMPARE(json["Load"].toArray()[0].toObject()["Loads"].toArray()[2].toObject()["Load Z"].toDouble(), 17.0);

    KBlade copy;
    copy.setFp(dir.filePath("kept.fvm"));
    copy.parameters()->parameter(0)->setName("Kept");
    copy.loadJson(dir.filePath("blade.json"));
    QVERIFY(!copy.hasFP());
    QCOMPARE(copy.fp(), dir.filePath("kept.fvm"));
    QCOMPARE(copy.parameters()->parameter(0)->name(), QString("Kept"));
    QCOMPARE(copy.profiles()->profile(2)->chordLen()->exp(), QString("1366"));
    QCOMPARE(copy.materials()->material(2)->price()->exp(), QString("6"));
    QCOMPARE(copy.setting()->bladeName(), QString("Test Blade"));
    QCOMPARE(copy.setting()->meshSize(), 120.0);
    QVERIFY(copy.setting()->meshBySize());  // not in the exchange file
    QCOMPARE(copy.setting()->region(2)->layerCount(), 2);
    QCOMPARE(copy.webs()->web(1)->startProfile()->exp(), QString("3"));
    QCOMPARE(copy.webs()->web(1)->endRegionIndex(), 5);
    QCOMPARE(copy.patterns()->pattern(0)->ReadLaminateByInd(1)->materialIndex(), 2);
    QCOMPARE(copy.singleLayers()->layer(3)->patternInd(), 2);
    QCOMPARE(copy.loads()->load(0)->ReadSingleLoadByInd(2)->z(), 17.0);
    QCOMPARE(copy.sampleSetting()->loadInd(), 0);
    QCOMPARE(copy.optSetting()->population(), 4);

    // Written again, the exchange file is the same.
    copy.saveJson(dir.filePath("again.json"));
    QCOMPARE(fileBytes(dir.filePath("again.json")), fileBytes(dir.filePath("blade.json")));
}

void TestKBlade::jsonFailures()
{
    QTemporaryDir dir;
    KBlade blade;
    blade.setFp("kept.fvm");
    const QByteArray before = modelBytes(blade);
    Capture capture;
    blade.loadJson(dir.filePath("none.json"));
    blade.saveJson(dir.filePath("no/such/folder.json"));
    writeBytes(dir.filePath("bad.json"), "[1, 2, 3]");
    blade.loadJson(dir.filePath("bad.json"));
    writeBytes(dir.filePath("broken.json"), "{\"Profile\": [");
    blade.loadJson(dir.filePath("broken.json"));
    QCOMPARE(capture.outLines(), QStringList({"Cannot read file: " + dir.filePath("none.json"),
                                              "Cannot write to file: " + dir.filePath("no/such/folder.json"),
                                              "Cannot read file: " + dir.filePath("bad.json") + " (not a JSON object)",
                                              "Cannot read file: " + dir.filePath("broken.json") + " (not a JSON object)"}));
    QVERIFY(blade.hasFP());
    QCOMPARE(modelBytes(blade), before);
}

void TestKBlade::jsonWithMissingAndWrongValues()
{
    QTemporaryDir dir;
    const QByteArray text = R"({
        "Material": [{"Name": "Glass", "Density": "heavy", "Data": [1, 2]}],
        "Laminate": [{"Name": "L", "Piles": [{"Materials": "glass", "Thickness": 2}]},
                     {"Name": "M", "Piles": [{"Materials": "steel"}]}],
        "Single Layer": [{"Name": "S", "Laminate": "m", "Thickness": [{"Location": 0, "Number": 2.5}]}],
        "Blade Setting": {"Blade Name": "Odd"},
        "Profile": [{"Name": "Short", "Key Index": [1, 2, 3, 4, 5], "Region Mesh Number": [3],
                     "Point": [{"X": 0, "Y": 0}, {"X": 1}]}],
        "Web": [{"Name": "W", "Start Region": "nowhere", "Single Layers": ["x"]}]
    })";
    writeBytes(dir.filePath("odd.json"), text);
    KBlade blade;
    Capture capture;
    blade.loadJson(dir.filePath("odd.json"));
    // A reference to a name the list lacks falls back to its first item, saying so.
    QCOMPARE(capture.debugLines(), QStringList({"KProfile - KProfile: Key ind size not correct!",
                                                "KProfile - KProfile: regmesh size not correct!",
                                                "KProfile - KProfile: webmesh size not correct!",
                                                "pattern M, ply 1: no material named \"steel\"; material Glass is used instead",
                                                "web W: no single layer named \"x\"; single layer S is used instead",
                                                "KLoadList - changeObject: index out of range!"}));
    // The web names its two regions in a setting that holds none.
    QCOMPARE(capture.outLines(), QStringList({"KObjectList - ReadSonByName: objectlist is empty!",
                                              "KObjectList - ReadSonByName: objectlist is empty!"}));
    QCOMPARE(blade.materials()->material(0)->density()->value(), 0.0);
    QCOMPARE(blade.materials()->material(0)->par(1)->value(), 2.0);
    QCOMPARE(blade.materials()->material(0)->par(8)->value(), 0.0);
    QCOMPARE(blade.materials()->material(0)->type(), 0);
    QCOMPARE(blade.patterns()->pattern(1)->ReadLaminateByInd(0)->materialIndex(), 0);
    QCOMPARE(blade.patterns()->pattern(1)->ReadLaminateByInd(0)->name(), QString("Laminate"));
    QCOMPARE(blade.singleLayers()->layer(0)->patternInd(), 1);
    QCOMPARE(blade.singleLayers()->layer(0)->ReadLocNumByInd(0)->num()->value(), 2.0);
    QCOMPARE(blade.setting()->count(), 0);
    QCOMPARE(blade.setting()->meshSize(), 300.0);
    QCOMPARE(blade.loads()->count(), 0);
    QCOMPARE(blade.loadNum(), 0);
    const KProfile* p = blade.profiles()->profile(0);
    QCOMPARE(p->keyIndexCount(), 0);
    QVERIFY(p->regionMeshNumbers().empty());
    QCOMPARE(p->pointNum(), 2u);
    // The web's regions are gone: its references read as none, not as garbage.
    QCOMPARE(blade.webs()->web(0)->startRegion(), nullptr);
    QCOMPARE(blade.webs()->web(0)->startRegionIndex(), -1);
    QCOMPARE(blade.webs()->web(0)->layerCount(), 1);

    // Such a document still saves and reads back.
    blade.setFp(dir.filePath("odd.fvm"));
    blade.writeFile();
    KBlade copy;
    copy.setFp(dir.filePath("odd.fvm"));
    copy.readFile();
    QCOMPARE(modelBytes(copy), modelBytes(blade));
}

void TestKBlade::referencesOutsideTheirLists_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("materials") << int(KBlade::Materials) << 1
                               << QStringList({"pattern TRIAX, ply 1: no material number 2; material UD is used instead",
                                               "pattern Core, ply 1: no material number 3; material UD is used instead"});
    QTest::newRow("patterns") << int(KBlade::Patterns) << 1
                              << QStringList({"single layer Shell-Triax: no pattern number 2; pattern UNIAX is used instead",
                                              "single layer Shell-Core: no pattern number 3; pattern UNIAX is used instead",
                                              "single layer Web: no pattern number 2; pattern UNIAX is used instead"});
    QTest::newRow("single layers") << int(KBlade::SingleLayers) << 4
                                   << QStringList({"web Web-1: no single layer number 5; it is left out of the stack",
                                                   "web Web-2: no single layer number 5; it is left out of the stack"});
    QTest::newRow("regions") << int(KBlade::Setting) << 4
                             << QStringList({"web Web-1: no region number 5; region Reg-1-U is used instead"});
    QTest::newRow("load cases") << int(KBlade::Loads) << 1
                                << QStringList({"the sample setting: no load case number 2; load case Load-1 is used instead"});
}

// A model file whose reference names an item its list does not hold reads,
// and says what stands in.
void TestKBlade::referencesOutsideTheirLists()
{
    QFETCH(int, list);
    QFETCH(int, kept);
    QFETCH(QStringList, messages);
    KBlade blade;
    blade.sampleSetting()->setLoadInd(1);
    KBlade fewer;
    KObjectList* shortened = fewer.models().at(list);
    while (shortened->count() > kept)
        shortened->RemoveSon(shortened->count() - 1);
    const QByteArray bytes = mixedModelBytes(blade, fewer, list);
    QDataStream in(bytes);
    Binary::prepare(in);
    KBlade read;
    Capture capture;
    QVERIFY(read.readStream(in));
    QCOMPARE(capture.debugLines(), messages);
    QVERIFY(capture.outLines().isEmpty());
}

void TestKBlade::meshSizes_data()
{
    QTest::addColumn<double>("size");
    // The value in a JSON file, when it can hold one.
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("taken");
    QTest::newRow("taken") << 150.0 << QByteArray("150") << true;
    QTest::newRow("zero") << 0.0 << QByteArray("0") << false;
    QTest::newRow("negative") << -5.0 << QByteArray("-5") << false;
    QTest::newRow("not a number") << std::nan("") << QByteArray("\"abc\"") << false;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << QByteArray() << false;
}

// A mesh size that is not a positive number is never taken, wherever it
// comes from; one that is takes effect at the next build.
void TestKBlade::meshSizes()
{
    QFETCH(double, size);
    QFETCH(QByteArray, json);
    QFETCH(bool, taken);
    const QString refusal = "a mesh size is a positive number of mm; ";
    KBlade blade;
    Capture capture;
    blade.setting()->setMeshSize(size);
    QCOMPARE(blade.setting()->meshSize(), taken ? size : 300.0);
    QCOMPARE(capture.outLines(), taken ? QStringList()
                                       : QStringList({"Mesh size " + formatNumber(size) + " refused: " + refusal + "it stays 300"}));
    KBlade unchanged;
    unchanged.genFEModel();
    blade.genFEModel();
    QCOMPARE(blade.elementCount() != unchanged.elementCount(), taken);

    const QString inFile = "Mesh size %1 in the file refused: " + refusal + "the default 300 is used";
    KBlade source;
    source.setting()->setBladeName("Sized");
    const QByteArray name = recordBytes(Binary::writeString, QString("Sized"));
    QByteArray bytes = modelBytes(source);
    bytes.replace(name + recordBytes(Binary::writeReal, 300.0), name + recordBytes(Binary::writeReal, size));
    QDataStream in(bytes);
    Binary::prepare(in);
    KBlade read;
    capture.clear();
    QVERIFY(read.readStream(in));
    QCOMPARE(read.setting()->meshSize(), taken ? size : 300.0);
    QCOMPARE(capture.debugLines(), taken ? QStringList() : QStringList({inFile.arg(formatNumber(size))}));

    if (json.isEmpty())
        return;
    QJsonObject document = KBlade().toJson();
    QJsonObject setting = document["Blade Setting"].toObject();
    setting["Mesh Size"] = QJsonDocument::fromJson("[" + json + "]").array().at(0);
    document["Blade Setting"] = setting;
    capture.clear();
    read.fromJson(document);
    QCOMPARE(read.setting()->meshSize(), taken ? size : 300.0);
    QCOMPARE(capture.debugLines(), taken ? QStringList() : QStringList({inFile.arg(QString::fromUtf8(json))}));
}

void TestKBlade::modelFilePaths_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "/a/copy" << "/a/copy.fvm";
    QTest::newRow("model file") << "/a/copy.fvm" << "/a/copy.fvm";
    QTest::newRow("in capitals") << "/a/COPY.FVM" << "/a/COPY.FVM";
    QTest::newRow("other extension") << "/a/copy.json" << "/a/copy.json.fvm";
    QTest::newRow("url") << "file:///a/my%20copy" << "/a/my copy.fvm";
}

// Save as writes where the open dialog's filter shows the file.
void TestKBlade::modelFilePaths()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QCOMPARE(KBlade::modelFilePath(chosen), written);
}

void TestKBlade::analysisSettingsFile()
{
    const QString path = QDir::homePath() + "/FVanalysis.setting";
    QFile::remove(path);
    {
        Capture capture;
        KAnalysis first;
        QCOMPARE(first.type(), KAnalysis::Ansys);
        QCOMPARE(first.cpus(), 2);
        QVERIFY(first.workDir().isEmpty());
        QCOMPARE(capture.outLines(), QStringList({path + "Analysis setting file saved!"}));
    }
    QCOMPARE(fileBytes(path), QByteArray("\n\n0\n2\n"));

    writeBytes(path, "/work dir\n/usr/bin/ccx\n2\n4\n");
    {
        Capture capture;
        KAnalysis settings;
        QCOMPARE(settings.type(), KAnalysis::Calculix);
        QCOMPARE(settings.cpus(), 4);
        QCOMPARE(settings.workDir(), QString("/work dir"));
        QCOMPARE(settings.proDir(), QString("/usr/bin/ccx"));
        QCOMPARE(capture.outLines(), QStringList({path + " is loaded!"}));
        settings.setCpus(8);
        settings.saveSetting();
    }
    QCOMPARE(fileBytes(path), QByteArray("/work dir\n/usr/bin/ccx\n2\n8\n"));

    // How designs are evaluated follows the four lines; the model file
    // keeps only those.
    const QByteArray fourLines = [] {
        KBlade blade;
        return modelBytes(blade);
    }();
    writeBytes(path, "/work dir\n/usr/bin/ccx\n2\n8\n3\n600\n1\nlong\n--mem=4G --qos=\"a b\"\n");
    {
        Capture capture;
        KBlade blade;
        const KAnalysis& settings = *blade.anaSet();
        QCOMPARE(settings.workers(), 3);
        QCOMPARE(settings.effectiveWorkers(), 3);
        QCOMPARE(settings.timeLimit(), 600);
        QVERIFY(settings.slurm());
        QCOMPARE(settings.partition(), QString("long"));
        QCOMPARE(settings.sbatchOptions(), QString("--mem=4G --qos=\"a b\""));
        QCOMPARE(modelBytes(blade), fourLines);
        blade.anaSet()->setTimeLimit(0);
        blade.anaSet()->saveSetting();
    }
    QCOMPARE(fileBytes(path), QByteArray("/work dir\n/usr/bin/ccx\n2\n8\n3\n0\n1\nlong\n--mem=4G --qos=\"a b\"\n"));
    for (const QByteArray& garbage : {QByteArray("w\np\n2\n1\nmany\n"), QByteArray("w\np\n2\n1\n1\n-5\n"),
                                      QByteArray("w\np\n2\n1\n1\n5\n2\n")}) {
        writeBytes(path, garbage);
        Capture capture;
        KAnalysis settings;
        QCOMPARE(settings.workDir(), QString("w"));
        QCOMPARE(settings.workers(), 0);
        QCOMPARE(settings.timeLimit(), 0);
        QVERIFY(!settings.slurm());
        QCOMPARE(capture.outLines(),
                 QStringList({path + " holds evaluation settings that are not valid, their defaults are used"}));
    }

    for (const QByteArray& garbage : {QByteArray("a\nb\nsolver\n2\n"), QByteArray("a\nb\n7\n2\n"),
                                      QByteArray("a\nb\n2\n"), QByteArray("\xff\xfe\0\0", 4)}) {
        writeBytes(path, garbage);
        Capture capture;
        KAnalysis settings;
        QCOMPARE(settings.type(), KAnalysis::Ansys);
        QCOMPARE(settings.cpus(), 2);
        QVERIFY(settings.workDir().isEmpty());
        QCOMPARE(capture.outLines(),
                 QStringList({path + " is not a valid analysis setting file, the default analysis settings are used"}));
    }
    QFile::remove(path);
}

// A document is modified by edits only: building, drawing and exporting
// the mesh leave it as it was saved, and the table keeps the user's order.
void TestKBlade::modifiedUntilSaved()
{
    QTemporaryDir dir;
    KBlade blade;
    QVERIFY(!blade.isModified());
    // Load-2 ends with a point at the root: not in location order.
    KLoad* load = blade.loads()->load(1);
    QCOMPARE(load->ReadSingleLoadByInd(1)->loc(), 6000.0);
    QCOMPARE(load->ReadSingleLoadByInd(3)->loc(), 0.0);
    {
        Capture quiet;
        blade.genFEModel();
        blade.gen3DModel();
        QVERIFY(blade.exportMeshObj(dir.filePath("mesh.obj")));
    }
    QVERIFY(blade.elementCount() > 0);
    QVERIFY(!blade.isModified());
    QCOMPARE(load->ReadSingleLoadByInd(1)->loc(), 6000.0);

    // The distribution is that of the loads in location order all the same.
    const Eigen::VectorXd stations = Eigen::VectorXd::LinSpaced(5, 0, 13000);
    const Eigen::MatrixXd unsorted = load->distribute(stations);
    load->sortLoads();
    QCOMPARE(load->ReadSingleLoadByInd(1)->loc(), 0.0);
    QCOMPARE(load->distribute(stations), unsorted);
    QVERIFY(blade.isModified());

    blade.setFp(dir.filePath("saved.fvm"));
    {
        Capture quiet;
        QVERIFY(blade.writeFile());
    }
    QVERIFY(!blade.isModified());
    blade.setting()->setMeshSize(blade.setting()->meshSize() + 1);
    QVERIFY(blade.isModified());
    blade.setting()->setMeshSize(blade.setting()->meshSize() - 1);
    QVERIFY(!blade.isModified());   // back to what is saved
}

QTEST_MAIN(TestKBlade)
#include "tst_kblade.moc"
