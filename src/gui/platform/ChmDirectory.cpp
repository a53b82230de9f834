#include "gui/platform/ChmDirectory.h"

#include <QBitArray>
#include <QFile>
#include <QHash>
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

namespace ChmDirectory {

QByteArray foldCase(QByteArray name)
{
    for (char &c : name) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return name;
}

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

// The checks of open() and what they found, kept apart from the archive so that
// nothing half-checked ever reaches it.
class Inspector {
public:
    explicit Inspector(QFile &file)
        : m_file(file)
        , m_size(quint64(file.size()))
    {
    }

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

} // namespace

Result inspect(QFile &file, QList<Entry> *entries)
{
    Inspector inspector(file);
    const Result result = inspector.inspect();
    if (result == Ok)
        *entries = std::move(inspector.entries);
    return result;
}

} // namespace ChmDirectory
