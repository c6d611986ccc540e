// What the similarity check sees of a drawing beyond the plain geometry kinds: annotation and fill entities as the
// geometry they draw, and what block definitions hold where the drawing inserts them.
#pragma once

#include "drawing/Drawing.h"

#include <cstddef>
#include <cstdint>

namespace darv::similar {

// Exploded entities beyond this many are left out: a block inserted a million times, or blocks nested to any depth,
// must not make a drawing of a few kilobytes fill the memory.
inline constexpr std::size_t kMaxExplodedEntities = 200000;
inline constexpr int kMaxBlockDepth = 8;

// The entities placed from blocks are numbered from here, after the drawing's own: each can be marked on its own
// in the pair view, and none is taken for one of the drawing's handles.
inline constexpr std::uint64_t kPlacedHandleBase = std::uint64_t{1} << 63;
inline bool isPlacedHandle(std::uint64_t handle)
{
    return handle >= kPlacedHandleBase;
}

// Gives the layout's entities that carry contents but no geometry the geometry they draw: a hatch its largest
// boundary; a leader, a multiline and a mesh their vertices; a multileader and a table their text; a tolerance and
// an attribute definition their text; a ray or xline a line along its direction; a shape its place; a helix the points
// along it. Then appends, for every insert of a block definition, that block's entities as they lie in the drawing
// (moved, turned and scaled by the insert; nested inserts too), on the insert's layer where they are on layer 0,
// numbered from kPlacedHandleBase: they are the block's entities, not the drawing's own; a solid of a block as its
// modeler data's hash mixed with the placement. An INSERT's attributes are appended as texts where they stand.
void addSimilarityView(dwg::Drawing& drawing);

} // namespace darv::similar
