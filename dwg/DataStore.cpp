// The drawing's data store: a header, a segment index, a data index, and the data segments whose directories name the
// entity of every record.
#include "dwg/DataStore.h"

#include <algorithm>
#include <string_view>

namespace dwg {

namespace {

constexpr std::uint64_t segmentHeaderSize = 48;
constexpr std::uint64_t segmentIndexEntrySize = 12; // offset (8), size (4)
constexpr std::uint64_t dataIndexEntrySize = 12;    // segment, offset of the directory entry, schema
constexpr std::uint64_t directoryEntrySize = 20;    // its size (20), a count, the handle (8), the record's offset
constexpr std::uint16_t segmentSignature = 0xD5AC;

constexpr std::string_view modelerSignatures[] = {"ACIS BinaryFile", "ASM BinaryFile"};

// Little-endian numbers at checked places; a read outside the section gives `ok` false and zero.
class StoreBytes
{
public:
    explicit StoreBytes(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::uint64_t size() const { return m_bytes.size(); }
    bool ok() const { return m_ok; }

    std::uint64_t number(std::uint64_t at, unsigned width)
    {
        if (at > m_bytes.size() || width > m_bytes.size() - at) {
            m_ok = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (unsigned i = 0; i < width; ++i) {
            value |= std::uint64_t{m_bytes[static_cast<std::size_t>(at + i)]} << (8 * i);
        }
        return value;
    }
    std::string_view text(std::uint64_t at, std::uint64_t length) const
    {
        if (at > m_bytes.size() || length > m_bytes.size() - at) {
            return {};
        }
        return {reinterpret_cast<const char*>(m_bytes.data() + at), static_cast<std::size_t>(length)};
    }

private:
    std::span<const std::uint8_t> m_bytes;
    bool m_ok = true;
};

struct Segment
{
    std::uint64_t start = 0;
    std::uint64_t end = 0;
};

// A segment by its place in the segment index, when it carries the signature and `name`.
bool findSegment(StoreBytes& store, std::uint64_t indexAt, std::uint64_t index, std::string_view name, Segment& out)
{
    const std::uint64_t at = indexAt + segmentHeaderSize + index * segmentIndexEntrySize;
    out.start = store.number(at, 8);
    const std::uint64_t size = store.number(at + 8, 4);
    if (!store.ok() || store.number(out.start, 2) != segmentSignature || store.text(out.start + 2, 6) != name) {
        return false;
    }
    out.end = out.start + std::min(size, store.size() - out.start);
    return true;
}

bool isModelerData(std::string_view bytes)
{
    return std::any_of(std::begin(modelerSignatures), std::end(modelerSignatures),
                       [bytes](std::string_view signature) { return bytes.starts_with(signature); });
}

} // namespace

DataStoreContents readDataStore(std::span<const std::uint8_t> section)
{
    DataStoreContents result;
    if (section.empty()) {
        return result;
    }
    StoreBytes store(section);
    const std::uint64_t indexAt = store.number(0x18, 4);
    const std::uint64_t segments = store.number(0x20, 4);
    const std::uint64_t dataIndex = store.number(0x28, 4);
    Segment index;
    if (!store.ok() || indexAt > store.size() || segments > (store.size() - indexAt) / segmentIndexEntrySize ||
        dataIndex >= segments || !findSegment(store, indexAt, dataIndex, "datidx", index)) {
        result.damaged = true;
        return result;
    }
    const std::uint64_t entries = store.number(index.start + segmentHeaderSize, 4);
    const std::uint64_t firstEntry = index.start + segmentHeaderSize + 8;
    if (!store.ok() || firstEntry > index.end || entries > (index.end - firstEntry) / dataIndexEntrySize) {
        result.damaged = true;
        return result;
    }
    // Sound records do not overlap: together they hold no more than the section.
    std::uint64_t budget = store.size();
    for (std::uint64_t i = 0; i < entries; ++i) {
        StoreBytes in(section); // a damaged entry does not stop the others
        const std::uint64_t at = firstEntry + i * dataIndexEntrySize;
        const std::uint64_t segmentIndex = in.number(at, 4);
        const std::uint64_t local = in.number(at + 4, 4);
        if (segmentIndex == 0) {
            continue; // an unused entry
        }
        Segment data;
        if (segmentIndex < segments && findSegment(in, indexAt, segmentIndex, "blob01", data)) {
            continue; // a large record, in segments of its own that this reader does not decode: left out
        }
        if (segmentIndex >= segments || !findSegment(in, indexAt, segmentIndex, "_data_", data) ||
            segmentHeaderSize + local + directoryEntrySize > data.end - data.start) {
            result.damaged = true;
            continue;
        }
        const std::uint64_t entry = data.start + segmentHeaderSize + local;
        const std::uint64_t handle = in.number(entry + 8, 8);
        const std::uint64_t recordAt = data.start + in.number(data.start + 36, 4) * 16 + in.number(entry + 16, 4);
        const std::uint64_t size = in.number(recordAt, 4);
        if (!in.ok() || in.number(entry, 4) != directoryEntrySize || recordAt + 4 > data.end ||
            size > data.end - recordAt - 4 || size > budget) {
            result.damaged = true;
            continue;
        }
        const std::string_view bytes = in.text(recordAt + 4, size);
        if (!isModelerData(bytes)) {
            continue;
        }
        budget -= size;
        result.records.push_back(DataStoreRecord{handle, std::string(bytes)});
    }
    std::stable_sort(result.records.begin(), result.records.end(),
                     [](const DataStoreRecord& a, const DataStoreRecord& b) { return a.handle < b.handle; });
    const auto duplicate =
        std::unique(result.records.begin(), result.records.end(),
                    [](const DataStoreRecord& a, const DataStoreRecord& b) { return a.handle == b.handle; });
    result.damaged = result.damaged || duplicate != result.records.end();
    result.records.erase(duplicate, result.records.end());
    return result;
}

} // namespace dwg
