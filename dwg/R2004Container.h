// Reads the paged container of R2004, R2010, R2013 and R2018 drawings into section buffers.
#pragma once

#include "dwg/Fault.h"
#include "dwg/Sections.h"

#include <cstdint>
#include <span>

namespace dwg {

// The key stream that hides the container header at 0x80 (also used by the tests).
void xorHeaderKey(std::span<std::uint8_t> bytes);

// Decompresses AcDb:Header, AcDb:Classes, AcDb:Handles and AcDb:AcDbObjects into `storage`, and with
// `withSummaryInfo` AcDb:SummaryInfo and the data store AcDb:AcDsPrototype_1b too (both optional: a drawing without
// a readable one is read all the same).
// Errors: Encrypted (password-protected drawing), Truncated, Corrupt.
Expected<Sections> readR2004Sections(std::span<const std::uint8_t> file, bool withSummaryInfo = false);

} // namespace dwg
