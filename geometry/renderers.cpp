#include "geometry/renderers.h"

#include <Qt3DRender/QAttribute>
#include <Qt3DRender/QBuffer>
#include <Qt3DRender/QGeometry>

namespace Folvane {

Qt3DRender::QAttribute* positionAttribute(const QByteArray& positions, Qt3DCore::QNode* parent)
{
    auto* attribute = new Qt3DRender::QAttribute(parent);
    auto* buffer = new Qt3DRender::QBuffer(attribute);
    buffer->setData(positions);
    attribute->setName(Qt3DRender::QAttribute::defaultPositionAttributeName());
    attribute->setAttributeType(Qt3DRender::QAttribute::VertexAttribute);
    attribute->setVertexBaseType(Qt3DRender::QAttribute::Float);
    attribute->setVertexSize(3);
    attribute->setByteOffset(0);
    attribute->setByteStride(12);
    attribute->setCount(uint(positions.size() / 12));
    attribute->setBuffer(buffer);
    return attribute;
}

// Indices of 32 bits into the geometry's vertices, owned by the geometry.
static void addIndices(Qt3DRender::QGeometry* geometry, const QByteArray& indices)
{
    auto* buffer = new Qt3DRender::QBuffer(geometry);
    buffer->setData(indices);
    auto* index = new Qt3DRender::QAttribute(geometry);
    index->setAttributeType(Qt3DRender::QAttribute::IndexAttribute);
    index->setVertexBaseType(Qt3DRender::QAttribute::UnsignedInt);
    index->setByteStride(4);
    index->setCount(uint(indices.size() / 4));
    index->setBuffer(buffer);
    geometry->addAttribute(index);
}

Qt3DRender::QGeometryRenderer* indexedRenderer(Qt3DRender::QAttribute* positions, const QByteArray& indices,
                                               Qt3DRender::QGeometryRenderer::PrimitiveType type)
{
    auto* renderer = new Qt3DRender::QGeometryRenderer;
    auto* geometry = new Qt3DRender::QGeometry(renderer);
    geometry->addAttribute(positions);
    addIndices(geometry, indices);
    renderer->setGeometry(geometry);
    renderer->setPrimitiveType(type);
    return renderer;
}

Qt3DRender::QGeometryRenderer* shadedTriangles(const QByteArray& vertices, const QByteArray& indices)
{
    auto* renderer = new Qt3DRender::QGeometryRenderer;
    auto* geometry = new Qt3DRender::QGeometry(renderer);
    auto* buffer = new Qt3DRender::QBuffer(geometry);
    buffer->setData(vertices);
    const uint count = uint(vertices.size() / 36);
    const QString names[3] = {Qt3DRender::QAttribute::defaultPositionAttributeName(),
                              Qt3DRender::QAttribute::defaultNormalAttributeName(),
                              Qt3DRender::QAttribute::defaultColorAttributeName()};
    for (uint k = 0; k < 3; ++k) {
        auto* attribute = new Qt3DRender::QAttribute(geometry);
        attribute->setName(names[k]);
        attribute->setAttributeType(Qt3DRender::QAttribute::VertexAttribute);
        attribute->setVertexBaseType(Qt3DRender::QAttribute::Float);
        attribute->setVertexSize(3);
        attribute->setByteOffset(12 * k);
        attribute->setByteStride(36);
        attribute->setCount(count);
        attribute->setBuffer(buffer);
        geometry->addAttribute(attribute);
    }
    addIndices(geometry, indices);
    renderer->setGeometry(geometry);
    renderer->setPrimitiveType(Qt3DRender::QGeometryRenderer::Triangles);
    return renderer;
}

std::vector<Qt3DRender::QGeometryRenderer*> sharedRenderers(
    const QByteArray& positions, const std::vector<std::pair<QByteArray, Qt3DRender::QGeometryRenderer::PrimitiveType>>& parts)
{
    Qt3DRender::QAttribute* attribute = positionAttribute(positions, nullptr);
    std::vector<Qt3DRender::QGeometryRenderer*> renderers;
    for (const auto& [indices, type] : parts)
        renderers.push_back(indexedRenderer(attribute, indices, type));
    if (!renderers.empty())
        attribute->setParent(renderers.front());
    else
        delete attribute;
    return renderers;
}

RendererPair::~RendererPair()
{
    clearPrevious();
    delete m_current.data();
}

void RendererPair::replace(Qt3DRender::QGeometryRenderer* renderer)
{
    clearPrevious();
    m_previous.push_back(m_current);
    m_current = renderer;
}

void RendererPair::clearPrevious()
{
    for (const QPointer<Qt3DRender::QGeometryRenderer>& r : m_previous)
        delete r.data();
    m_previous.clear();
}

std::vector<Qt3DRender::QGeometryRenderer*> RendererPair::release()
{
    std::vector<Qt3DRender::QGeometryRenderer*> renderers;
    for (const QPointer<Qt3DRender::QGeometryRenderer>& r : m_previous) {
        if (r)
            renderers.push_back(r.data());
    }
    if (m_current)
        renderers.push_back(m_current.data());
    m_previous.clear();
    m_current = nullptr;
    return renderers;
}

void RendererPair::keepAside(const std::vector<Qt3DRender::QGeometryRenderer*>& renderers)
{
    m_previous.insert(m_previous.end(), renderers.begin(), renderers.end());
}

} // namespace Folvane
