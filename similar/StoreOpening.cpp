// Opening the chosen evidence store.
#include "similar/StoreOpening.h"

#include "base/DataFolder.h"
#include "similar/ServerEvidenceStore.h"
#include "similar/SqliteEvidenceStore.h"

#include <filesystem>

namespace darv::similar {

OpenedStore openEvidenceStore(const std::string& dataFolder, const std::string& server)
{
    OpenedStore opened;
    if (!server.empty()) {
        auto shared = std::make_unique<ServerEvidenceStore>();
        if (!shared->open(server)) {
            opened.error = "the department server: " + shared->error();
            return opened;
        }
        opened.store = std::move(shared);
        return opened;
    }
    auto local = std::make_unique<SqliteEvidenceStore>();
    if (!local->open(evidenceStorePath(dataFolder))) {
        opened.error = local->error();
        opened.damaged = local->damaged();
        return opened;
    }
    opened.store = std::move(local);
    return opened;
}

bool storeMayHoldEvidence(const std::string& dataFolder, const std::string& server)
{
    std::error_code ec;
    return !server.empty() || std::filesystem::exists(evidenceStorePath(dataFolder), ec);
}

} // namespace darv::similar
