// How the CAD program reports a drawing's creation time: the one place of that conversion.
#pragma once

#include "drawing/Drawing.h"

namespace dwg {

// The stored instant cut to whole seconds, shown as local wall time of the machine's time zone
// (with the daylight-saving rule of that instant), as a Julian date: day number + seconds / 86400.
double cadJulianDate(StoredTime stored);

// The stored value as a Julian date without any conversion: day + ms / 86400000.
double storedJulianDate(StoredTime stored);

} // namespace dwg
