#include "word97/WordShapes.h"

#include "app/Failure.h"
#include "word97/WordFile.h"

#include <QHash>

#include <optional>

namespace lumarel {

using namespace wordfile;

namespace {

constexpr int kFspaSize = 26;
constexpr int kFspaFlagsOffset = 20;
constexpr quint16 kFspaBelowText = 0x4000;

constexpr quint16 kDgContainer = 0xF002;
constexpr quint16 kSpContainer = 0xF004;
constexpr quint16 kFsp = 0xF00A;
constexpr quint16 kFopt = 0xF00B;
constexpr quint16 kTertiaryFopt = 0xF122;
constexpr int kRecordHeaderSize = 8;
// Groups nest containers; a file that nests deeper than this is damaged, not a flyer.
constexpr int kMaxDepth = 32;

enum PropertyId : quint16
{
    kDxTextLeft = 0x0081,
    kDyTextTop = 0x0082,
    kDxTextRight = 0x0083,
    kDyTextBottom = 0x0084,
    kTextFlow = 0x0088,
    kFillColor = 0x0181,
    kFillBooleans = 0x01BF,
    kLineColor = 0x01C0,
    kLineWidth = 0x01CB,
    kLineBooleans = 0x01FF,
    kDxWrapDistLeft = 0x0384,
    kDyWrapDistTop = 0x0385,
    kDxWrapDistRight = 0x0386,
    kDyWrapDistBottom = 0x0387,
    kPosRelH = 0x0390,
    kPosRelV = 0x0392,
    kGroupBooleans = 0x03BF,
};

using Properties = QHash<quint16, quint32>;

ShapeRelation relation(quint32 value)
{
    switch (value) {
    case 0:
        return ShapeRelation::Margin;
    case 1:
        return ShapeRelation::Page;
    default:
        return ShapeRelation::Text;
    }
}

// OfficeArt colours are 0x00BBGGRR.
quint32 rgb(quint32 colour)
{
    return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

// A flag of a boolean property set: its own bit counts when its "use" bit says so, or when the
// writer set no "use" bits at all, as older writers did.
bool flag(const Properties& properties, quint16 id, int bit, bool fallback)
{
    const auto it = properties.constFind(id);
    if (it == properties.cend())
        return fallback;
    const quint32 value = *it;
    if ((value >> (bit + 16) & 1) || (value >> 16) == 0)
        return value >> bit & 1;
    return fallback;
}

// The simple properties of each shape of the main text's drawing, by shape id.
class DrawingReader
{
public:
    explicit DrawingReader(const Bytes& bytes) : m_bytes(bytes) {}

    QHash<quint32, Properties> read()
    {
        // The drawing group's container, then each drawing after a byte that names its story.
        qint64 offset = skipRecord(0);
        while (offset < m_bytes.size()) {
            const bool mainText = m_bytes.u8(offset) == 0;
            ++offset;
            const qint64 end = skipRecord(offset);
            if (mainText && m_bytes.u16(offset + 2) == kDgContainer)
                walk(offset + kRecordHeaderSize, end, 0);
            offset = end;
        }
        return m_shapes;
    }

private:
    // The end of the record at offset, checked to lie inside the bytes.
    qint64 skipRecord(qint64 offset) const
    {
        const qint64 length = m_bytes.u32(offset + 4);
        m_bytes.require(offset + kRecordHeaderSize, length);
        return offset + kRecordHeaderSize + length;
    }

    void walk(qint64 offset, qint64 end, int depth)
    {
        if (depth > kMaxDepth)
            throw Damage{QStringLiteral("its drawing nests too deep")};
        while (offset < end) {
            const quint16 versionAndInstance = m_bytes.u16(offset);
            const quint16 type = m_bytes.u16(offset + 2);
            const qint64 next = skipRecord(offset);
            if (next > end)
                throw Damage{QStringLiteral("a record of its drawing is cut short")};
            const qint64 body = offset + kRecordHeaderSize;
            if (type == kSpContainer)
                readShape(body, next);
            else if ((versionAndInstance & 0xF) == 0xF)
                walk(body, next, depth + 1);
            offset = next;
        }
    }

    void readShape(qint64 offset, qint64 end)
    {
        std::optional<quint32> id;
        Properties properties;
        while (offset < end) {
            const quint16 versionAndInstance = m_bytes.u16(offset);
            const quint16 type = m_bytes.u16(offset + 2);
            const qint64 next = skipRecord(offset);
            if (next > end)
                throw Damage{QStringLiteral("a shape of its drawing is cut short")};
            const qint64 body = offset + kRecordHeaderSize;
            if (type == kFsp) {
                if (next - body < 4)
                    throw Damage{QStringLiteral("a shape of its drawing has no id")};
                id = m_bytes.u32(body);
            } else if (type == kFopt || type == kTertiaryFopt) {
                const int count = versionAndInstance >> 4;
                if (6 * qint64(count) > next - body)
                    throw Damage{QStringLiteral("the properties of a shape are cut short")};
                for (int i = 0; i < count; ++i) {
                    const quint16 property = m_bytes.u16(body + 6 * i);
                    if (!(property & 0x8000)) // complex values are not needed here
                        properties.insert(property & 0x3FFF, m_bytes.u32(body + 6 * i + 2));
                }
            }
            offset = next;
        }
        if (id && !m_shapes.contains(*id))
            m_shapes.insert(*id, properties);
    }

    const Bytes& m_bytes;
    QHash<quint32, Properties> m_shapes;
};

QList<WordShape> readShapes(const QString& path)
{
    const WordFile file = openWordFile(path);
    const Bytes anchors = tablePart(file, kPlcSpaMom, QStringLiteral("shape anchor table"));
    const Bytes drawing = tablePart(file, kDggInfo, QStringLiteral("drawing"));
    const Bytes boxTable = tablePart(file, kPlcftxbxTxt, QStringLiteral("text box table"));

    const Plc plc(anchors, kFspaSize, QStringLiteral("shape anchor table"));
    const QHash<quint32, Properties> drawn =
        drawing.size() > 0 ? DrawingReader(drawing).read() : QHash<quint32, Properties>();
    QHash<quint32, int> boxOfShape;
    for (const TextBoxRange& box : readTextBoxes(boxTable))
        if (box.index >= 0)
            boxOfShape.insert(box.shapeId, box.index);

    QList<WordShape> shapes;
    for (int i = 0; i < plc.count(); ++i) {
        const qint64 at = plc.dataOffset(i);
        WordShape shape;
        shape.id = anchors.u32(at);
        shape.left = qint32(anchors.u32(at + 4));
        shape.top = qint32(anchors.u32(at + 8));
        shape.right = qint32(anchors.u32(at + 12));
        shape.bottom = qint32(anchors.u32(at + 16));
        const quint16 flags = anchors.u16(at + kFspaFlagsOffset);
        const Properties properties = drawn.value(shape.id);
        shape.horizontalTo = relation(properties.value(kPosRelH, flags >> 1 & 3));
        shape.verticalTo = relation(properties.value(kPosRelV, flags >> 3 & 3));
        shape.behindText = flag(properties, kGroupBooleans, 5, flags & kFspaBelowText);
        shape.textBox = boxOfShape.value(shape.id, -1);
        shape.textLeft = qint32(properties.value(kDxTextLeft, shape.textLeft));
        shape.textTop = qint32(properties.value(kDyTextTop, shape.textTop));
        shape.textRight = qint32(properties.value(kDxTextRight, shape.textRight));
        shape.textBottom = qint32(properties.value(kDyTextBottom, shape.textBottom));
        shape.wrapLeft = qint32(properties.value(kDxWrapDistLeft, shape.wrapLeft));
        shape.wrapTop = qint32(properties.value(kDyWrapDistTop, shape.wrapTop));
        shape.wrapRight = qint32(properties.value(kDxWrapDistRight, shape.wrapRight));
        shape.wrapBottom = qint32(properties.value(kDyWrapDistBottom, shape.wrapBottom));
        shape.textFlow = int(properties.value(kTextFlow, shape.textFlow));
        shape.filled = flag(properties, kFillBooleans, 4, shape.filled);
        shape.fillColor = rgb(properties.value(kFillColor, 0xFFFFFF));
        shape.line = flag(properties, kLineBooleans, 3, shape.line);
        shape.lineColor = rgb(properties.value(kLineColor, 0));
        shape.lineWidth = qint32(properties.value(kLineWidth, shape.lineWidth));
        shapes << shape;
    }
    return shapes;
}

} // namespace

QList<WordShape> readWordShapes(const QString& path)
{
    return readOrFail(QStringLiteral("shapes"), path, readShapes);
}

} // namespace lumarel
