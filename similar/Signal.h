// One reason why two drawings look alike, as the check reports it.
#pragma once

#include <string>

namespace darv::similar {

enum class SignalKind {
    SameFingerprint, // equal FINGERPRINTGUID: one file is a copy of the other
    SameVersionGuid, // equal VERSIONGUID: the same save
    SameCreated,     // equal TDCREATE: both began as one drawing
    SameContent,     // everything read is equal
    SameAuthor,      // the same "last saved by" or author name
    SameTexts,       // the same texts (names, student numbers)
    GeometryInPlace, // the same entities at the same coordinates
    GeometryMoved,   // the same entities in the same arrangement, moved
    DrawingOrder,    // the same sequence of entity shapes
    SharedHandles,   // the same handles with the same classes, beyond the template's
};

// The name in the JSON report: "fingerprint", "version-guid", "created", "content", "author", "texts",
// "geometry-in-place", "geometry-moved", "order", "handles".
const char* signalKindName(SignalKind kind);

struct Signal
{
    SignalKind kind = SignalKind::GeometryInPlace;
    double share = 0;      // 0 to 1: the share of the smaller drawing's countable evidence found in the other
    std::string text;      // one line for a person
    bool decisive = false; // an identity signal: the pair is a copy whatever else it shows
};

} // namespace darv::similar
