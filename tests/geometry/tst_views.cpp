#include "capture.h"
#include "blade/kblade.h"
#include "blade/kbladesetting.h"
#include "blade/kweb.h"
#include "core/messages.h"
#include "fem/model.h"
#include "geometry/kprofile.h"
#include "geometry/kprofilelist.h"

#include <QPointer>
#include <QtTest>
#include <QColor>
#include <QSet>
#include <Qt3DRender/QAttribute>
#include <Qt3DRender/QBuffer>
#include <Qt3DRender/QGeometry>

using namespace Folvane;

namespace {

std::vector<quint32> indicesOf(const QByteArray& bytes)
{
    const quint32* p = reinterpret_cast<const quint32*>(bytes.constData());
    return std::vector<quint32>(p, p + bytes.size() / 4);
}

Qt3DRender::QAttribute* attributeOf(Qt3DCore::QComponent* component, Qt3DRender::QAttribute::AttributeType type)
{
    auto* renderer = qobject_cast<Qt3DRender::QGeometryRenderer*>(component);
    for (Qt3DRender::QAttribute* a : renderer->geometry()->attributes()) {
        if (a->attributeType() == type)
            return a;
    }
    return nullptr;
}

int indexCount(Qt3DCore::QComponent* component)
{
    auto* a = attributeOf(component, Qt3DRender::QAttribute::IndexAttribute);
    return a ? int(a->count()) : -1;
}

} // namespace

class TestViews : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { isolateHome(); }
    void profileView();
    void websOfNoRegion();
    void rendererStates();
};

void TestViews::profileView()
{
    KBlade blade;
    KProfileList* profiles = blade.profiles();
    while (profiles->count() > 2)
        profiles->RemoveSon(2);
    // Two profiles of 58 points: 116 vertices and outline segments, and the
    // point-0 line plus one line per region boundary between them.
    QCOMPARE(profiles->profilePositions().size(), 116 * 12);
    const std::vector<quint32> outline = indicesOf(profiles->outlineIndices());
    QCOMPARE(outline.size(), size_t(116 * 2));
    QCOMPARE(std::vector<quint32>(outline.begin() + 114, outline.begin() + 118), std::vector<quint32>({57, 0, 58, 59}));
    const std::vector<quint32> keys = indicesOf(profiles->keyLineIndices());
    QCOMPARE(keys, std::vector<quint32>({0, 58, 3, 62, 26, 79, 29, 87, 32, 95, 55, 112}));
    // The webs span profiles 2 to 5: of these two profiles only the second
    // is theirs, so no band is drawn.
    QVERIFY(indicesOf(profiles->webIndices()).empty());

    KBlade full;
    const std::vector<quint32> webs = indicesOf(full.profiles()->webIndices());
    QCOMPARE(webs.size(), size_t(2 * 3 * 12));  // two webs, three profile pairs
    // Web-1 between the ends of regions 0 and 4 (key points 4 and 54 of the
    // second profile, 7 and 52 of the third): A, B, B', A, B', B, ...
    QCOMPARE(std::vector<quint32>(webs.begin(), webs.begin() + 12),
             std::vector<quint32>({58 + 4, 58 + 54, 116 + 52, 62, 168, 112, 116 + 7, 168, 62, 123, 62, 168}));
    const QByteArray positions = full.profiles()->profilePositions();
    const float* xyz = reinterpret_cast<const float*>(positions.constData());
    QCOMPARE(xyz[0], -20.0f);   // point 0 of the root circle at its offsets
    QCOMPARE(xyz[1], 115.0f);
    QCOMPARE(xyz[3 * 116 + 2], 1000.0f);
}

void TestViews::websOfNoRegion()
{
    KBlade blade;
    // With no regions a web attaches to point 0 at both ends: a degenerate band.
    while (blade.setting()->count())
        blade.setting()->RemoveSon(0);
    const std::vector<quint32> webs = indicesOf(blade.profiles()->webIndices());
    QCOMPARE(webs.size(), size_t(2 * 3 * 12));
    QCOMPARE(std::vector<quint32>(webs.begin(), webs.begin() + 6), std::vector<quint32>({58, 58, 116, 58, 116, 58}));
}

void TestViews::rendererStates()
{
    KBlade blade;
    QVERIFY(blade.profiles()->pro3D());
    QCOMPARE(indexCount(blade.profiles()->pro3D()), 5 * 58 * 2);
    Capture capture;
    blade.gen3DModel();
    QCOMPARE(capture.outLines(), QStringList({"KBlade - gen3DModel: no FE model, build it first"}));
    QVERIFY(!blade.femEle());
    {
        QuietDebug quiet;
        blade.genFEModel();
    }
    blade.gen3DModel();
    QPointer<Qt3DCore::QComponent> first = blade.femEle();
    QPointer<Qt3DCore::QComponent> firstEdges = blade.femEdge();
    QVERIFY(first && firstEdges);
    // Faces: each element's own corners, coloured by the region or web of
    // their element, and its triangles (two per quadrilateral).
    int corners = 0;
    for (int i = 0; i < blade.feModel()->elements().count(); ++i)
        corners += blade.feModel()->elements().at(i)->cornerCount();
    QCOMPARE(int(attributeOf(first, Qt3DRender::QAttribute::VertexAttribute)->count()), corners);
    QCOMPARE(indexCount(first), 3 * (corners - 2 * blade.feModel()->elements().count()));
    const QVariantList groups = blade.femGroups();
    QCOMPARE(groups.size(), blade.setting()->count() + blade.webs()->count());
    QCOMPARE(groups.front().toMap().value("name").toString(), blade.setting()->sonNames().front());
    QCOMPARE(groups.back().toMap().value("name").toString(), blade.webs()->sonNames().back());
    QVERIFY(groups.front().toMap().value("color") != groups.back().toMap().value("color"));
    // Every region and web shows in its own colour, and only those colours.
    QSet<QRgb> legend, drawn;
    for (const QVariant& g : groups)
        legend.insert(g.toMap().value("color").value<QColor>().rgb());
    const QByteArray vertices = attributeOf(first, Qt3DRender::QAttribute::VertexAttribute)->buffer()->data();
    const float* v = reinterpret_cast<const float*>(vertices.constData());
    for (int i = 0; i < vertices.size() / 36; ++i)
        drawn.insert(QColor::fromRgbF(v[9 * i + 6], v[9 * i + 7], v[9 * i + 8]).rgb());
    QCOMPARE(drawn, legend);
    blade.gen3DModel();
    QPointer<Qt3DCore::QComponent> second = blade.femEle();
    QVERIFY(first && second != first);   // kept until the view has switched
    blade.gen3DModel();
    QVERIFY(!first && !firstEdges);      // a second replacement without clearing drops it
    QVERIFY(second);
    blade.clearOld3DModel();
    QVERIFY(!second && blade.femEle());
    // The edges draw every edge of the model once.
    QCOMPARE(indexCount(blade.femEdge()), 2 * blade.feModel()->edges().count());

    QPointer<Qt3DCore::QComponent> outlines = blade.profiles()->pro3D();
    blade.profiles()->genPro3D();
    QVERIFY(outlines);
    blade.profiles()->clearOldPro3D();
    QVERIFY(!outlines);
}

QTEST_GUILESS_MAIN(TestViews)
#include "tst_views.moc"
