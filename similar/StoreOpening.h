// Opening the evidence store a teacher chose: this computer's store in the data folder, or a department's
// server. What opens it is the only code that knows which kind of store it has.
#pragma once

#include "similar/EvidenceStore.h"

#include <memory>
#include <string>

namespace darv::similar {

struct OpenedStore
{
    std::unique_ptr<EvidenceStore> store; // null when it could not be opened
    std::string error;                    // why not
    bool damaged = false;                 // the local store's file is damaged (a rebuild may help)
};

// `server` empty: the store in the data folder, created when missing. Otherwise a department server's connection
// address in libpq's own terms (a postgresql:// URL or key=value words; PGSERVICE, ~/.pgpass and sslmode apply),
// whose store must have been set up with 'store init'. The server's store is never replaced by the local one.
OpenedStore openEvidenceStore(const std::string& dataFolder, const std::string& server);

// A store as one use of it sees it: borrowed from a KeptStore (a server's connection) or opened for this use alone.
struct StoreAccess
{
    EvidenceStore* store = nullptr; // null when it could not be opened
    std::string error;              // why not
    bool damaged = false;           // as OpenedStore's
    std::unique_ptr<EvidenceStore> owned;
};

// The store a window reads and writes between runs. A server's connection is made once per address and kept; one
// found lost is made again once, and when that fails too the access says so. This computer's store is opened for
// each use (a run may rebuild its file in between, and opening it costs no connection).
class KeptStore
{
public:
    StoreAccess access(const std::string& dataFolder, const std::string& server);

private:
    std::unique_ptr<EvidenceStore> m_server;
    std::string m_address;
};

// True when `dataFolder` has a store of its own or `server` names one (nothing to show otherwise).
bool storeMayHoldEvidence(const std::string& dataFolder, const std::string& server);

} // namespace darv::similar
