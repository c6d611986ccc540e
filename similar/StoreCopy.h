// Copying a project's evidence from one store to another (this computer's to the department server's, and back):
// its drawings with their records, tokens and features, which of them its last run found, its templates and what
// it did not count, its last result and the teacher's marks of its pairs (a colleague's marks stay theirs).
// Drawing by drawing, each in its own transaction: a copy that stops is taken up where it stopped, and a copy of
// what is already there changes nothing.
#pragma once

#include "similar/EvidenceStore.h"

#include <cstddef>
#include <string>

namespace darv::similar {

struct StoreCopy
{
    std::string failure;       // set: the copy stopped (what was copied so far is kept whole)
    std::size_t copied = 0;    // drawings written
    std::size_t unchanged = 0; // drawings the target already held as they are
};

// Copies project `fromName` of `from` into project `toName` of `to` (made when missing). A target project of that
// name holding drawings the source does not have is another project: nothing is copied into it.
StoreCopy copyProject(EvidenceStore& from, const std::string& fromName, EvidenceStore& to, const std::string& toName);

} // namespace darv::similar
