#ifndef FOLVANE_RENDERERS_H
#define FOLVANE_RENDERERS_H

#include <QByteArray>
#include <QPointer>
#include <vector>
#include <Qt3DRender/QGeometryRenderer>

namespace Qt3DRender {
class QAttribute;
}

namespace Folvane {

// A position attribute (with its buffer) over packed x, y, z floats, 12
// bytes a vertex, under Qt 3D's default position name, owned by parent.
Qt3DRender::QAttribute* positionAttribute(const QByteArray& positions, Qt3DCore::QNode* parent);

// A renderer of one geometry: the given position attribute and an index
// buffer of 32-bit unsigned integers, drawn as lines or triangles. It is
// made without parent: a 3D scene adopts it, the owner deletes it.
Qt3DRender::QGeometryRenderer* indexedRenderer(Qt3DRender::QAttribute* positions, const QByteArray& indices,
                                               Qt3DRender::QGeometryRenderer::PrimitiveType type);

// The renderers a view shows now and those it showed before, which stay
// alive until the view has switched over. A renderer a scene has deleted
// is simply forgotten.
class RendererPair
{
public:
    ~RendererPair();
    Qt3DRender::QGeometryRenderer* current() const { return m_current; }
    // The new renderer becomes current; the current one is kept aside,
    // deleting whatever was kept aside before and never cleared.
    void replace(Qt3DRender::QGeometryRenderer* renderer);
    void clearPrevious();
    // Hands every renderer over (those kept aside first, then the current
    // one) and forgets them.
    std::vector<Qt3DRender::QGeometryRenderer*> release();
    // Keeps another pair's renderers aside too, until clearPrevious.
    void keepAside(const std::vector<Qt3DRender::QGeometryRenderer*>& renderers);

private:
    QPointer<Qt3DRender::QGeometryRenderer> m_current;
    std::vector<QPointer<Qt3DRender::QGeometryRenderer>> m_previous;
};

// A renderer of indexed triangles, each vertex 9 floats: position, normal
// and colour (so faces can be lit and coloured one by one).
Qt3DRender::QGeometryRenderer* shadedTriangles(const QByteArray& vertices, const QByteArray& indices);

// Renderers over one shared set of positions: the first owns them.
std::vector<Qt3DRender::QGeometryRenderer*> sharedRenderers(
    const QByteArray& positions, const std::vector<std::pair<QByteArray, Qt3DRender::QGeometryRenderer::PrimitiveType>>& parts);

} // namespace Folvane

#endif
