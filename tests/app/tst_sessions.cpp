// Sessions with the real window, driven as a user drives it: mouse clicks
// and keys through the window manager, what the window shows read as the
// user sees it, and the files and exit code it leaves.

#include "capture.h"
#include "files.h"
#include "session.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/kload.h"
#include "blade/kmaterial.h"
#include "blade/koptsetting.h"
#include "blade/kpattern.h"
#include "blade/kregion.h"
#include "blade/ksinglelayer.h"
#include "blade/loadtable.h"
#include "blade/windiodocument.h"
#include "core/messages.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

using namespace Folvane;

namespace {

// Saves the document to the path, closes the window and wants exit code 0.
bool saveAndQuit(Session& session, const QString& path)
{
    return session.click("saveAction") && session.waitForOutput("Write to " + path) && session.closeWindow("Folvane")
        && session.finish() == 0;
}

// A model file of the default blade with the given name.
QString writeModel(const QString& path, const QString& bladeName)
{
    KBlade blade;
    blade.setting()->setBladeName(bladeName);
    blade.setFp(path);
    QuietDebug quiet;
    blade.writeFile();
    return path;
}

} // namespace

class TestSessions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void closingEndsCleanly();
    void newAfterOpen();
    void typedValuesAreKept();
    void editorsFollowTheOpenedDocument();
    void profilePointsOfTheChosenProfile();
    void namesAndRowsStayCurrent();
    void failuresShowInTheWindow();
    void foldersAreTheChosenOnes();
    void everythingWithinReach();
    void unsavedChanges();
    void viewsFrameAndZoom();
    void meshByRegionAndAsObj();
    void expressionsUnitsAndSettings();
    void realBladesIn();
    void editorCellFaults_data();
    void editorCellFaults();
    void deletingWhatOthersUse();
    void saveAsAsksBeforeReplacing();
    void meshSizeTakesEffect();
};

// Closing the main window ends the program with 0, whatever was opened and
// built before.
void TestSessions::closingEndsCleanly()
{
    Session plain;
    QVERIFY(plain.started());
    QVERIFY(plain.closeWindow("Folvane"));
    QCOMPARE(plain.finish(), 0);

    QTemporaryDir dir;
    Session built({writeModel(dir.filePath("blade.fvm"), "Closing")});
    QVERIFY(built.started());
    QVERIFY(built.click("feAction"));
    QVERIFY(built.waitForWindow("FE Model"));
    QVERIFY(built.closeWindow("FE Model"));
    QVERIFY(built.waitForWindow("FE Model", false));
    QVERIFY(built.closeWindow("Folvane"));
    QCOMPARE(built.finish(), 0);
}

// New replaces the document the profile view shows: the view switches over
// before the old renderers go.
void TestSessions::newAfterOpen()
{
    QTemporaryDir dir;
    Session session({writeModel(dir.filePath("blade.fvm"), "Before New")});
    QVERIFY(session.started());
    QVERIFY(session.click("newAction"));
    QVERIFY(session.click("newAction"));
    QTest::qWait(1000);
    QVERIFY(session.waitForItem("newAction"));
    // The editors follow the new lists without an error on the way.
    QVERIFY2(!session.output().contains("TypeError"), qPrintable(session.output()));
    QVERIFY(session.closeWindow("Folvane"));
    QCOMPARE(session.finish(), 0);
}

// A value being typed is kept when the editor is closed with its title-bar
// button (the window manager's close), without Enter or a click elsewhere.
void TestSessions::typedValuesAreKept()
{
    QTemporaryDir dir;
    const QString model = writeModel(dir.filePath("blade.fvm"), "Before");
    Session session({model});
    QVERIFY(session.started());
    QVERIFY(session.openWindow("editorBladeSetting", "Blade Setting"));
    QVERIFY(session.retype("bladeName", "Typed Name"));
    QVERIFY(session.closeAndWait("Blade Setting"));

    QVERIFY(session.openWindow("editorLoads", "Load Manager"));
    QVERIFY(session.retype("details.2.y", "-1234.5"));
    QVERIFY(session.closeAndWait("Load Manager"));

    QVERIFY(saveAndQuit(session, model));
    KBlade saved;
    saved.setFp(model);
    QVERIFY(saved.readFile());
    QCOMPARE(saved.bladeName(), QString("Typed Name"));
    QCOMPARE(saved.loads()->load(0)->ReadSingleLoadByInd(2)->y(), -1234.5);
}

// After Open, an editor shows and edits the sons of the document it opened,
// not those of the one it replaced.
void TestSessions::editorsFollowTheOpenedDocument()
{
    QTemporaryDir dir;
    const QString other = dir.filePath("other.fvm");
    {
        KBlade blade;
        for (int i = 0; i < blade.singleLayers()->count(); ++i)
            blade.singleLayers()->layer(i)->setName(QString("Other %1").arg(i + 1));
        blade.setFp(other);
        QuietDebug quiet;
        blade.writeFile();
    }
    Session session;
    QVERIFY(session.started());
    QVERIFY(session.openWindow("editorLayer", "Single Layer Manager"));
    QVERIFY(session.click("sons.1"));
    QVERIFY(session.waitForItem("sonName", [](const QJsonObject& o) { return o["text"] == "Shell-UD"; }));
    QVERIFY(session.closeAndWait("Single Layer Manager"));

    QVERIFY(session.click("openAction"));
    QVERIFY(session.answerFileDialog("Please choose a file", other));
    QVERIFY(session.waitForWindow("Folvane - " + other));
    QVERIFY(session.openWindow("editorLayer", "Single Layer Manager"));
    QVERIFY(session.waitForItem("sonName", [](const QJsonObject& o) { return o["text"] == "Other 2"; }));
    // Edits reach the opened document: a new name, the next pattern.
    QVERIFY(session.retype("sonName", "Renamed"));
    session.key("Return");
    QVERIFY(session.choose("patternChoice", 1));
    QVERIFY(session.closeAndWait("Single Layer Manager"));
    // The layup editor: the stack of the chosen region, with the new names.
    const int before = KBlade().setting()->region(3)->layerIndex(0);
    QVERIFY(session.openWindow("editorLayup", "Region Layup Manager"));
    QVERIFY(session.click("sons.3"));
    const QString firstLayer = "details.0.slChoice";
    QVERIFY(session.waitForItem(firstLayer, [&](const QJsonObject& o) {
        return o["currentIndex"] == before && o["displayText"] == QString("Other %1").arg(before + 1);
    }));
    QVERIFY(session.choose(firstLayer, before + 1));
    QVERIFY(session.closeAndWait("Region Layup Manager"));
    QVERIFY(saveAndQuit(session, other));
    KBlade saved;
    saved.setFp(other);
    QVERIFY(saved.readFile());
    QCOMPARE(saved.singleLayers()->layer(1)->name(), QString("Renamed"));
    QCOMPARE(saved.singleLayers()->layer(1)->patternInd(), 1);
    QCOMPARE(saved.singleLayers()->layer(2)->name(), QString("Other 3"));
    QCOMPARE(saved.setting()->region(3)->layerIndex(0), before + 1);
}

// "Edit" in the profile table shows that profile's points; deleting it
// shows the profile that takes its place, and typing reaches that one.
void TestSessions::profilePointsOfTheChosenProfile()
{
    QTemporaryDir dir;
    const QString model = writeModel(dir.filePath("blade.fvm"), "Points");
    KBlade reference;
    Session session({model});
    QVERIFY(session.started());
    QVERIFY(session.openWindow("editorProfile", "Profile Manager"));
    for (int row : {2, 3}) {
        QVERIFY(session.click(QString("profiles.%1.edit").arg(row)));
        const KProfile* p = reference.profiles()->profile(row);
        QVERIFY(session.waitForItem("editedProfile", [&](const QJsonObject& o) { return o["text"] == p->name(); }));
        QCOMPARE(session.item("points.1.y")["text"].toString().toDouble(), p->ReadPoint(1)->y());
    }
    QVERIFY(session.click("profiles.3.delete"));
    const KProfile* next = reference.profiles()->profile(4);
    QVERIFY(session.waitForItem("editedProfile", [&](const QJsonObject& o) { return o["text"] == next->name(); }));
    QCOMPARE(session.item("points.1.y")["text"].toString().toDouble(), next->ReadPoint(1)->y());
    QVERIFY(session.retype("points.1.y", "0.125"));
    QVERIFY(session.closeAndWait("Profile Manager"));
    QVERIFY(saveAndQuit(session, model));
    KBlade saved;
    saved.setFp(model);
    QVERIFY(saved.readFile());
    QCOMPARE(saved.profiles()->count(), 4);
    QCOMPARE(saved.profiles()->profile(3)->name(), next->name());
    QCOMPARE(saved.profiles()->profile(3)->ReadPoint(1)->y(), 0.125);
}

// A renamed pattern is offered under its new name where a layer chooses its
// pattern; a load case renamed just before typing into its table keeps both.
void TestSessions::namesAndRowsStayCurrent()
{
    QTemporaryDir dir;
    const QString model = writeModel(dir.filePath("blade.fvm"), "Names");
    Session session({model});
    QVERIFY(session.started());
    QVERIFY(session.openWindow("editorLaminate", "Laminate Manager"));
    QVERIFY(session.retype("sonName", "Spar UD"));
    session.key("Return");
    QVERIFY(session.closeAndWait("Laminate Manager"));
    QVERIFY(session.openWindow("editorLayer", "Single Layer Manager"));
    QVERIFY(session.click("sons.1"));  // Shell-UD, on pattern 0
    QVERIFY(session.waitForItem("patternChoice", [](const QJsonObject& o) { return o["displayText"] == "Spar UD"; }));
    QVERIFY(session.closeAndWait("Single Layer Manager"));

    QVERIFY(session.openWindow("editorLoads", "Load Manager"));
    QVERIFY(session.retype("sonName", "Storm"));
    QVERIFY(session.retype("details.1.y", "777"));
    QVERIFY(session.closeAndWait("Load Manager"));
    QVERIFY(saveAndQuit(session, model));
    KBlade saved;
    saved.setFp(model);
    QVERIFY(saved.readFile());
    QCOMPARE(saved.patterns()->pattern(0)->name(), QString("Spar UD"));
    QCOMPARE(saved.loads()->load(0)->name(), QString("Storm"));
    QCOMPARE(saved.loads()->load(0)->ReadSingleLoadByInd(1)->y(), 777.0);
}

namespace {

// Whether a shown line of the message pane comes to hold the text.
bool paneShows(const Session& session, const QString& text)
{
    return session.waitForItem("messageList", [&](const QJsonObject&) {
        for (const QJsonObject& line : session.items("message."))
            if (line["text"].toString().contains(text))
                return true;
        return false;
    }, 10000);
}

} // namespace

// From the open FE view, the CalculiX deck of the given load case (counted
// from 1) into file.
bool exportDeck(Session& session, int loadCase, const QString& file)
{
    if (!session.click("exportAction") || !session.waitForWindow("Export"))
        return false;
    // CalculiX is the third deck.
    if (!session.choose("fileType", 2) || !session.choose("loadCase", loadCase) || !session.click("exportButton"))
        return false;
    return session.answerFileDialog("Save as Calculix input file", file);
}

// A build that fails leaves the FE view empty, saying so, and the message
// pane says why; so does a file that cannot be opened.
void TestSessions::failuresShowInTheWindow()
{
    QTemporaryDir dir;
    const QString model = writeModel(dir.filePath("blade.fvm"), "Failing");
    Session session({model});
    QVERIFY(session.started());
    QVERIFY(session.openWindow("feAction", "FE Model"));
    QVERIFY(session.waitForItem("statusModel", [](const QJsonObject& o) { return o["text"] == "440 nodes, 523 elements"; }));
    QVERIFY(session.item("noModel").isEmpty());
    // The counts are the status bar's, not messages.
    for (const QJsonObject& line : session.items("message."))
        QVERIFY2(line["text"] != "440" && line["text"] != "523", qPrintable(line["text"].toString()));

    // A load case added after the build is not in the built model: its
    // deck is refused, in the window.
    QVERIFY(session.activateWindow("Folvane"));
    QVERIFY(session.openWindow("editorLoads", "Load Manager"));
    QVERIFY(session.click("addSon"));
    QVERIFY(session.waitForItem("sons.2"));
    QVERIFY(session.closeAndWait("Load Manager"));
    const QString deck = dir.filePath("deck.inp");
    QVERIFY(session.activateWindow("FE Model"));
    QVERIFY(exportDeck(session, 3, deck));
    QVERIFY(session.waitForWindow("Export of the CalculiX deck"));
    QVERIFY(session.closeWindow("Export of the CalculiX deck"));
    QVERIFY(session.waitForItem("lastFailure", [](const QJsonObject& o) {
        return o["text"] == "Last failure: Export of the CalculiX deck failed";
    }));
    QVERIFY(paneShows(session, "KBlade - exportCCXInp: load case 3 not found"));
    QVERIFY(!QFile::exists(deck));
    QVERIFY(session.closeAndWait("FE Model"));

    QVERIFY(session.openWindow("editorMaterial", "Material Manager"));
    QVERIFY(session.retype("materials.0.par1", "1/undefinedThing"));
    QVERIFY(session.closeAndWait("Material Manager"));
    QVERIFY(session.openWindow("feAction", "Building the FE model failed"));
    QVERIFY(session.closeWindow("Building the FE model failed"));
    QVERIFY(session.waitForItem("noModel"));
    QVERIFY(session.waitForItem("statusModel", [](const QJsonObject& o) { return o["text"] == "no FE model"; }));
    QVERIFY(session.waitForItem("lastFailure", [](const QJsonObject& o) {
        return o["text"] == "Last failure: Building the FE model failed";
    }));
    QVERIFY(paneShows(session, "KBlade - genFEModel: material UD has a value that does not evaluate"));
    session.screenshot(QDir::temp().filePath("folvane-failed-build.png"));
    // An export after the failed build writes nothing, and says so.
    QVERIFY(session.activateWindow("FE Model"));
    QVERIFY(exportDeck(session, 1, deck));
    QVERIFY(session.waitForWindow("Export of the CalculiX deck"));
    QVERIFY(session.closeWindow("Export of the CalculiX deck"));
    QVERIFY(paneShows(session, "KBlade - exportCCXInp: no FE model, build it first"));
    QVERIFY(!QFile::exists(deck));
    QVERIFY(session.closeWindow("FE Model"));

    const QString damaged = dir.filePath("damaged.fvm");
    writeBytes(damaged, "not a model");
    QVERIFY(session.click("openAction"));
    QVERIFY(session.click("discardChanges"));  // the broken material
    QVERIFY(session.answerFileDialog("Please choose a file", damaged));
    QVERIFY(session.waitForWindow("Open"));
    QVERIFY(session.closeWindow("Open"));
    QVERIFY(session.waitForItem("lastFailure", [](const QJsonObject& o) { return o["text"] == "Last failure: Open failed"; }));
    QVERIFY(paneShows(session, "Cannot read " + damaged + ": not a complete model file, the document is unchanged"));
    QVERIFY(session.closeWindow("Folvane"));
    QVERIFY(session.click("discardChanges"));
    QCOMPARE(session.finish(), 0);
}

// A work folder chosen in the folder dialog is the one chosen, whatever the
// dialog showed before; sampling into no folder is refused, saying so.
void TestSessions::foldersAreTheChosenOnes()
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("chosen work");
    Session session;
    QVERIFY(session.started());
    QVERIFY(session.openWindow("settingsAction", "Analysis Setting"));
    QVERIFY(session.click("browseWorkFolder"));
    QVERIFY(session.answerFileDialog("Please choose a working folder", dir.filePath("chosen work")));
    QVERIFY(session.waitForItem("workFolder", [&](const QJsonObject& o) { return o["text"] == dir.filePath("chosen work"); }));
    QVERIFY(session.closeAndWait("Analysis Setting"));

    QVERIFY(session.openWindow("editorSampleSetting", "Sample Setting"));
    QVERIFY(session.click("sampleFolder"));
    session.key("ctrl+a");
    session.key("BackSpace");
    QVERIFY(session.openWindow("sampleExport", "Sampling"));
    QVERIFY(session.closeWindow("Sampling"));
    QVERIFY(session.waitForItem("lastFailure", [](const QJsonObject& o) { return o["text"] == "Last failure: Sampling failed"; }));
    QVERIFY(paneShows(session, "KSampleSetting - startSample: no folder \"\" to export the blades to"));
    QVERIFY(session.closeWindow("Sample Setting"));
    QVERIFY(session.closeWindow("Folvane"));
    QCOMPARE(session.finish(), 0);
}

namespace {

bool inside(const QJsonObject& item, const QJsonObject& window)
{
    const QJsonArray i = item["rect"].toArray(), w = window["rect"].toArray();
    return i[0].toInt() >= w[0].toInt() && i[1].toInt() >= w[1].toInt()
        && i[0].toInt() + i[2].toInt() <= w[0].toInt() + w[2].toInt()
        && i[1].toInt() + i[3].toInt() <= w[1].toInt() + w[3].toInt();
}

} // namespace

// At the windows' first sizes every control can be reached: the profile
// view's last tool, and the material table's last column and row buttons
// (scrolled to); the material type reads in full.
void TestSessions::everythingWithinReach()
{
    QTemporaryDir dir;
    const QString model = writeModel(dir.filePath("blade.fvm"), "Reach");
    Session session({model});
    QVERIFY(session.started());
    QVERIFY(session.waitForItem("updateView"));
    QVERIFY(inside(session.item("updateView"), session.window("Folvane")));
    QVERIFY(session.openWindow("editorMaterial", "Material Manager"));
    QVERIFY(session.waitForItem("materials.0.typeChoice"));
    QCOMPARE(session.item("materials.0.typeChoice")["displayText"].toString(), QString("Engineering Material"));
    QVERIFY(session.item("materials.0.typeChoice")["textFits"].toBool());
    QVERIFY(session.waitForItem("materials.scroll"));
    for (int i = 0; i < 30 && !inside(session.item("materials.0.delete"), session.window("Material Manager")); ++i)
        session.scroll("materials", 3, true);
    QVERIFY(inside(session.item("materials.0.delete"), session.window("Material Manager")));
    QVERIFY(inside(session.item("materials.0.par9"), session.window("Material Manager")));
    QVERIFY(session.retype("materials.0.par9", "0.25"));
    QVERIFY(session.closeAndWait("Material Manager"));
    QVERIFY(saveAndQuit(session, model));
    KBlade saved;
    saved.setFp(model);
    QVERIFY(saved.readFile());
    QCOMPARE(saved.materials()->material(0)->par(8)->value(), 0.25);
}

// Unsaved changes mark the title; New and close ask first: Cancel keeps
// the document, Discard drops the changes, Save keeps them in the file.
void TestSessions::unsavedChanges()
{
    QTemporaryDir dir;
    const QString model = writeModel(dir.filePath("blade.fvm"), "Saved");
    Session session({model});
    QVERIFY(session.started());
    const auto title = [&] { return session.window("Folvane")["title"].toString(); };
    QVERIFY(!title().startsWith("* "));
    const auto rename = [&](const QString& name) {
        QVERIFY(session.click("editorBladeSetting"));
        QVERIFY(session.retype("bladeName", name));
        QVERIFY(session.closeAndWait("Blade Setting"));
    };
    rename("Changed");
    QVERIFY(QTest::qWaitFor([&] { return title().startsWith("* "); }, 60000));
    QVERIFY(session.click("newAction"));
    QVERIFY(session.click("cancelChanges"));
    QVERIFY(title().startsWith("* Folvane - " + model) || title().startsWith("* Folvane Demo v0.76 - " + model));
    QVERIFY(session.click("newAction"));
    QVERIFY(session.click("discardChanges"));
    QVERIFY(QTest::qWaitFor([&] { return title() == "Folvane - "; }, 60000));

    QVERIFY(session.click("openAction"));
    QVERIFY(session.answerFileDialog("Please choose a file", model));
    rename("Kept On Close");
    QVERIFY(session.closeWindow("Folvane"));
    QVERIFY(session.click("saveChanges"));
    QCOMPARE(session.finish(), 0);
    KBlade saved;
    saved.setFp(model);
    QVERIFY(saved.readFile());
    QCOMPARE(saved.bladeName(), QString("Kept On Close"));
}

// The view buttons frame the blade itself (it fills the view, centred);
// the wheel zooms about the point under the cursor.
void TestSessions::viewsFrameAndZoom()
{
    Session session;
    QVERIFY(session.started());
    QVERIFY(session.waitForItem("viewArea"));
    for (const char* side : {"topView", "frontView", "leftView"}) {
        QVERIFY(session.click(side));
        QSize view;
        const QRect box = session.drawnBox("viewArea", &view);
        QVERIFY2(!box.isEmpty(), side);
        const QPointF offset = QPointF(box.center()) - QPointF(view.width() / 2.0, view.height() / 2.0);
        QVERIFY2(std::abs(offset.x()) < 0.1 * view.width() && std::abs(offset.y()) < 0.1 * view.height(),
                 qPrintable(QString("%1: %2,%3 %4x%5 in %6x%7").arg(side).arg(box.x()).arg(box.y()).arg(box.width())
                                .arg(box.height()).arg(view.width()).arg(view.height())));
        QVERIFY2(box.width() > 0.7 * view.width() || box.height() > 0.7 * view.height(), side);
    }
    // From the side the blade is a long strip: zoom in on its left end.
    QVERIFY(session.click("topView"));
    QSize view;
    const QRect before = session.drawnBox("viewArea", &view);
    const QJsonArray area = session.item("viewArea")["rect"].toArray();
    const QPoint end(area[0].toInt() + before.left() + 10, area[1].toInt() + before.center().y());
    session.clickAt(end.x(), end.y(), 4);
    session.clickAt(end.x(), end.y(), 4);
    const QRect after = session.drawnBox("viewArea");
    QVERIFY2(after.width() > before.width() * 1.2 || after.width() >= view.width() - 10,
             qPrintable(QString("%1 -> %2").arg(before.width()).arg(after.width())));
    // The end stays under the cursor.
    QVERIFY2(std::abs(after.left() - before.left()) < 0.05 * view.width(),
             qPrintable(QString("%1 -> %2").arg(before.left()).arg(after.left())));
    QVERIFY(session.closeWindow("Folvane"));
    QCOMPARE(session.finish(), 0);
}

// The FE view frames the mesh, colours it by region and web with a legend
// that names them, and writes it as OBJ.
void TestSessions::meshByRegionAndAsObj()
{
    Session session;
    QVERIFY(session.started());
    QVERIFY(session.openWindow("feAction", "FE Model"));
    QVERIFY(session.waitForItem("fe.viewArea"));
    QVERIFY(session.click("fe.frontView"));
    QSize area;
    const QRect box = session.drawnBox("fe.viewArea", &area);
    QVERIFY(!box.isEmpty());
    QVERIFY2(std::abs(box.center().x() - area.width() / 2) < 0.1 * area.width()
                 && std::abs(box.center().y() - area.height() / 2) < 0.1 * area.height(),
             qPrintable(QString("%1,%2 %3x%4 in %5x%6").arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height())
                            .arg(area.width()).arg(area.height())));

    QVERIFY(session.items("legend.").isEmpty());
    QVERIFY(session.choose("colourBy", 1));
    // The default blade: its regions, then its two webs.
    QVERIFY(session.waitForItem("legend.0", [](const QJsonObject& o) { return o["text"] == "Reg-1-U"; }));
    const QList<QJsonObject> legend = session.items("legend.");
    QCOMPARE(legend.size(), 8);
    QCOMPARE(legend.back()["text"].toString(), QString("Web-2"));

    const QString statusText = session.item("statusModel")["text"].toString();
    const int elements = statusText.section(", ", 1).section(' ', 0, 0).toInt();
    QVERIFY2(elements > 0, qPrintable(statusText));
    QVERIFY(session.click("exportObjAction"));
    const QString obj = session.path("work/blade.obj");
    QVERIFY(session.answerFileDialog("Save the mesh as a Wavefront OBJ file", obj));
    QFile file(obj);
    QTRY_VERIFY_WITH_TIMEOUT(file.exists(), 10000);
    QVERIFY(file.open(QIODevice::ReadOnly));
    int faces = 0;
    for (const QByteArray& line : file.readAll().split('\n'))
        faces += line.startsWith("f ");
    QCOMPARE(faces, elements);

    QVERIFY(session.closeWindow("FE Model"));
    QVERIFY(session.closeWindow("Folvane"));
    QCOMPARE(session.finish(), 0);
}

// An expression that does not evaluate shows as invalid, a valid one gives
// its value; the status bar names the units; the optimisation's crossover
// and iteration numbers are edited with its other settings and saved.
void TestSessions::expressionsUnitsAndSettings()
{
    QTemporaryDir dir;
    const QString model = writeModel(dir.filePath("blade.fvm"), "Settings");
    Session session({model});
    QVERIFY(session.started());
    QCOMPARE(session.item("statusUnits")["text"].toString(), QString("Units: mm, N, MPa, t/mm³, s"));

    QVERIFY(session.openWindow("editorMaterial", "Material Manager"));
    const QString density = "materials.1.densityExpression";
    QVERIFY(session.waitForItem(density, [](const QJsonObject& o) { return o["valid"] == true; }));
    QVERIFY(session.retype(density, "2 *"));
    QVERIFY(session.waitForItem(density, [](const QJsonObject& o) { return o["valid"] == false; }));
    session.key("ctrl+a");
    session.type("P * 3e-9");   // the default parameter P is 1
    QVERIFY(session.waitForItem(density, [](const QJsonObject& o) {
        return o["valid"] == true && o["toolTip"] == "= 3e-9";
    }));
    // The strengths are the table's last columns, to the right.
    session.scroll("materials", 30, true);
    QVERIFY(session.retype("materials.0.xtExpression", "1200"));
    QVERIFY(session.retype("materials.0.sExpression", "P * 60"));
    QVERIFY(session.closeAndWait("Material Manager"));

    QVERIFY(session.openWindow("editorOptimisationSetting", "Optimisation Setting"));
    QVERIFY(session.waitForItem("crossoverNum", [](const QJsonObject& o) { return o["text"] == "1"; }));
    QVERIFY(session.retype("crossoverNum", "3"));
    QVERIFY(session.retype("iterNum", "12"));
    QVERIFY(session.closeAndWait("Optimisation Setting"));

    QVERIFY(saveAndQuit(session, model));
    KBlade saved;
    saved.setFp(model);
    QVERIFY(saved.readFile());
    QCOMPARE(saved.materials()->material(1)->density()->exp(), QString("P * 3e-9"));
    QCOMPARE(saved.materials()->material(0)->strength(KMaterial::Xt)->exp(), QString("1200"));
    QCOMPARE(saved.materials()->material(0)->strength(KMaterial::S)->exp(), QString("P * 60"));
    QCOMPARE(saved.optSetting()->crossoverNum(), 3);
    QCOMPARE(saved.optSetting()->iterNum(), 12);
}

// A windIO blade and a load table come in from the toolbar: a file that is
// no blade leaves the document and says why; the reference blade shows in
// the FE view and saves, under a name asked for, as the batch import does.
void TestSessions::realBladesIn()
{
    const QString reference = QStringLiteral(FOLVANE_WINDIO_DIR "/IEA-15-240-RWT.yaml");
    QTemporaryDir dir;
    const QString tower = dir.filePath("tower.yaml");
    writeBytes(tower, "components:\n    tower: {}\n");
    const QString table = dir.filePath("flap.csv");
    writeBytes(table, "location,Fx,Fy,Fz\n60000,0,-80000,0\n117000,0,-20000,0\n");
    KBlade expected;
    {
        Capture quiet;
        Windio::ImportReport report;
        QString error;
        QVERIFY(Windio::importFile(expected, reference, Windio::ImportSettings(), report, error));
        expected.genFEModel();
        appendLoadCase(expected, "flap", {{60000, 0, -80000, 0}, {117000, 0, -20000, 0}});
    }

    Session session;
    QVERIFY(session.started());
    QVERIFY(session.click("importWindioAction"));
    QVERIFY(session.answerFileDialog("Please choose a windIO file", tower));
    QVERIFY(session.waitForWindow("Import windIO"));
    QVERIFY(session.closeWindow("Import windIO"));
    QVERIFY(session.waitForItem("lastFailure", [](const QJsonObject& o) {
        return o["text"] == "Last failure: Import windIO failed";
    }));
    QVERIFY(paneShows(session, "Cannot import " + tower + ": components: the key 'blade' is missing (line 2, column 5)"));

    QVERIFY(session.click("importWindioAction"));
    QVERIFY(session.answerFileDialog("Please choose a windIO file", reference));
    QVERIFY(session.waitForOutput("Largest laminate thickness deviation", 60000));
    QVERIFY(session.waitForOutput("Read as windIO 1.x"));
    QVERIFY(session.waitForOutput(QString("Regions: %1").arg(expected.regionCount())));
    // The pane keeps its newest line in view; earlier ones may have scrolled out.
    QVERIFY(paneShows(session, "Largest laminate thickness deviation"));
    QVERIFY(session.openWindow("feAction", "FE Model"));
    const QString counts = QString("%1 nodes, %2 elements").arg(expected.nodeCount()).arg(expected.elementCount());
    QVERIFY(session.waitForItem("statusModel", [&](const QJsonObject& o) { return o["text"] == counts; }, 60000));
    QVERIFY(session.click("fe.frontView"));
    QSize area;
    const QRect box = session.drawnBox("fe.viewArea", &area);
    // The 117 m blade seen from the front fills the view's height.
    QVERIFY2(box.height() > area.height() / 2, qPrintable(QString("%1x%2 in %3x%4").arg(box.width())
                                                               .arg(box.height()).arg(area.width()).arg(area.height())));
    session.screenshot(QDir::temp().filePath("folvane-windio.png"));
    QVERIFY(session.closeWindow("FE Model"));

    QVERIFY(session.click("importLoadsAction"));
    QVERIFY(session.answerFileDialog("Please choose a load table", table));
    QVERIFY(paneShows(session, "Load case flap added with 2 point loads"));
    QVERIFY(paneShows(session, "Load case flap: ΣFx 0 N, ΣFy -100000 N, ΣFz 0 N; about the root (z 0 mm) the rows at "
                               "their locations give Mx 7.14e+09 N·mm, My 0 N·mm"));
    const QString model = dir.filePath("iea.fvm");
    QVERIFY(session.click("saveAction"));
    QVERIFY(session.answerFileDialog("Please choose a file", model));
    QVERIFY(session.waitForOutput("Write to " + model));
    QVERIFY(session.closeWindow("Folvane"));
    QCOMPARE(session.finish(), 0);
    QVERIFY(fileBytes(model) == modelBytes(expected));
    QVERIFY2(!session.output().contains("TypeError"), qPrintable(session.output()));
}

namespace {

// A number as a cell shows it.
QString cellText(double value)
{
    return QVariant(value).toString();
}

} // namespace

// Typing into editor cells as in a spreadsheet: a cell entered by Tab, or
// by a click, takes what is typed in place of its text, and comes into
// view; a plain number cell refuses what is no number, or a range turned
// upside down, red with the reason and keeping its value.
void TestSessions::editorCellFaults_data()
{
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("cell");
    // Keys by xdotool's names, the rest typed, separated by blanks.
    QTest::addColumn<QString>("keys");
    // The cell that must be in view when the typing is done.
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("refusal");
    // Cell by cell, what the editor shows once reopened.
    QTest::addColumn<QVariantMap>("stored");

    const KBlade reference;
    const KSingleLoad* point = reference.loads()->load(0)->ReadSingleLoadByInd(2);
    const QString tabs = QString("Tab ").repeated(10);
    QTest::newRow("profile: Tab, then a twist")
        << "editorProfile" << "Profile Manager" << "profiles.1.chordlenExpression" << "Tab 5 Return"
        << "profiles.1.twistExpression" << "" << QVariantMap{{"profiles.1.twist", "5"}};
    QTest::newRow("material: strengths by Tab, out of view")
        << "editorMaterial" << "Material Manager" << "materials.0.densityExpression"
        << tabs + "500 Tab 40 Tab 120 Tab 50 Return" << "materials.0.ycExpression" << ""
        << QVariantMap{{"materials.0.xt", "500"}, {"materials.0.xc", "40"}, {"materials.0.yt", "120"},
                       {"materials.0.yc", "50"}};
    QTest::newRow("load: a click, then a location")
        << "editorLoads" << "Load Manager" << "details.2.loc" << "250 Return" << "details.2.loc" << ""
        << QVariantMap{{"details.2.loc", "250"}};
    QTest::newRow("load: F2 keeps the text")
        << "editorLoads" << "Load Manager" << "details.2.loc" << "F2 5 Return" << "details.2.loc" << ""
        << QVariantMap{{"details.2.loc", cellText(point->loc()) + "5"}};
    QTest::newRow("load: text for a force")
        << "editorLoads" << "Load Manager" << "details.2.y" << "abc Return" << "details.2.y"
        << "\"abc\" is not a number; the value stays " + cellText(point->y())
        << QVariantMap{{"details.2.y", cellText(point->y())}};
    QTest::newRow("load: a location with a letter")
        << "editorLoads" << "Load Manager" << "details.2.loc" << "12x00 Return" << "details.2.loc"
        << "\"12x00\" is not a number; the value stays " + cellText(point->loc())
        << QVariantMap{{"details.2.loc", cellText(point->loc())}};
    QTest::newRow("parameter: text for its value")
        << "editorParameter" << "Parameter Manager" << "parameters.0.value" << "abc Return" << "parameters.0.value"
        << "\"abc\" is not a number; the value stays 1" << QVariantMap{{"parameters.0.value", "1"}};
    QTest::newRow("parameter: Low above High")
        << "editorParameter" << "Parameter Manager" << "parameters.0.low" << "5 Return" << "parameters.0.low"
        << "Low 5 would be above High 1; the value stays 0" << QVariantMap{{"parameters.0.low", "0"}};
}

void TestSessions::editorCellFaults()
{
    QFETCH(QString, editor);
    QFETCH(QString, title);
    QFETCH(QString, cell);
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(QString, refusal);
    QFETCH(QVariantMap, stored);
    Session session;
    QVERIFY(session.started());
    QVERIFY(session.openWindow(editor, title));
    QVERIFY(session.click(cell));
    for (const QString& k : keys.split(' ', Qt::SkipEmptyParts)) {
        if (k == "Tab" || k == "Return" || k == "F2")
            session.key(k);
        else
            session.type(k);
    }
    QVERIFY(session.waitForItem(shown, [&](const QJsonObject& o) { return inside(o, session.window(title)); }));
    if (!refusal.isEmpty()) {
        const QString kept = stored.value(cell).toString();
        QVERIFY2(session.waitForItem(cell + "Field", [&](const QJsonObject& o) {
            return o["valid"] == false && o["toolTip"] == refusal && o["text"] == kept;
        }), qPrintable(QJsonDocument(session.item(cell + "Field")).toJson(QJsonDocument::Compact)));
    }
    QVERIFY(session.closeAndWait(title));
    QVERIFY(session.openWindow(editor, title));
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        QVERIFY2(session.waitForItem(it.key(), [&](const QJsonObject& o) { return o["text"] == it.value().toString(); }),
                 qPrintable(it.key() + ": " + session.item(it.key())["text"].toString()));
}

// Deleting what others use is refused in a dialog, and the message pane
// names the users; what nothing uses goes.
void TestSessions::deletingWhatOthersUse()
{
    QTemporaryDir dir;
    const QString model = writeModel(dir.filePath("blade.fvm"), "In Use");
    Session session({model});
    QVERIFY(session.started());
    QVERIFY(session.openWindow("editorMaterial", "Material Manager"));
    QVERIFY(session.waitForItem("materials.scroll"));
    for (int i = 0; i < 30 && !inside(session.item("materials.0.delete"), session.window("Material Manager")); ++i)
        session.scroll("materials", 3, true);
    QVERIFY(inside(session.item("materials.0.delete"), session.window("Material Manager")));
    // A click while the table still glides from the wheel only stops it.
    bool refused = false;
    for (int attempt = 0; attempt < 3 && !refused; ++attempt)
        refused = session.click("materials.0.delete") && session.waitForWindow("Not deleted", true, 5000);
    QVERIFY(refused);
    QVERIFY(paneShows(session, "Material UD is used by pattern UNIAX; it is not deleted"));
    QVERIFY(session.closeAndWait("Not deleted"));
    QVERIFY(session.closeAndWait("Material Manager"));

    QVERIFY(session.openWindow("editorLaminate", "Laminate Manager"));
    QVERIFY(session.click("addSon"));
    QVERIFY(session.waitForItem("sons.3"));
    QVERIFY(session.click("deleteSon"));
    QVERIFY(QTest::qWaitFor([&] { return session.item("sons.3").isEmpty(); }, 5000));
    QVERIFY(session.click("sons.1"));
    QVERIFY(session.openWindow("deleteSon", "Not deleted"));
    QVERIFY(paneShows(session, "Pattern TRIAX is used by single layer Shell-Triax, single layer Web; it is not deleted"));
    QVERIFY(session.closeAndWait("Not deleted"));
    QVERIFY(session.closeAndWait("Laminate Manager"));
    QVERIFY(saveAndQuit(session, model));
    KBlade saved;
    saved.setFp(model);
    QVERIFY(saved.readFile());
    QCOMPARE(saved.materials()->sonNames(), KBlade().materials()->sonNames());
    QCOMPARE(saved.patterns()->sonNames(), KBlade().patterns()->sonNames());
}

// Save as writes a model file: ".fvm" is appended to a name without it,
// and an existing file is replaced only when the user says so.
void TestSessions::saveAsAsksBeforeReplacing()
{
    QTemporaryDir dir;
    const QString model = writeModel(dir.filePath("blade.fvm"), "Original");
    const QString copy = dir.filePath("copy.fvm");
    const auto bladeIn = [](const QString& path) {
        KBlade blade;
        blade.setFp(path);
        QuietDebug quiet;
        return blade.readFile() ? blade.bladeName() : QString();
    };
    Session session({model});
    QVERIFY(session.started());
    QVERIFY(session.click("saveAsAction"));
    QVERIFY(session.answerFileDialog("Please choose a file", dir.filePath("copy")));
    QVERIFY(session.waitForOutput("Write to " + copy));
    const QByteArray first = fileBytes(copy);
    QCOMPARE(bladeIn(copy), QString("Original"));

    QVERIFY(session.openWindow("editorBladeSetting", "Blade Setting"));
    QVERIFY(session.retype("bladeName", "Changed"));
    QVERIFY(session.closeAndWait("Blade Setting"));
    const QString question = "The file " + copy + " exists already. Replace it?";
    for (const QString answer : {"keepFile", "replaceFile"}) {
        QVERIFY(session.click("saveAsAction"));
        QVERIFY(session.answerFileDialog("Please choose a file", answer == "keepFile" ? copy : dir.filePath("copy")));
        QVERIFY(session.waitForItem("questionText", [&](const QJsonObject& o) { return o["text"] == question; }));
        QVERIFY(session.click(answer));
        QVERIFY(session.waitForWindow("Replace the file?", false));
        if (answer == "keepFile")
            QCOMPARE(fileBytes(copy), first);
    }
    QTRY_COMPARE_WITH_TIMEOUT(bladeIn(copy), QString("Changed"), 10000);
    QCOMPARE(bladeIn(model), QString("Original"));
    QVERIFY(session.closeWindow("Folvane"));
    QCOMPARE(session.finish(), 0);
}

// A mesh size that is not a positive number is refused at its field, red,
// with the reason in the tool tip; a new one takes effect at the next build.
void TestSessions::meshSizeTakesEffect()
{
    KBlade expected;
    {
        Capture quiet;
        expected.setting()->setMeshSize(150);
        expected.genFEModel();
    }
    Session session;
    QVERIFY(session.started());
    QVERIFY(session.openWindow("editorMesh", "Mesh Manager"));
    QVERIFY(session.retype("meshSize", "abc"));
    session.key("Return");
    QVERIFY(session.waitForItem("meshSize", [](const QJsonObject& o) {
        return o["valid"] == false && o["toolTip"] == "Refused: a mesh size is a positive number of mm; it stays 300";
    }));
    QVERIFY(session.retype("meshSize", "150"));
    session.key("Return");
    QVERIFY(session.waitForItem("meshSize", [](const QJsonObject& o) { return o["valid"] == true; }));
    QVERIFY(session.closeAndWait("Mesh Manager"));
    QVERIFY(session.openWindow("feAction", "FE Model"));
    const QString counts = QString("%1 nodes, %2 elements").arg(expected.nodeCount()).arg(expected.elementCount());
    QVERIFY(session.waitForItem("statusModel", [&](const QJsonObject& o) { return o["text"] == counts; }));
    QVERIFY(session.closeWindow("FE Model"));
    QVERIFY(session.closeWindow("Folvane"));
    QVERIFY(session.click("discardChanges"));
    QCOMPARE(session.finish(), 0);
}

QTEST_MAIN(TestSessions)
#include "tst_sessions.moc"
