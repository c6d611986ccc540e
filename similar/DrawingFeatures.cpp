// Deriving a drawing's tokens: identity, names, texts, geometry pieces and their contexts, drawing order, handles.
#include "similar/DrawingFeatures.h"

#include "similar/ComparableText.h"
#include "similar/EntityShape.h"
#include "similar/Hashing.h"
#include "similar/Neighbours.h"
#include "similar/SimilarityView.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace darv::similar {
namespace {

// k-grams of five entities, windows of four k-grams: any run of eight entities drawn in the same order
// gives a shared fingerprint.
constexpr std::size_t kWindow = 4;
// Julian day of 1 January 1980: earlier creation stamps are "not set" values of other programs.
constexpr std::int32_t kFirstRealDay = 2444240;

std::string trimmedUpper(const std::string& text)
{
    std::string out;
    for (const char c : text)
        if (c != ' ' && c != '\t')
            out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return out;
}

// A GUID that tells something: present and not all zeros.
bool meaningfulGuid(const std::string& guid)
{
    return guid.find_first_not_of("{}-0 ") != std::string::npos;
}

// "2025-03-12 10:41:07.250 UT" from a Julian day number and the milliseconds since its midnight.
std::string universalTimeText(dwg::StoredTime time)
{
    // Fliegel and Van Flandern's conversion of a Julian day number to a Gregorian date.
    std::int64_t l = std::int64_t{time.day} + 68569;
    const std::int64_t n = 4 * l / 146097;
    l -= (146097 * n + 3) / 4;
    const std::int64_t i = 4000 * (l + 1) / 1461001;
    l = l - 1461 * i / 4 + 31;
    const std::int64_t j = 80 * l / 2447;
    const std::int64_t day = l - 2447 * j / 80;
    l = j / 11;
    const std::int64_t month = j + 2 - 12 * l;
    const std::int64_t year = 100 * (n - 49) + i + l;
    const std::int64_t ms = time.ms;
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld.%03lld UT",
                  static_cast<long long>(year), static_cast<long long>(month), static_cast<long long>(day),
                  static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return text;
}

void addIdentity(const dwg::Drawing& drawing, const std::vector<EntityFeature>& entities, DrawingFeatures& out)
{
    if (meaningfulGuid(drawing.fingerprintGuid)) {
        const std::string guid = trimmedUpper(drawing.fingerprintGuid);
        out.identity.push_back(
            {TokenKind::Fingerprint, makeToken(TokenKind::Fingerprint, Hasher().add(guid).value()), guid, {}});
    }
    if (meaningfulGuid(drawing.versionGuid)) {
        const std::string guid = trimmedUpper(drawing.versionGuid);
        out.identity.push_back(
            {TokenKind::VersionGuid, makeToken(TokenKind::VersionGuid, Hasher().add(guid).value()), guid, {}});
    }
    if (drawing.created && drawing.created->day >= kFirstRealDay) {
        const auto value = Hasher().add(std::int64_t{drawing.created->day}).add(std::int64_t{drawing.created->ms});
        out.identity.push_back({TokenKind::Created,
                                makeToken(TokenKind::Created, value.value()),
                                universalTimeText(*drawing.created),
                                {}});
    }
    if (entities.empty())
        return;
    Hasher content;
    content.add(drawing.version).add(drawing.fingerprintGuid).add(drawing.versionGuid).add(drawing.lastSavedBy);
    for (const auto& time : {drawing.created, drawing.updated, drawing.timeInDrawing})
        content.add(std::int64_t{time ? time->day : -1}).add(std::int64_t{time ? time->ms : -1});
    for (std::size_t i = 0; i < entities.size(); ++i) {
        const EntityShape shape{entities[i].hasGeometry, entities[i].shape, entities[i].anchor};
        content.add(entities[i].handle).add(placeKey(shape)).add(drawing.entities[i].layer);
    }
    out.identity.push_back({TokenKind::Content, makeToken(TokenKind::Content, content.value()), "", {}});
}

void addNames(const dwg::Drawing& drawing, DrawingFeatures& out)
{
    const std::pair<const std::string*, const char*> names[] = {{&drawing.lastSavedBy, "last saved by"},
                                                                {&drawing.summary.author, "author"}};
    for (const auto& [name, role] : names) {
        const std::string value = foldedText(*name);
        if (value.empty())
            continue;
        // Both fields hold a person's name: the token is the same whichever field holds it.
        out.names.push_back({TokenKind::Name,
                             makeToken(TokenKind::Name, Hasher().add(value).value()),
                             std::string(role) + " '" + *name + "'",
                             {}});
    }
}

void addTexts(const dwg::Drawing& drawing, DrawingFeatures& out)
{
    std::map<std::string, std::vector<std::size_t>> byText;
    for (std::size_t i = 0; i < drawing.entities.size(); ++i) {
        if (out.entities[i].fromTemplate)
            continue;
        const dwg::Geometry& g = drawing.entities[i].geometry;
        const std::string* raw = nullptr;
        if (const auto* text = std::get_if<dwg::TextGeometry>(&g))
            raw = &text->text;
        else if (const auto* mtext = std::get_if<dwg::MTextGeometry>(&g))
            raw = &mtext->text;
        if (!raw)
            continue;
        const std::string text = comparableText(*raw);
        if (!text.empty())
            byText[text].push_back(i);
    }
    for (auto& [text, entities] : byText)
        out.texts.push_back(
            {TokenKind::Text, makeToken(TokenKind::Text, Hasher().add(text).value()), text, std::move(entities)});
}

} // namespace

bool isText(const dwg::Entity& entity)
{
    return std::holds_alternative<dwg::TextGeometry>(entity.geometry) ||
           std::holds_alternative<dwg::MTextGeometry>(entity.geometry);
}

std::uint64_t makeToken(TokenKind kind, std::uint64_t value)
{
    return Hasher(0x544F4B454Eull).add(std::uint64_t{static_cast<std::uint8_t>(kind)}).add(value).value();
}

DrawingFeatures deriveFeatures(const dwg::Drawing& drawing, const TemplateSet& templates)
{
    DrawingFeatures out;
    out.entities.reserve(drawing.entities.size());
    for (std::size_t i = 0; i < drawing.entities.size(); ++i) {
        const dwg::Entity& entity = drawing.entities[i];
        const EntityShape shape = entityShape(entity);
        EntityFeature feature{entity.handle, shape.hasGeometry, false,       isText(entity),
                              shape.shape,   shape.size,        shape.anchor};
        feature.fromTemplate =
            (shape.hasGeometry && templates.contains(makeToken(TokenKind::TemplatePlace, placeKey(shape)))) ||
            templates.contains(makeToken(TokenKind::TemplateShape, Hasher(entity.handle).add(shape.shape).value()));
        if (!feature.fromTemplate) {
            out.sequence.push_back(i);
            const std::uint64_t kind = Hasher().add(entity.className).value();
            if (!feature.isText) {
                const std::vector<EntityShape> pieces = drawnPieces(entity);
                std::vector<PieceForm> forms = pieceForms(entity);
                if (forms.size() != pieces.size()) // never expected: then each piece is a point of its own
                    forms.assign(pieces.size(), PieceForm{});
                for (std::size_t k = 0; k < pieces.size(); ++k) {
                    if (forms[k].family == 0)
                        forms[k].centre = forms[k].from = forms[k].to = pieces[k].anchor;
                    out.items.push_back({i, kind, pieces[k].shape, pieces[k].anchor, 0, forms[k], 0});
                }
            }
        }
        out.entities.push_back(feature);
    }
    std::vector<PlacedShape> placed;
    for (const GeometryItem& item : out.items)
        placed.push_back({item.shape, item.anchor});
    const std::vector<std::uint64_t> contexts = contextHashes(placed);
    for (std::size_t k = 0; k < out.items.size(); ++k) {
        out.items[k].context = makeToken(TokenKind::Context, contexts[k]);
        out.shapes.push_back(makeToken(TokenKind::Shape, out.items[k].shape));
    }
    std::vector<PieceForm> forms;
    forms.reserve(out.items.size());
    for (const GeometryItem& item : out.items)
        forms.push_back(item.form);
    const std::vector<std::uint64_t> formValues = formHashes(forms);
    for (std::size_t k = 0; k < out.items.size(); ++k) {
        if (formValues[k] == 0)
            continue;
        out.items[k].formToken = makeToken(TokenKind::Form, formValues[k]);
        out.forms.push_back(out.items[k].formToken);
    }
    std::sort(out.forms.begin(), out.forms.end());
    out.forms.erase(std::unique(out.forms.begin(), out.forms.end()), out.forms.end());
    std::sort(out.shapes.begin(), out.shapes.end());
    out.shapes.erase(std::unique(out.shapes.begin(), out.shapes.end()), out.shapes.end());

    std::vector<std::uint64_t> drawn;
    drawn.reserve(out.sequence.size());
    for (const std::size_t i : out.sequence)
        drawn.push_back(out.entities[i].size);
    out.order = winnow(drawn, kOrderGram, kWindow);
    for (Fingerprint& print : out.order)
        print.hash = makeToken(TokenKind::Order, print.hash);

    out.handles.assign(drawing.entities.size(), 0);
    for (const std::size_t i : out.sequence)
        // An entity of an inserted block, placed where the insert puts it, is not one of the drawing's own.
        if (!isPlacedHandle(drawing.entities[i].handle) && drawing.entities[i].handle >= templates.handleSeed())
            out.handles[i] =
                makeToken(TokenKind::Handle, Hasher(drawing.entities[i].handle).add(out.entities[i].shape).value());
    addIdentity(drawing, out.entities, out);
    addNames(drawing, out);
    addTexts(drawing, out);
    return out;
}

std::vector<std::uint64_t> DrawingFeatures::indexTokens() const
{
    std::vector<std::uint64_t> tokens;
    for (const auto* list : {&identity, &names, &texts})
        for (const LabelledToken& t : *list)
            tokens.push_back(t.token);
    tokens.insert(tokens.end(), shapes.begin(), shapes.end());
    tokens.insert(tokens.end(), forms.begin(), forms.end());
    for (const Fingerprint& print : order)
        tokens.push_back(print.hash);
    std::sort(tokens.begin(), tokens.end());
    tokens.erase(std::unique(tokens.begin(), tokens.end()), tokens.end());
    return tokens;
}

void TemplateSet::add(const dwg::Drawing& templateDrawing)
{
    const DrawingFeatures features = deriveFeatures(templateDrawing, TemplateSet());
    for (std::size_t i = 0; i < features.entities.size(); ++i) {
        const EntityFeature& e = features.entities[i];
        if (e.hasGeometry)
            m_tokens.insert(makeToken(TokenKind::TemplatePlace, placeKey(EntityShape{true, e.shape, e.anchor})));
        m_tokens.insert(makeToken(TokenKind::TemplateShape, Hasher(e.handle).add(e.shape).value()));
        if (features.handles[i] != 0)
            m_tokens.insert(features.handles[i]);
    }
    for (const std::uint64_t token : features.indexTokens())
        m_tokens.insert(token);
    for (const GeometryItem& item : features.items)
        m_tokens.insert(item.context);
    if (templateDrawing.handSeed)
        m_handleSeed = std::max(m_handleSeed, *templateDrawing.handSeed);
}

std::uint64_t TemplateSet::basis() const
{
    std::vector<std::uint64_t> sorted(m_tokens.begin(), m_tokens.end());
    std::sort(sorted.begin(), sorted.end());
    Hasher hash(kTokenVersion);
    hash.add(kFeatureRules).add(m_handleSeed);
    for (const std::uint64_t token : sorted)
        hash.add(token);
    return hash.value();
}

} // namespace darv::similar
