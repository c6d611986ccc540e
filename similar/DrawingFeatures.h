// What the similarity check keeps of one drawing: its entities' shapes and contexts, its drawing order,
// texts, names and identity, each as tokens (64-bit hashes with their kind mixed in) that two drawings
// can share. The template's entities are marked and never give a token.
#pragma once

#include "drawing/Drawing.h"
#include "similar/PieceForm.h"
#include "similar/Winnowing.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace darv::similar {

// Bump when a rule below changes: tokens stored by another version are then made again.
// 4: a solid with its modeler data's hash is a piece of geometry.
inline constexpr std::uint64_t kTokenVersion = 4;
// Features stored by versions from this one on hold the same tokens as today's and can be compared as stored
// (an earlier project need not be run again): version 1 kept a piece's layer in its kind, which only splits its
// geometry into finer details; versions before 4 lack the solids' tokens, so their solids are no evidence.
inline constexpr std::uint64_t kOldestComparableTokenVersion = 1;
// Bump when what is kept of a drawing grows without any stored token changing: the project's own drawings are
// then derived again from their stored entities, and earlier projects stay comparable as they are.
inline constexpr std::uint64_t kFeatureRules = 2;

// The drawing order's k-grams are this many entities long.
inline constexpr std::size_t kOrderGram = 5;

enum class TokenKind : std::uint8_t {
    Fingerprint,   // FINGERPRINTGUID
    VersionGuid,   // VERSIONGUID
    Created,       // TDCREATE
    Content,       // everything the reader returned
    Name,          // last saved by, author
    Text,          // a text's words
    Shape,         // an entity's shape (class, sizes, directions), wherever it lies
    Context,       // an entity's shape with the offsets to its nearest neighbours
    Order,         // a winnowed k-gram of the drawing order
    Handle,        // a handle with its entity's shape: the same entity, kept by a copy of the file
    TemplatePlace, // a template entity's shape and place
    TemplateShape, // a template entity's handle and shape (a moved template entity keeps its handle)
    Form,          // a piece's form among its neighbours, the same however the drawing was turned or scaled
    Place,         // a hand-picked position, or its offset to a piece nearby (see HandPlaced.h)
};

std::uint64_t makeToken(TokenKind kind, std::uint64_t value);

struct EntityFeature
{
    std::uint64_t handle = 0;
    bool hasGeometry = false;
    bool fromTemplate = false;
    bool isText = false;
    std::uint64_t shape = 0; // the entity's shape hash (see EntityShape.h); its token is makeToken(Shape, shape)
    std::uint64_t size = 0;  // the coarser size hash (see EntityShape.h), which the drawing order is made of
    dwg::Point3 anchor;
};

// One piece of what a non-template entity draws (see drawnPieces), as the geometry signals compare it.
struct GeometryItem
{
    std::size_t entity = 0;  // index in DrawingFeatures::entities
    std::uint64_t kind = 0;  // the entity's class: what kind of detail the piece belongs to (its layer is not)
    std::uint64_t shape = 0; // shape hash of the piece; its token is makeToken(Shape, shape)
    dwg::Point3 anchor;
    std::uint64_t context = 0; // Context token: the piece's shape with the offsets to its nearest pieces
    PieceForm form;
    std::uint64_t formToken = 0; // Form token (see formHashes), 0 for a piece with nothing near it
};

struct LabelledToken
{
    TokenKind kind = TokenKind::Text;
    std::uint64_t token = 0;
    std::string label;                 // what a person reads: the GUID, the name, the text
    std::vector<std::size_t> entities; // entity indices the token comes from (texts)
};

struct DrawingFeatures
{
    std::vector<LabelledToken> identity; // Fingerprint, VersionGuid, Created, Content
    std::vector<LabelledToken> names;    // label "last saved by NAME" or "author NAME"
    std::vector<LabelledToken> texts;
    std::vector<EntityFeature> entities; // as in the drawing (ascending handle)
    std::vector<GeometryItem> items;     // the pieces of the non-template entities, texts left out
    std::vector<std::uint64_t> shapes;   // Shape tokens of the items, each once
    std::vector<std::uint64_t> forms;    // Form tokens of the items, each once
    std::vector<std::size_t> sequence;   // indices of the non-template entities, in drawing order
    std::vector<Fingerprint> order;      // Order tokens; position indexes `sequence`
    std::vector<std::uint64_t> handles;  // Handle token per entity, 0 where the handle does not count

    // The tokens a store keeps to find candidate pairs: identity, names, texts, shapes, forms, order; each once.
    std::vector<std::uint64_t> indexTokens() const;
};

// Everything that a project's template drawings hold, as tokens: none of it is evidence.
class TemplateSet
{
public:
    void add(const dwg::Drawing& templateDrawing);
    // A set kept in the store: its tokens and its handle seed.
    void addToken(std::uint64_t token) { m_tokens.insert(token); }
    void raiseHandleSeed(std::uint64_t seed) { m_handleSeed = std::max(m_handleSeed, seed); }
    const std::unordered_set<std::uint64_t>& tokens() const { return m_tokens; }
    bool contains(std::uint64_t token) const { return m_tokens.count(token) != 0; }
    bool empty() const { return m_tokens.empty(); }
    // Entities a student adds to a drawing begun from the template get handles from here on.
    std::uint64_t handleSeed() const { return m_handleSeed; }
    // Changes whenever a token would: the templates, or the token rules.
    std::uint64_t basis() const;

private:
    std::unordered_set<std::uint64_t> m_tokens;
    std::uint64_t m_handleSeed = 0;
};

// Texts are compared by their words (the Text tokens), not as geometry: a copier rewrites the name and number.
bool isText(const dwg::Entity& entity);

DrawingFeatures deriveFeatures(const dwg::Drawing& drawing, const TemplateSet& templates);

} // namespace darv::similar
