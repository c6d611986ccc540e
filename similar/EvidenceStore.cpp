// What every evidence store does the same way over its rows: a stored record's checksum and decoding, features
// read back or worked out again, and the holders of many tokens asked one by one.
#include "similar/EvidenceStore.h"

#include "similar/EntityBlob.h"
#include "similar/FeatureBlob.h"
#include "similar/Hashing.h"
#include "similar/PropertiesJson.h"

#include <algorithm>
#include <unordered_map>

namespace darv::similar {

std::string packTokens(const std::vector<std::uint64_t>& tokens)
{
    std::string bytes;
    bytes.reserve(tokens.size() * 8);
    for (const std::uint64_t token : tokens)
        for (int shift = 0; shift < 64; shift += 8)
            bytes += static_cast<char>((token >> shift) & 0xFF);
    return bytes;
}

std::vector<std::uint64_t> unpackTokens(const std::string& bytes)
{
    std::vector<std::uint64_t> tokens(bytes.size() / 8);
    for (std::size_t i = 0; i < tokens.size(); ++i)
        for (std::size_t b = 0; b < 8; ++b)
            tokens[i] |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(bytes[i * 8 + b])) << (8 * b);
    return tokens;
}

std::uint64_t recordSum(std::string_view properties, std::string_view entities)
{
    // Never 0, which marks rows from before the checksum.
    const std::uint64_t sum = bytesSum(entities, bytesSum(properties));
    return sum == 0 ? 1 : sum;
}

bool StoredRecord::intact() const
{
    return sum == 0 || recordSum(properties, entities) == sum;
}

std::optional<DrawingFeatures> EvidenceStore::loadFeatures(std::int64_t drawing, std::uint64_t basis,
                                                           const TemplateSet& templates)
{
    const auto stored = tokenBasis(drawing);
    if (!stored)
        return std::nullopt;
    auto record = storedRecord(drawing);
    if (!record)
        return std::nullopt;
    CandidateRecord candidate;
    candidate.row.id = drawing;
    candidate.row.tokenBasis = *stored;
    candidate.features = std::move(record->features);
    return loadFeatures(candidate, basis, templates);
}

std::optional<DrawingFeatures> EvidenceStore::loadFeatures(const CandidateRecord& record, std::uint64_t basis,
                                                           const TemplateSet& templates)
{
    const std::int64_t drawing = record.row.id;
    const std::uint64_t storedBasis = record.row.tokenBasis;
    if (storedBasis == basis && !record.features.empty()) {
        if (auto features = decodeFeatures(record.features))
            return features;
    }
    const auto loaded = loadDrawing(drawing);
    if (!loaded)
        return std::nullopt;
    DrawingFeatures features = deriveFeatures(*loaded, templates);
    if (storedBasis == basis) {
        if (!keepFeatures(drawing, encodeFeatures(features)))
            return std::nullopt;
    } else if (!replaceTokens(drawing, basis, features.indexTokens(), encodeFeatures(features))) {
        return std::nullopt;
    }
    return features;
}

std::optional<dwg::Drawing> EvidenceStore::loadDrawing(std::int64_t drawing)
{
    const auto record = storedRecord(drawing);
    if (!record)
        return std::nullopt;
    dwg::Drawing result;
    auto entities = record->intact() ? decodeEntities(record->entities) : std::nullopt;
    if (!entities || !decodeProperties(record->properties, result)) {
        setError("the stored record of drawing " + std::to_string(drawing) + " is damaged");
        return std::nullopt;
    }
    result.entities = std::move(*entities);
    return result;
}

std::optional<StoredDrawing> EvidenceStore::drawingByPath(const std::string& project, const std::string& path)
{
    std::optional<StoredRow> row;
    if (!findRow(project, path, row))
        return std::nullopt;
    if (!row) {
        setError("no drawing " + path + " is stored for project " + project);
        return std::nullopt;
    }
    auto drawing = loadDrawing(row->id);
    if (!drawing)
        return std::nullopt;
    return StoredDrawing{project, path, row->shownName, std::move(*drawing)};
}

std::optional<std::vector<std::vector<std::int64_t>>> EvidenceStore::holdersOf(const std::vector<std::uint64_t>& tokens,
                                                                               std::size_t limit)
{
    std::vector<std::vector<std::int64_t>> all;
    all.reserve(tokens.size());
    for (const std::uint64_t token : tokens) {
        auto ids = holders(token, limit);
        if (!ids)
            return std::nullopt;
        all.push_back(std::move(*ids));
    }
    return all;
}

namespace {

// The search over the projects' rows read once: each token's holders asked of the store, the rows looked up here.
class RowsEarlierSearch final : public EarlierSearch
{
public:
    explicit RowsEarlierSearch(EvidenceStore& store) : m_store(store) {}

    bool load(const std::vector<std::int64_t>& projects)
    {
        for (std::size_t p = 0; p < projects.size(); ++p) {
            auto rows = m_store.rows(projects[p], DrawingRole::Class);
            if (!rows)
                return false;
            for (StoredRow& row : *rows)
                if (row.present)
                    m_rows.emplace(row.id, std::make_pair(p, std::move(row)));
        }
        return true;
    }

    std::size_t drawings() const override { return m_rows.size(); }

    std::optional<std::vector<SharedHolder>> sharing(const std::vector<std::uint64_t>& tokens,
                                                     const std::vector<bool>& labelled, std::size_t limit) override
    {
        const auto holdersOf = m_store.holdersOf(tokens, limit + 1);
        if (!holdersOf)
            return std::nullopt;
        std::unordered_map<std::int64_t, SharedHolder> shared;
        for (std::size_t t = 0; t < tokens.size(); ++t) {
            const std::vector<std::int64_t>& holders = (*holdersOf)[t];
            if (holders.size() > limit)
                continue;
            for (const std::int64_t id : holders) {
                const auto row = m_rows.find(id);
                if (row == m_rows.end())
                    continue;
                SharedHolder& s = shared[id];
                s.id = id;
                s.project = row->second.first;
                s.tokenCount = row->second.second.tokenCount;
                ++s.shared;
                s.labelled = s.labelled || (t < labelled.size() && labelled[t]);
            }
        }
        std::vector<SharedHolder> out;
        out.reserve(shared.size());
        for (const auto& entry : shared)
            out.push_back(entry.second);
        std::sort(out.begin(), out.end(), [](const SharedHolder& x, const SharedHolder& y) { return x.id < y.id; });
        return out;
    }

    std::optional<std::vector<CandidateRecord>> records(const std::vector<std::int64_t>& ids) override
    {
        std::vector<CandidateRecord> out;
        for (const std::int64_t id : ids) {
            const auto row = m_rows.find(id);
            if (row == m_rows.end()) {
                m_store.setError("no stored drawing " + std::to_string(id));
                return std::nullopt;
            }
            // The row read with the project holds the basis its features were made with.
            auto record = m_store.storedRecord(id);
            if (!record)
                return std::nullopt;
            out.push_back(CandidateRecord{row->second.second, std::move(record->features)});
        }
        return out;
    }

private:
    EvidenceStore& m_store;
    std::unordered_map<std::int64_t, std::pair<std::size_t, StoredRow>> m_rows; // id -> (its project, its row)
};

} // namespace

std::unique_ptr<EarlierSearch> EvidenceStore::searchEarlier(const std::vector<std::int64_t>& projects)
{
    auto search = std::make_unique<RowsEarlierSearch>(*this);
    if (!search->load(projects))
        return nullptr;
    return search;
}

} // namespace darv::similar
