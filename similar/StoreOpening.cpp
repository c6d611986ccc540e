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

StoreAccess KeptStore::access(const std::string& dataFolder, const std::string& server)
{
    StoreAccess access;
    if (server.empty()) {
        OpenedStore opened = openEvidenceStore(dataFolder, server);
        access.owned = std::move(opened.store);
        access.store = access.owned.get();
        access.error = std::move(opened.error);
        access.damaged = opened.damaged;
        return access;
    }
    // A kept connection answers a question of no cost before it is lent: a lost one is found here, not half way
    // through the window's work.
    const bool lost = m_server && m_address == server && !m_server->quickCheck().empty();
    if (!m_server || m_address != server || lost) {
        m_server.reset();
        OpenedStore opened = openEvidenceStore(dataFolder, server);
        if (!opened.store) {
            access.error = lost ? "the connection was lost and cannot be made again: " + opened.error : opened.error;
            return access;
        }
        m_server = std::move(opened.store);
        m_address = server;
    }
    access.store = m_server.get();
    return access;
}

bool storeMayHoldEvidence(const std::string& dataFolder, const std::string& server)
{
    std::error_code ec;
    return !server.empty() || std::filesystem::exists(evidenceStorePath(dataFolder), ec);
}

} // namespace darv::similar
