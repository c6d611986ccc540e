// What every evidence store does the same way over its rows: a stored record's checksum and decoding, features
// read back or worked out again, and the holders of many tokens asked one by one.
#include "similar/EvidenceStore.h"

#include "similar/EntityBlob.h"
#include "similar/FeatureBlob.h"
#include "similar/Hashing.h"
#include "similar/PropertiesJson.h"

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
    const std::uint64_t storedBasis = *stored;
    auto record = storedRecord(drawing);
    if (!record)
        return std::nullopt;
    if (storedBasis == basis && !record->features.empty()) {
        if (auto features = decodeFeatures(record->features))
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

} // namespace darv::similar
