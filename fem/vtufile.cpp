#include "fem/vtufile.h"

#include "core/savefile.h"
#include "fem/model.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>
#include <deque>

namespace Folvane::Vtu {

namespace {

// VTK's cell type numbers.
constexpr quint8 QuadraticTriangle = 22;
constexpr quint8 QuadraticQuad = 23;

QByteArray attribute(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

// One block of the appended data: its byte count, then its bytes.
struct Block
{
    const char* data;
    quint64 bytes;
};

template <typename T>
Block blockOf(const std::vector<T>& values)
{
    return {reinterpret_cast<const char*>(values.data()), quint64(values.size() * sizeof(T))};
}

class AppendedWriter
{
public:
    // The XML element of an array, placed at the next block.
    QByteArray dataArray(const char* tag, const char* type, const QString& name, int components,
                         const QStringList& componentNames, Block block, qint64 tuples = -1)
    {
        QByteArray xml = QByteArray("<") + tag + " type=\"" + type + "\" Name=\"" + attribute(name) + '"';
        if (components > 1)
            xml += " NumberOfComponents=\"" + QByteArray::number(components) + '"';
        for (int c = 0; c < componentNames.size(); ++c)
            xml += " ComponentName" + QByteArray::number(c) + "=\"" + attribute(componentNames[c]) + '"';
        if (tuples >= 0)
            xml += " NumberOfTuples=\"" + QByteArray::number(tuples) + '"';
        xml += " format=\"appended\" offset=\"" + QByteArray::number(m_offset) + "\"/>\n";
        m_blocks.push_back(block);
        m_offset += sizeof(quint64) + block.bytes;
        return xml;
    }
    bool writeBlocks(QIODevice& out) const
    {
        for (const Block& b : m_blocks) {
            const quint64 size = qToLittleEndian(b.bytes);
            if (out.write(reinterpret_cast<const char*>(&size), sizeof size) != qint64(sizeof size))
                return false;
            // Large blocks in pieces: QIODevice takes at most a qint64, and
            // a bounded piece keeps the write buffer small.
            for (quint64 at = 0; at < b.bytes;) {
                const qint64 piece = qint64(std::min<quint64>(b.bytes - at, quint64(1) << 26));
                if (out.write(b.data + at, piece) != piece)
                    return false;
                at += quint64(piece);
            }
        }
        return true;
    }

private:
    std::vector<Block> m_blocks;
    quint64 m_offset = 0;
};

QByteArray dataArray(AppendedWriter& writer, const DataArray& a)
{
    return a.ints.empty() ? writer.dataArray("DataArray", "Float32", a.name, a.components, a.componentNames,
                                             blockOf(a.floats))
                          : writer.dataArray("DataArray", "Int32", a.name, a.components, a.componentNames,
                                             blockOf(a.ints));
}

bool fits(const std::vector<DataArray>& arrays, qint64 tuples, const char* where, QString& error)
{
    for (const DataArray& a : arrays) {
        const size_t values = a.ints.empty() ? a.floats.size() : a.ints.size();
        if (a.components < 1 || (!a.ints.empty() && !a.floats.empty()) || qint64(values) != tuples * a.components) {
            error = QStringLiteral("the %1 array %2 has %3 values for %4 tuples of %5")
                        .arg(QLatin1String(where), a.name)
                        .arg(values)
                        .arg(tuples)
                        .arg(a.components);
            return false;
        }
    }
    return true;
}

} // namespace

bool writeVtu(const Model& model, const Dataset& data, const QString& path, QString& error)
{
    if (QSysInfo::ByteOrder != QSysInfo::LittleEndian) {
        error = QStringLiteral("VTK files are written on little-endian machines only");
        return false;
    }
    const NodeList& nodes = model.nodes();
    const EdgeList& edges = model.edges();
    const ElementList& elements = model.elements();
    const qint64 pointCount = qint64(nodes.count()) + edges.count();
    const qint64 cellCount = elements.count();
    if (!fits(data.pointData, pointCount, "point", error) || !fits(data.cellData, cellCount, "cell", error))
        return false;

    std::vector<float> points(size_t(pointCount) * 3);
    auto place = [&](const Node* n) {
        float* p = points.data() + 3 * n->id();
        p[0] = float(n->x());
        p[1] = float(n->y());
        p[2] = float(n->z());
    };
    for (int i = 0; i < nodes.count(); ++i)
        place(nodes.at(i));
    for (int i = 0; i < edges.count(); ++i)
        place(edges.at(i)->middle());

    std::vector<qint32> connectivity, offsets{};
    offsets.resize(size_t(cellCount));
    std::vector<quint8> types;
    types.resize(size_t(cellCount));
    connectivity.reserve(size_t(cellCount) * 8);
    for (int i = 0; i < elements.count(); ++i) {
        const Element* e = elements.at(i);
        const int corners = e->cornerCount();
        for (int k = 0; k < corners; ++k)
            connectivity.push_back(qint32(e->node(k)->id()));
        for (int k = 0; k < corners; ++k)
            connectivity.push_back(qint32(e->edge(k)->middle()->id()));
        offsets[size_t(i)] = qint32(connectivity.size());
        types[size_t(i)] = corners == 4 ? QuadraticQuad : QuadraticTriangle;
    }

    AppendedWriter blocks;
    std::deque<QByteArray> strings;  // the blocks point into them
    QByteArray xml = "<?xml version=\"1.0\"?>\n"
                     "<VTKFile type=\"UnstructuredGrid\" version=\"1.0\" byte_order=\"LittleEndian\" "
                     "header_type=\"UInt64\">\n<UnstructuredGrid>\n";
    if (!data.fieldData.empty()) {
        xml += "<FieldData>\n";
        for (const FieldArray& f : data.fieldData) {
            if (f.strings.isEmpty()) {
                xml += blocks.dataArray("DataArray", "Float64", f.name, 1, {}, blockOf(f.numbers),
                                        qint64(f.numbers.size()));
            } else {
                // VTK's string arrays: every string ends in a zero byte.
                QByteArray& joined = strings.emplace_back();
                for (const QString& s : f.strings)
                    joined += s.toUtf8() + '\0';
                xml += blocks.dataArray("Array", "String", f.name, 1, {}, {joined.constData(), quint64(joined.size())},
                                        f.strings.size());
            }
        }
        xml += "</FieldData>\n";
    }
    xml += "<Piece NumberOfPoints=\"" + QByteArray::number(pointCount) + "\" NumberOfCells=\""
        + QByteArray::number(cellCount) + "\">\n<PointData>\n";
    for (const DataArray& a : data.pointData)
        xml += dataArray(blocks, a);
    xml += "</PointData>\n<CellData>\n";
    for (const DataArray& a : data.cellData)
        xml += dataArray(blocks, a);
    xml += "</CellData>\n<Points>\n";
    xml += blocks.dataArray("DataArray", "Float32", QStringLiteral("Points"), 3, {}, blockOf(points));
    xml += "</Points>\n<Cells>\n";
    xml += blocks.dataArray("DataArray", "Int32", QStringLiteral("connectivity"), 1, {}, blockOf(connectivity));
    xml += blocks.dataArray("DataArray", "Int32", QStringLiteral("offsets"), 1, {}, blockOf(offsets));
    xml += blocks.dataArray("DataArray", "UInt8", QStringLiteral("types"), 1, {}, blockOf(types));
    xml += "</Cells>\n</Piece>\n</UnstructuredGrid>\n<AppendedData encoding=\"raw\">\n_";

    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(xml) == xml.size() && blocks.writeBlocks(file)
        && file.write("\n</AppendedData>\n</VTKFile>\n") > 0 && commitWhole(file);
    if (!written)
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return written;
}

bool writePvd(const std::vector<CollectionEntry>& entries, const QString& path, QString& error)
{
    QByteArray xml = "<?xml version=\"1.0\"?>\n"
                     "<VTKFile type=\"Collection\" version=\"1.0\" byte_order=\"LittleEndian\">\n<Collection>\n";
    for (const CollectionEntry& e : entries)
        xml += "<DataSet timestep=\"" + QByteArray::number(e.timestep, 'g', 17) + "\" group=\"\" part=\"0\" file=\""
            + attribute(e.file) + "\"/>\n";
    xml += "</Collection>\n</VTKFile>\n";
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(xml) == xml.size() && commitWhole(file);
    if (!written)
        error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return written;
}

} // namespace Folvane::Vtu
