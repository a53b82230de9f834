#include "platform/ChmArchive.h"

#include <QBitArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <chm_lib.h>
#include <cstring>
#include <limits>
#include <unordered_map>

// How a compiled help file is laid out, as far as this reader needs it (all
// numbers little-endian):
//
//   file header "ITSF" (0x60 bytes read): version, header length, the directory's
//     offset and length, and (version 3) the offset of the data section;
//   directory header "ITSP" (0x54 bytes) at the directory's offset: the chunk
//     size, the root and first leaf chunk, the number of chunks;
//   directory chunks after it: leaves "PMGL" list the entries (name, space,
//     start, length, as variable-length numbers), linked first to last;
//     index chunks "PMGI" map names to chunks below them;
//   the data section: space 0 holds stored objects, space 1 is one compressed
//     stream described by a control record and a reset table.
//
// The help library trusts every one of these numbers: a chunk that points to
// itself makes it loop for ever, a bad length makes it read or write past its
// buffers, a zero in the control record makes it divide by zero. So open() walks
// the same structures first, with every offset, length and link checked against
// the file, and hands the file to the library only when they all hold.

namespace {

constexpr qint64 kItsfLength = 0x60;
constexpr qint64 kItspLength = 0x54;
constexpr qint64 kPmglHeaderLength = 0x14;
constexpr qint64 kPmgiHeaderLength = 0x08;
constexpr quint32 kMinChunkLength = 64;
constexpr quint32 kMaxChunkLength = 1u << 20;
constexpr quint64 kMaxNameLength = CHM_MAX_PATHLEN;
constexpr quint64 kLzxFrameLength = 0x8000;
constexpr quint64 kMaxCompressedFrame = kLzxFrameLength + 6144;
constexpr quint64 kMaxControlDataLength = 256;
constexpr quint64 kMaxObjectLength = 256ull << 20;

// Where the compressed stream keeps its parts: "::DataSpace/Storage/", the
// stream's name, then one of these.
const char kStoragePrefix[] = "::DataSpace/Storage/";
const char kControlDataPart[] = "ControlData";
const char kContentPart[] = "Content";
const char kResetTablePart[] =
    "Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";

quint32 u32At(const QByteArray &data, qint64 offset)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data.constData()) + offset;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

qint32 i32At(const QByteArray &data, qint64 offset)
{
    return static_cast<qint32>(u32At(data, offset));
}

quint64 u64At(const QByteArray &data, qint64 offset)
{
    return quint64(u32At(data, offset)) | quint64(u32At(data, offset + 4)) << 32;
}

// a + b <= limit, without overflowing.
bool fitsWithin(quint64 a, quint64 b, quint64 limit)
{
    return a <= limit && b <= limit - a;
}

// ASCII letter case folded, as the help library compares names.
QByteArray foldCase(QByteArray name)
{
    for (char &c : name) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return name;
}

int compareFolded(const QByteArray &a, const QByteArray &b)
{
    const QByteArray fa = foldCase(a);
    const QByteArray fb = foldCase(b);
    const int n = std::min(fa.size(), fb.size());
    const int c = n > 0 ? std::memcmp(fa.constData(), fb.constData(), size_t(n)) : 0;
    if (c != 0)
        return c;
    return fa.size() < fb.size() ? -1 : (fa.size() > fb.size() ? 1 : 0);
}

// Reads the variable-length numbers and names of one directory chunk, never
// past its end.
class ChunkReader {
public:
    ChunkReader(const QByteArray &chunk, qint64 begin, qint64 end)
        : m_chunk(chunk)
        , m_pos(begin)
        , m_end(end)
    {
    }

    bool atEnd() const { return m_pos >= m_end; }

    bool number(quint64 *value)
    {
        quint64 accumulated = 0;
        for (int count = 0; count < 10; ++count) {
            if (m_pos >= m_end)
                return false;
            const auto byte = static_cast<unsigned char>(m_chunk.at(m_pos++));
            if (accumulated > (std::numeric_limits<quint64>::max() >> 7))
                return false;
            accumulated = (accumulated << 7) | (byte & 0x7f);
            if (byte < 0x80) {
                *value = accumulated;
                return true;
            }
        }
        return false;
    }

    bool name(QByteArray *value)
    {
        quint64 length = 0;
        if (!number(&length) || length == 0 || length > kMaxNameLength ||
            length > quint64(m_end - m_pos))
            return false;
        *value = m_chunk.mid(m_pos, qsizetype(length));
        m_pos += qint64(length);
        return !value->contains('\0');
    }

private:
    const QByteArray &m_chunk;
    qint64 m_pos;
    qint64 m_end;
};

struct Entry {
    QByteArray name; // as stored, with the leading "/"
    quint64 space = 0;
    quint64 start = 0;
    quint64 length = 0;
    bool readable = false;
};

struct IndexEntry {
    QByteArray name;
    quint64 chunk = 0;
};

struct Chunk {
    enum Kind { Other, Leaf, Index } kind = Other;
    qint32 next = -1;
    QList<Entry> entries;
    QList<IndexEntry> children;
};

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

QString cString(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    return decodeText(end < 0 ? bytes : bytes.left(end)).trimmed();
}

bool isPageName(const QString &path)
{
    return path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive);
}

} // namespace

struct ChmArchive::Private {
    chmFile *handle = nullptr;
    QList<Entry> entries;          // in directory order
    QHash<QByteArray, int> byName; // folded name -> index into entries
    QString defaultTopic;
    QString title;
    QList<ChmTopic> contents;

    ~Private()
    {
        if (handle)
            chm_close(handle);
    }

    // The readable file at a path inside the archive, or null.
    const Entry *file(const QString &path) const;
};

namespace {

// The checks of open() and what they found, kept apart from the archive so that
// nothing half-checked ever reaches it.
class Inspector {
public:
    explicit Inspector(QFile &file)
        : m_file(file)
        , m_size(quint64(file.size()))
    {
    }

    enum Result { Ok, NotHelpFile, Damaged, Truncated, ReadFailed };

    Result inspect()
    {
        if (m_size < quint64(kItsfLength))
            return m_size >= 4 && startsWithSignature() ? Truncated : NotHelpFile;
        QByteArray header;
        if (!readAt(0, kItsfLength, &header))
            return ReadFailed;
        if (!header.startsWith("ITSF"))
            return NotHelpFile;

        const qint32 version = i32At(header, 4);
        const qint32 headerLength = i32At(header, 8);
        const quint64 directoryOffset = u64At(header, 0x48);
        const quint64 directoryLength = u64At(header, 0x50);
        if (version == 2 && headerLength >= 0x58) {
            if (!fitsWithin(directoryOffset, directoryLength, std::numeric_limits<quint64>::max()))
                return Damaged;
            m_dataOffset = directoryOffset + directoryLength;
        } else if (version == 3 && headerLength >= 0x60) {
            m_dataOffset = u64At(header, 0x58);
        } else {
            return NotHelpFile;
        }

        if (!fitsWithin(directoryOffset, kItspLength, m_size))
            return Truncated;
        QByteArray itsp;
        if (!readAt(directoryOffset, kItspLength, &itsp))
            return ReadFailed;
        if (!itsp.startsWith("ITSP") || i32At(itsp, 4) != 1 || i32At(itsp, 8) != kItspLength)
            return Damaged;
        m_chunkLength = u32At(itsp, 0x10);
        const qint32 root = i32At(itsp, 0x1c);
        const qint32 head = i32At(itsp, 0x20);
        m_chunkCount = u32At(itsp, 0x2c);
        m_chunksOffset = directoryOffset + quint64(kItspLength);
        if (m_chunkLength < kMinChunkLength || m_chunkLength > kMaxChunkLength ||
            m_chunkCount == 0 || m_chunkCount > quint32(std::numeric_limits<qint32>::max()))
            return Damaged;
        if (m_chunkCount > m_size / m_chunkLength ||
            !fitsWithin(m_chunksOffset, quint64(m_chunkCount) * m_chunkLength, m_size))
            return Truncated;
        if (head < 0 || quint32(head) >= m_chunkCount || root < -1 ||
            (root >= 0 && quint32(root) >= m_chunkCount))
            return Damaged;

        Result result = walkLeaves(head);
        if (result != Ok)
            return result;
        result = walkIndex(root >= 0 ? root : head);
        if (result != Ok)
            return result;
        m_root = root >= 0 ? root : head;
        return checkCompression();
    }

    QList<Entry> entries;

private:
    bool startsWithSignature()
    {
        QByteArray start;
        return readAt(0, 4, &start) && start == "ITSF";
    }

    bool readAt(quint64 offset, qint64 length, QByteArray *out)
    {
        if (!fitsWithin(offset, quint64(length), m_size) || !m_file.seek(qint64(offset)))
            return false;
        *out = m_file.read(length);
        return out->size() == length;
    }

    // Loads and checks one directory chunk once.
    Result chunk(quint32 number, const Chunk **out)
    {
        if (number >= m_chunkCount)
            return Damaged;
        const auto [it, added] = m_chunks.try_emplace(number);
        Chunk &c = it->second;
        *out = &c;
        if (!added)
            return Ok;

        QByteArray data;
        if (!readAt(m_chunksOffset + quint64(number) * m_chunkLength, m_chunkLength, &data))
            return ReadFailed;
        if (data.startsWith("PMGL")) {
            c.kind = Chunk::Leaf;
            const quint32 freeSpace = u32At(data, 4);
            if (freeSpace > m_chunkLength - kPmglHeaderLength)
                return Damaged;
            c.next = i32At(data, 0x10);
            ChunkReader reader(data, kPmglHeaderLength, m_chunkLength - freeSpace);
            while (!reader.atEnd()) {
                Entry e;
                if (!reader.name(&e.name) || !reader.number(&e.space) || !reader.number(&e.start) ||
                    !reader.number(&e.length) || e.space > 1)
                    return Damaged;
                c.entries.append(e);
            }
        } else if (data.startsWith("PMGI")) {
            c.kind = Chunk::Index;
            const quint32 freeSpace = u32At(data, 4);
            if (freeSpace > m_chunkLength - kPmgiHeaderLength)
                return Damaged;
            ChunkReader reader(data, kPmgiHeaderLength, m_chunkLength - freeSpace);
            while (!reader.atEnd()) {
                IndexEntry e;
                if (!reader.name(&e.name) || !reader.number(&e.chunk) || e.chunk >= m_chunkCount)
                    return Damaged;
                c.children.append(e);
            }
        } else {
            c.kind = Chunk::Other;
        }
        return Ok;
    }

    // The chain of leaves from the first one: the archive's list of entries.
    Result walkLeaves(qint32 head)
    {
        QBitArray seen{qsizetype(m_chunkCount)};
        qint32 current = head;
        while (current != -1) {
            if (current < 0 || quint32(current) >= m_chunkCount || seen.testBit(current))
                return Damaged;
            seen.setBit(current);
            const Chunk *c = nullptr;
            const Result result = chunk(quint32(current), &c);
            if (result != Ok)
                return result;
            if (c->kind != Chunk::Leaf)
                return Damaged;
            entries.append(c->entries);
            current = c->next;
        }
        return Ok;
    }

    // Every chunk that a name lookup can reach from the root must be a sound leaf
    // or index chunk, and no index chunk may lead back to itself.
    Result walkIndex(qint32 root)
    {
        enum State : char { Unseen, Open, Done };
        QList<char> state(qsizetype(m_chunkCount), Unseen);
        struct Frame {
            quint32 chunk;
            qsizetype nextChild;
        };
        QList<Frame> stack;
        stack.append({quint32(root), 0});
        state[root] = Open;
        while (!stack.isEmpty()) {
            Frame &top = stack.last();
            const Chunk *c = nullptr;
            const Result result = chunk(top.chunk, &c);
            if (result != Ok)
                return result;
            if (c->kind == Chunk::Other)
                return Damaged;
            if (c->kind == Chunk::Leaf || top.nextChild >= c->children.size()) {
                state[top.chunk] = Done;
                stack.removeLast();
                continue;
            }
            const quint32 child = quint32(c->children.at(top.nextChild++).chunk);
            if (state.at(child) == Open)
                return Damaged;
            if (state.at(child) == Unseen) {
                state[child] = Open;
                stack.append({child, 0});
            }
        }
        return Ok;
    }

    // The entry that the help library finds for a name, following its own way
    // through the index: at each index chunk the last child whose name is not
    // greater than the one looked for, then a plain search of the leaf.
    const Entry *resolve(const QByteArray &name)
    {
        qint64 current = m_root;
        for (quint32 steps = 0; current != -1 && steps <= m_chunkCount; ++steps) {
            const Chunk *c = nullptr;
            if (chunk(quint32(current), &c) != Ok)
                return nullptr;
            if (c->kind == Chunk::Leaf) {
                for (const Entry &e : c->entries) {
                    if (compareFolded(e.name, name) == 0)
                        return &e;
                }
                return nullptr;
            }
            if (c->kind != Chunk::Index)
                return nullptr;
            qint64 next = -1;
            for (const IndexEntry &child : c->children) {
                if (compareFolded(child.name, name) > 0)
                    break;
                next = qint64(child.chunk);
            }
            current = next;
        }
        return nullptr;
    }

    bool storedBytes(const Entry &e, quint64 offset, qint64 length, QByteArray *out)
    {
        if (e.space != 0 || quint64(length) > e.length || offset > e.length - quint64(length) ||
            !fitsWithin(m_dataOffset, e.start, m_size))
            return false;
        return fitsWithin(m_dataOffset + e.start, offset, m_size) &&
               readAt(m_dataOffset + e.start + offset, length, out);
    }

    // Mirrors how the help library sets up the compressed space when it opens a
    // file, refusing every value that would make it misbehave.
    Result checkCompression()
    {
        // The library looks for the parts of one compressed stream under a fixed
        // name. Any stream of the directory may be that one, so a file with more
        // than one is refused, and the parts of the single one are checked.
        QHash<QByteArray, QByteArray> streams; // folded name -> name
        for (const auto &[number, c] : m_chunks) {
            for (const Entry &e : c.entries) {
                const QByteArray folded = foldCase(e.name);
                if (!folded.startsWith(foldCase(kStoragePrefix)))
                    continue;
                const qsizetype nameStart = qsizetype(sizeof(kStoragePrefix) - 1);
                const qsizetype slash = folded.indexOf('/', nameStart);
                if (slash < 0)
                    continue;
                const QByteArray part = folded.mid(slash + 1);
                if (part == foldCase(kControlDataPart) || part == foldCase(kContentPart) ||
                    part == foldCase(kResetTablePart))
                    streams.insert(folded.mid(nameStart, slash - nameStart),
                                   e.name.mid(nameStart, slash - nameStart));
            }
        }
        if (streams.size() > 1)
            return Damaged;
        const QByteArray stream = QByteArray(kStoragePrefix) +
                                  (streams.isEmpty() ? QByteArray() : *streams.begin()) + '/';
        const Entry *resetTable = streams.isEmpty() ? nullptr : resolve(stream + kResetTablePart);
        const Entry *content = streams.isEmpty() ? nullptr : resolve(stream + kContentPart);
        const Entry *control = streams.isEmpty() ? nullptr : resolve(stream + kControlDataPart);

        bool compressed = resetTable && content && control && resetTable->space == 0 &&
                          content->space == 0 && control->space == 0;
        QByteArray table;
        if (compressed)
            compressed = storedBytes(*resetTable, 0, 0x28, &table) && u32At(table, 0) == 2;

        if (compressed) {
            if (control->length > kMaxControlDataLength)
                return Damaged;
            QByteArray controlData;
            if (control->length < 0x18)
                return Damaged;
            if (!storedBytes(*control, 0, qint64(control->length), &controlData))
                return Truncated;
            if (controlData.mid(4, 4) != "LZXC")
                return Damaged;
            const quint32 controlVersion = u32At(controlData, 8);
            quint32 resetInterval = u32At(controlData, 0x0c);
            quint32 windowSize = u32At(controlData, 0x10);
            const quint32 windowsPerReset = u32At(controlData, 0x14);
            if (controlVersion == 2) {
                resetInterval *= 0x8000u; // 32-bit, as the library computes it
                windowSize *= 0x8000u;
            }
            const bool windowOk = windowSize >= (1u << 15) && windowSize <= (1u << 21) &&
                                  (windowSize & (windowSize - 1)) == 0;
            if (!windowOk || resetInterval == 0 || resetInterval % (windowSize / 2) != 0)
                return Damaged;
            const quint32 resetBlocks = resetInterval / (windowSize / 2) * windowsPerReset;
            if (resetBlocks == 0)
                return Damaged;

            const quint32 blockCount = u32At(table, 4);
            const quint32 tableOffset = u32At(table, 0x0c);
            const quint64 uncompressedLength = u64At(table, 0x10);
            const quint64 compressedLength = u64At(table, 0x18);
            const quint64 blockLength = u64At(table, 0x20);
            if (blockLength != kLzxFrameLength || blockCount == 0 ||
                blockCount > resetTable->length / 8)
                return Damaged;
            QByteArray starts;
            if (!storedBytes(*resetTable, tableOffset, qint64(blockCount) * 8, &starts))
                return Damaged;
            quint64 previous = 0;
            for (quint32 i = 0; i < blockCount; ++i) {
                const quint64 start = u64At(starts, qint64(i) * 8);
                if (start < previous || start > compressedLength ||
                    (i > 0 && start - previous > kMaxCompressedFrame))
                    return Damaged;
                previous = start;
            }
            if (compressedLength - previous > kMaxCompressedFrame ||
                compressedLength > content->length ||
                uncompressedLength > quint64(blockCount) * blockLength)
                return Damaged;
            if (!fitsWithin(m_dataOffset, content->start, m_size) ||
                !fitsWithin(m_dataOffset + content->start, compressedLength, m_size))
                return Truncated;
            m_uncompressedLength = uncompressedLength;
        }

        // A stored object that runs past the end of the file means the file was
        // cut short; a compressed one beyond the stream is left unreadable.
        for (Entry &e : entries) {
            if (e.space == 0) {
                e.readable = fitsWithin(m_dataOffset, e.start, m_size) &&
                             fitsWithin(m_dataOffset + e.start, e.length, m_size);
                if (!e.readable && e.length > 0)
                    return Truncated;
            } else {
                e.readable = compressed && fitsWithin(e.start, e.length, m_uncompressedLength);
            }
        }
        return Ok;
    }

    QFile &m_file;
    quint64 m_size;
    quint64 m_dataOffset = 0;
    quint64 m_chunksOffset = 0;
    quint32 m_chunkLength = 0;
    quint32 m_chunkCount = 0;
    qint32 m_root = 0;
    quint64 m_uncompressedLength = 0;
    std::unordered_map<quint32, Chunk> m_chunks; // those read so far; never moved
};

// Sitemap parsing: a forgiving scan for <ul>, </ul>, <object>, <param> and
// </object>, whatever the letter case, quoting and line breaks.

QString decodeEntities(const QString &text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9a-fA-F]+|#[0-9]+|[a-zA-Z]+);"));
    QString out;
    qsizetype last = 0;
    auto it = entity.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        const QString name = m.captured(1);
        QString replacement = m.captured(0);
        if (name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)) {
            bool ok = false;
            const char32_t code = name.mid(2).toUInt(&ok, 16);
            if (ok && code > 0 && code <= 0x10FFFF)
                replacement = QString::fromUcs4(&code, 1);
        } else if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const char32_t code = name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF)
                replacement = QString::fromUcs4(&code, 1);
        } else {
            const QString lower = name.toLower();
            if (lower == QLatin1String("amp"))
                replacement = QStringLiteral("&");
            else if (lower == QLatin1String("lt"))
                replacement = QStringLiteral("<");
            else if (lower == QLatin1String("gt"))
                replacement = QStringLiteral(">");
            else if (lower == QLatin1String("quot"))
                replacement = QStringLiteral("\"");
            else if (lower == QLatin1String("apos"))
                replacement = QStringLiteral("'");
            else if (lower == QLatin1String("nbsp"))
                replacement = QString(QChar(0xa0));
        }
        out += replacement;
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

// The attributes of one tag's text (without "<" and ">").
QHash<QString, QString> attributes(QStringView tag)
{
    QHash<QString, QString> result;
    qsizetype i = 0;
    while (i < tag.size() && !tag.at(i).isSpace())
        ++i; // the tag name
    while (i < tag.size()) {
        while (i < tag.size() && (tag.at(i).isSpace() || tag.at(i) == QLatin1Char('/')))
            ++i;
        const qsizetype nameStart = i;
        while (i < tag.size() && !tag.at(i).isSpace() && tag.at(i) != QLatin1Char('=') &&
               tag.at(i) != QLatin1Char('/'))
            ++i;
        const QString name = tag.mid(nameStart, i - nameStart).toString().toLower();
        while (i < tag.size() && tag.at(i).isSpace())
            ++i;
        QString value;
        if (i < tag.size() && tag.at(i) == QLatin1Char('=')) {
            ++i;
            while (i < tag.size() && tag.at(i).isSpace())
                ++i;
            if (i < tag.size() &&
                (tag.at(i) == QLatin1Char('"') || tag.at(i) == QLatin1Char('\''))) {
                const QChar quote = tag.at(i++);
                const qsizetype valueStart = i;
                while (i < tag.size() && tag.at(i) != quote)
                    ++i;
                value = tag.mid(valueStart, i - valueStart).toString();
                if (i < tag.size())
                    ++i;
            } else {
                const qsizetype valueStart = i;
                while (i < tag.size() && !tag.at(i).isSpace())
                    ++i;
                value = tag.mid(valueStart, i - valueStart).toString();
            }
        }
        if (!name.isEmpty() && !result.contains(name))
            result.insert(name, decodeEntities(value));
        if (i == nameStart)
            ++i; // never stand still
    }
    return result;
}

QString tagName(QStringView tag)
{
    qsizetype end = 0;
    while (end < tag.size() && !tag.at(end).isSpace() && tag.at(end) != QLatin1Char('/'))
        ++end;
    if (end == 0 && tag.startsWith(QLatin1Char('/'))) {
        end = 1;
        while (end < tag.size() && !tag.at(end).isSpace())
            ++end;
    }
    return tag.left(end).toString().toLower();
}

// The ">" that closes a tag opened before `from`, skipping quoted values; with
// an unbalanced quote (no ">" after a quote within a kilobyte), simply the
// next ">", so that a broken file costs no more than one pass.
qsizetype tagEnd(const QString &text, qsizetype from)
{
    const qsizetype limit = std::min(text.size(), from + 1024);
    QChar quote;
    for (qsizetype i = from; i < limit; ++i) {
        const QChar c = text.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('>')) {
            return i;
        }
    }
    return text.indexOf(QLatin1Char('>'), from);
}

struct FlatTopic {
    int depth;
    int parent;
    ChmTopic topic;
};

constexpr int kMaxSitemapDepth = 64;

ChmTopic buildTopic(const QList<FlatTopic> &flat, const QList<QList<int>> &children, int index)
{
    ChmTopic topic = flat.at(index).topic;
    for (int child : children.at(index))
        topic.children.append(buildTopic(flat, children, child));
    return topic;
}

QString pageTitle(const QByteArray &html)
{
    static const QRegularExpression title(QStringLiteral("<title[^>]*>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = title.match(decodeText(html));
    return m.hasMatch() ? decodeEntities(m.captured(1)).simplified() : QString();
}

} // namespace

ChmArchive::ChmArchive() = default;

ChmArchive::~ChmArchive() = default;

bool ChmArchive::open(const QString &path)
{
    close();
    m_fileName = path;
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        m_errorString = QStringLiteral("The file %1 does not exist.").arg(shown);
        return false;
    }
    if (info.isDir()) {
        m_errorString = QStringLiteral("%1 is a folder, not a compiled help file.").arg(shown);
        return false;
    }
    if (!info.isFile()) {
        m_errorString =
            QStringLiteral("%1 is not a regular file, so it cannot be a compiled help file.")
                .arg(shown);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_errorString =
            QStringLiteral("The file %1 could not be read: %2.").arg(shown, file.errorString());
        return false;
    }
    if (file.size() == 0) {
        m_errorString = QStringLiteral("The file %1 is empty.").arg(shown);
        return false;
    }

    Inspector inspector(file);
    switch (inspector.inspect()) {
    case Inspector::Ok:
        break;
    case Inspector::NotHelpFile:
        m_errorString = QStringLiteral("The file %1 is not a compiled help file.").arg(shown);
        return false;
    case Inspector::Damaged:
        m_errorString =
            QStringLiteral("The file %1 is a damaged compiled help file: its inner structure "
                           "is not valid.")
                .arg(shown);
        return false;
    case Inspector::Truncated:
        m_errorString = QStringLiteral("The file %1 is incomplete: it ends before the help it "
                                       "should hold. It may not have been copied completely.")
                            .arg(shown);
        return false;
    case Inspector::ReadFailed:
        m_errorString =
            QStringLiteral("The file %1 could not be read: %2.").arg(shown, file.errorString());
        return false;
    }
    file.close();

    auto d = std::make_unique<Private>();
    d->handle = chm_open(QFile::encodeName(path).constData());
    if (!d->handle) {
        m_errorString =
            QStringLiteral("The file %1 could not be opened as a compiled help file.").arg(shown);
        return false;
    }
    d->entries = std::move(inspector.entries);
    for (int i = 0; i < d->entries.size(); ++i)
        d->byName.insert(foldCase(d->entries.at(i).name), i);
    m_d = std::move(d);

    // #SYSTEM: a version number, then records of a 16-bit code, a 16-bit length
    // and that many bytes. Code 0 names the contents file, 2 the default topic
    // and 3 the title.
    QString contentsFile;
    QString systemTopic;
    if (const auto system = read(QStringLiteral("/#SYSTEM")); system && system->size() >= 4) {
        const QByteArray &s = *system;
        qsizetype pos = 4;
        while (pos + 4 <= s.size()) {
            const auto *p = reinterpret_cast<const unsigned char *>(s.constData()) + pos;
            const int code = p[0] | p[1] << 8;
            const qsizetype length = p[2] | p[3] << 8;
            pos += 4;
            if (length > s.size() - pos)
                break; // a record running past the end: stop reading
            const QString value = cString(s.mid(pos, length));
            pos += length;
            if (code == 0 && contentsFile.isEmpty())
                contentsFile = value;
            else if (code == 2 && systemTopic.isEmpty())
                systemTopic = value;
            else if (code == 3 && m_d->title.isEmpty())
                m_d->title = value;
        }
    }

    std::optional<QByteArray> sitemap;
    if (!contentsFile.isEmpty())
        sitemap = read(contentsFile);
    if (!sitemap) {
        for (const Entry &e : std::as_const(m_d->entries)) {
            if (e.readable && foldCase(e.name).endsWith(".hhc")) {
                sitemap = read(QString::fromUtf8(e.name));
                if (sitemap)
                    break;
            }
        }
    }
    if (sitemap)
        m_d->contents = parseSitemap(*sitemap);

    const QString systemPage = normalizedPath(systemTopic);
    if (!systemPage.isEmpty() && contains(systemPage)) {
        m_d->defaultTopic =
            systemTopic.startsWith(QLatin1Char('/')) ? systemTopic.mid(1) : systemTopic;
    }
    // The first page of the contents, in reading order.
    const QString firstContentsName =
        m_d->contents.isEmpty() ? QString() : m_d->contents.first().name;
    QString firstContentsPage;
    const auto findPage = [this, &firstContentsPage](const QList<ChmTopic> &topics,
                                                     const auto &self) -> void {
        for (const ChmTopic &t : topics) {
            if (!firstContentsPage.isEmpty())
                return;
            if (contains(normalizedPath(t.local)))
                firstContentsPage = t.local.startsWith(QLatin1Char('/')) ? t.local.mid(1) : t.local;
            else
                self(t.children, self);
        }
    };
    findPage(m_d->contents, findPage);
    QString firstPage;
    for (const QString &f : files()) {
        if (isPageName(f) && contains(f)) {
            firstPage = f;
            break;
        }
    }
    if (m_d->defaultTopic.isEmpty())
        m_d->defaultTopic = !firstContentsPage.isEmpty() ? firstContentsPage : firstPage;
    if (m_d->title.isEmpty())
        m_d->title = firstContentsName;
    if (m_d->title.isEmpty() && !firstPage.isEmpty()) {
        const auto html = read(firstPage);
        m_d->title = html ? pageTitle(*html) : QString();
        if (m_d->title.isEmpty())
            m_d->title = QFileInfo(firstPage).completeBaseName();
    }
    m_errorString.clear();
    return true;
}

void ChmArchive::close()
{
    m_d.reset();
    m_fileName.clear();
    m_errorString.clear();
}

bool ChmArchive::isOpen() const
{
    return m_d != nullptr;
}

QString ChmArchive::fileName() const
{
    return m_fileName;
}

QString ChmArchive::errorString() const
{
    return m_errorString;
}

QString ChmArchive::normalizedPath(const QString &path)
{
    QString p = path;
    const qsizetype hash = p.indexOf(QLatin1Char('#'), p.startsWith(QLatin1Char('/')) ? 2 : 1);
    if (hash > 0)
        p.truncate(hash);
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    p = QDir::cleanPath(QLatin1Char('/') + p);
    if (p.startsWith(QLatin1String("/..")) || p == QLatin1String("/"))
        return QString();
    return p.mid(1);
}

const Entry *ChmArchive::Private::file(const QString &path) const
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    p = QDir::cleanPath(QLatin1Char('/') + p);
    if (p == QLatin1String("/") || p.startsWith(QLatin1String("/..")))
        return nullptr;
    const auto it = byName.constFind(foldCase(p.toUtf8()));
    if (it == byName.constEnd())
        return nullptr;
    const Entry *e = &entries.at(it.value());
    return e->readable && !e->name.endsWith('/') ? e : nullptr;
}

std::optional<QByteArray> ChmArchive::read(const QString &path) const
{
    const Entry *e = m_d ? m_d->file(path) : nullptr;
    if (!e || e->length > kMaxObjectLength)
        return std::nullopt;
    if (e->length == 0)
        return QByteArray();

    chmUnitInfo unit{};
    unit.start = e->start;
    unit.length = e->length;
    unit.space = int(e->space);
    std::memcpy(unit.path, e->name.constData(),
                size_t(std::min<qsizetype>(e->name.size(), CHM_MAX_PATHLEN)));
    QByteArray data(qsizetype(e->length), Qt::Uninitialized);
    const LONGINT64 got =
        chm_retrieve_object(m_d->handle, &unit, reinterpret_cast<unsigned char *>(data.data()), 0,
                            LONGINT64(e->length));
    if (got != LONGINT64(e->length))
        return std::nullopt;
    return data;
}

bool ChmArchive::contains(const QString &path) const
{
    return m_d && m_d->file(path);
}

QStringList ChmArchive::files() const
{
    QStringList result;
    if (!m_d)
        return result;
    for (const Entry &e : std::as_const(m_d->entries)) {
        if (!e.name.startsWith('/') || e.name.endsWith('/') || e.name.startsWith("/#") ||
            e.name.startsWith("/$"))
            continue;
        result.append(QString::fromUtf8(e.name.mid(1)));
    }
    return result;
}

QString ChmArchive::defaultTopic() const
{
    return m_d ? m_d->defaultTopic : QString();
}

QString ChmArchive::title() const
{
    return m_d ? m_d->title : QString();
}

QList<ChmTopic> ChmArchive::contents() const
{
    return m_d ? m_d->contents : QList<ChmTopic>();
}

QList<ChmTopic> ChmArchive::parseSitemap(const QByteArray &bytes)
{
    const QString text = decodeText(bytes);
    QList<FlatTopic> flat;
    QList<int> ancestors; // the topics that the next one may sit under, outermost first
    int depth = 0;
    bool inObject = false;
    bool isSitemap = false;
    QString name;
    QString local;

    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype lt = text.indexOf(QLatin1Char('<'), pos);
        if (lt < 0)
            break;
        if (QStringView(text).mid(lt, 4) == QLatin1String("<!--")) {
            const qsizetype end = text.indexOf(QLatin1String("-->"), lt + 4);
            pos = end < 0 ? text.size() : end + 3;
            continue;
        }
        const qsizetype gt = tagEnd(text, lt + 1);
        if (gt < 0)
            break;
        const QStringView tag = QStringView(text).mid(lt + 1, gt - lt - 1).trimmed();
        pos = gt + 1;
        const QString tname = tagName(tag);

        if (tname == QLatin1String("ul")) {
            ++depth;
        } else if (tname == QLatin1String("/ul")) {
            depth = std::max(0, depth - 1);
        } else if (tname == QLatin1String("object")) {
            inObject = true;
            isSitemap = attributes(tag)
                            .value(QStringLiteral("type"))
                            .trimmed()
                            .compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0;
            name.clear();
            local.clear();
        } else if (tname == QLatin1String("param") && inObject) {
            const QHash<QString, QString> a = attributes(tag);
            const QString key = a.value(QStringLiteral("name")).trimmed().toLower();
            const QString value = a.value(QStringLiteral("value")).trimmed();
            if (key == QLatin1String("name") && name.isEmpty())
                name = value;
            else if (key == QLatin1String("local") && local.isEmpty())
                local = value;
        } else if (tname == QLatin1String("/object") && inObject) {
            inObject = false;
            if (isSitemap && (!name.isEmpty() || !local.isEmpty())) {
                const qsizetype sep = local.indexOf(QLatin1String("::"));
                if (sep >= 0)
                    local = local.mid(sep + 2); // "other.chm::/page.htm" -> "/page.htm"
                const int d = std::clamp(depth, 1, kMaxSitemapDepth);
                while (!ancestors.isEmpty() && flat.at(ancestors.last()).depth >= d)
                    ancestors.removeLast();
                const int parent = ancestors.isEmpty() ? -1 : ancestors.last();
                flat.append({d, parent, ChmTopic{name.isEmpty() ? local : name, local, {}}});
                ancestors.append(int(flat.size() - 1));
            }
        }
    }

    QList<QList<int>> children(flat.size());
    QList<int> roots;
    for (int i = 0; i < flat.size(); ++i) {
        if (flat.at(i).parent < 0)
            roots.append(i);
        else
            children[flat.at(i).parent].append(i);
    }
    QList<ChmTopic> result;
    for (int r : roots)
        result.append(buildTopic(flat, children, r));
    return result;
}
