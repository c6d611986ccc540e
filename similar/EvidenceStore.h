// The evidence store: a database that keeps, per drawing of every project, what the reader returned (properties,
// and entities enough to draw the drawing again) and its tokens, so that unchanged drawings are not read again
// and earlier projects can be compared without their files.
#pragma once

#include "drawing/Drawing.h"
#include "similar/DrawingFeatures.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace darv::similar {

enum class DrawingRole : std::int64_t { Class = 0, Template = 1 };

// What tells a changed file from an unchanged one.
struct FileStamp
{
    std::int64_t size = -1;
    std::int64_t mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// A stored drawing without its content.
struct StoredRow
{
    std::int64_t id = 0;
    std::string path; // the bytes the file system gave
    std::string shownName;
    FileStamp stamp;
    std::int64_t sourceVersion = 0; // the reader that made the row (see DrawingSource.h)
    std::uint64_t tokenBasis = 0;   // the templates and token rules its tokens were made with
    bool present = true;            // found by the project's last run
    std::size_t tokenCount = 0;     // how many tokens the index holds for it
};

// What a run writes for one drawing.
struct NewDrawing
{
    DrawingRole role = DrawingRole::Class;
    std::string path;
    std::string shownName;
    FileStamp stamp;
    std::int64_t sourceVersion = 0;
    std::string properties; // encodeProperties
    std::string entities;   // encodeEntities
    std::uint64_t tokenBasis = 0;
    std::vector<std::uint64_t> tokens;
    std::string features; // encodeFeatures, made with tokenBasis
};

// A drawing's stored record as it is kept: properties (JSON), entities (binary) and features (binary, made with
// the row's token basis; empty for rows stored before features were kept).
struct StoredRecord
{
    std::string properties;
    std::string entities;
    std::string features;
    std::uint64_t sum = 0; // recordSum of properties and entities when written; 0 for rows from before

    // False when properties or entities are not what was written (a damaged store).
    bool intact() const;
};

// The checksum kept with a drawing's properties and entities.
std::uint64_t recordSum(std::string_view properties, std::string_view entities);

// A drawing's tokens as the stores keep them: 8 bytes each, least significant first.
std::string packTokens(const std::vector<std::uint64_t>& tokens);
std::vector<std::uint64_t> unpackTokens(const std::string& bytes);

// Everything kept of one drawing, for the window.
struct StoredDrawing
{
    std::string project;
    std::string path;
    std::string shownName;
    dwg::Drawing drawing;
};

// A teacher's decision about a pair of drawings, as the store keeps it (see PairMarks.h).
enum class PairVerdict : std::int64_t { NotReviewed = 0, Copy = 1, NotCopy = 2 };

struct PairMark
{
    PairVerdict verdict = PairVerdict::NotReviewed;
    std::string note;
    std::string who;
    std::int64_t marked = 0; // seconds since 1970 (UTC)
    // One of the drawings was stored again since (its file changed) or is no longer stored: the mark was made
    // on other drawings.
    bool changedSince = false;
};

// A pair the same way round whichever drawing the check names first: (project, path) of both, in order.
struct PairKey
{
    std::string projectA, pathA, projectB, pathB;
    auto operator<=>(const PairKey&) const = default;
};

// A mark as the store keeps it: the checked project, the pair, and the two drawings' stamps when it was made.
struct KeptMark
{
    std::string project;
    PairKey key;
    PairMark mark;
    FileStamp stampA, stampB;
};

// A project's last complete result as kept: when it ended and its encoding (see LastResult.h).
struct KeptResult
{
    std::int64_t finished = 0;
    std::string encoded;
};

// A stored drawing that shares counting tokens with a drawing being checked: which of the searched projects it
// belongs to (their index), how many tokens it shares, whether a labelled one is among them, and how many tokens
// it holds.
struct SharedHolder
{
    std::int64_t id = 0;
    std::size_t project = 0;
    std::uint32_t shared = 0;
    bool labelled = false;
    std::size_t tokenCount = 0;
};

// A candidate's row with its stored features and the token basis they were made with (features may be empty).
struct CandidateRecord
{
    StoredRow row;
    std::string features;
};

// The present class drawings of earlier projects, as one run compares a class with them: the candidates of each
// drawing and what comparing them needs, asked of the store a drawing (or a batch of candidates) at a time, never
// drawing by drawing. Valid while its store is open and unchanged by others of its projects' runs.
class EarlierSearch
{
public:
    virtual ~EarlierSearch() = default;
    // How many drawings it searches.
    virtual std::size_t drawings() const = 0;
    // The searched drawings that hold any of the tokens (`labelled` says which are labelled ones), in id order; a
    // token held by more than `limit` drawings of the whole store (any project, present or not) counts for none.
    // None, with the store's error() set, when the store fails.
    virtual std::optional<std::vector<SharedHolder>> sharing(const std::vector<std::uint64_t>& tokens,
                                                             const std::vector<bool>& labelled, std::size_t limit) = 0;
    // The rows and stored features of searched drawings, in the order asked; none when the store fails or one of
    // them is no longer stored.
    virtual std::optional<std::vector<CandidateRecord>> records(const std::vector<std::int64_t>& ids) = 0;
};

// The evidence store as the check, the window and the commands see it, whichever database keeps it: this
// computer's SQLite file (SqliteEvidenceStore) or a department's PostgreSQL server (ServerEvidenceStore). Projects
// are named as their teacher names them; on a shared server a colleague's project is "OWNER/NAME".
class EvidenceStore
{
public:
    EvidenceStore() = default;
    EvidenceStore(const EvidenceStore&) = delete;
    EvidenceStore& operator=(const EvidenceStore&) = delete;
    virtual ~EvidenceStore() = default;

    virtual const std::string& error() const = 0;
    // The last failure was the store being damaged (a file that is no store, a record that is not as written).
    virtual bool damaged() const = 0;
    // Records a failure found above the store (a kept result that cannot be decoded), for error().
    virtual void setError(std::string error) = 0;

    // Every query below answers none, with error() set, when the store fails: a failure is never "no rows".

    // The project's id, 0 when there is no such project.
    virtual std::optional<std::int64_t> findProject(const std::string& name) = 0;
    virtual std::optional<std::int64_t> addProject(const std::string& name) = 0; // the existing one, or a new one
    // Projects with drawings from their last run, in name order.
    virtual std::optional<std::vector<std::string>> projectNames() = 0;

    // One run at a time writes a project: the run holds its project until the store is closed (or the program
    // ends). This computer's store leaves that to the project's lock file in the data folder, which every run
    // takes; a shared server holds the project itself, for every teacher's program.
    enum class Hold { Held, Busy, Failed };
    virtual Hold holdProject(const std::string& project) = 0;

    // A run of a project marks the store open while it works and clears the mark when it ends: a mark left by a
    // run that is no longer going (its project's lock is free) means the store was not closed cleanly.
    virtual bool beginRun(const std::string& project) = 0;
    virtual bool endRun(const std::string& project) = 0;
    // The projects whose runs ended without closing the store (killed, crashed, power cut), or none on failure.
    virtual std::optional<std::vector<std::string>> uncleanRuns(const std::string& dataFolder,
                                                                const std::string& ownProject) = 0;
    // "" when the store is whole, else what its check found (or why it could not check).
    virtual std::string quickCheck() = 0;
    virtual bool clearRuns(const std::vector<std::string>& projects) = 0;

    virtual std::optional<std::vector<StoredRow>> rows(std::int64_t project, DrawingRole role) = 0;
    // Inserts the drawing or replaces the row of the same project, role and path, in one transaction: the store
    // holds the whole drawing or its earlier state. Its tokens wait for indexTokens. The row's id, or none.
    virtual std::optional<std::int64_t> saveDrawing(std::int64_t project, const NewDrawing& drawing) = 0;
    // New tokens and features (made with other templates, or for a row stored before features were kept).
    virtual bool replaceTokens(std::int64_t drawing, std::uint64_t basis, const std::vector<std::uint64_t>& tokens,
                               const std::string& features) = 0;
    // Features worked out again with the row's own token basis (the index stays as it is).
    virtual bool keepFeatures(std::int64_t drawing, const std::string& features) = 0;
    // Puts the tokens of the project's drawings saved since into the inverted index, a few drawings per
    // transaction (never a long write; a stop between them leaves the rest waiting for the next run).
    virtual bool indexTokens(std::int64_t project) = 0;
    // The class drawings found by this run are present, the project's others not (they stay stored).
    virtual bool setPresent(std::int64_t project, const std::vector<std::int64_t>& presentIds) = 0;

    // The record undecoded (decoding may then happen on another thread); empty when there is no such row.
    virtual std::optional<StoredRecord> storedRecord(std::int64_t drawing) = 0;
    // The token basis of a stored drawing; empty when there is no such row.
    virtual std::optional<std::uint64_t> tokenBasis(std::int64_t drawing) = 0;
    // The tokens a stored drawing was indexed (or waits to be indexed) with; empty when there is no such row.
    virtual std::optional<std::vector<std::uint64_t>> storedTokens(std::int64_t drawing) = 0;
    // The class drawing (or else template) of the project with that path, into `row` (left empty when the store
    // holds none). False with error() set when the store fails.
    virtual bool findRow(const std::string& project, const std::string& path, std::optional<StoredRow>& row) = 0;
    // A stored drawing's properties (JSON) alone; empty when there is no such row.
    virtual std::optional<std::string> storedProperties(std::int64_t drawing) = 0;

    // Empty optional, with error() set, when the stored record is damaged.
    std::optional<dwg::Drawing> loadDrawing(std::int64_t drawing);
    // The stored features made with `basis`, else worked out again from the stored entities with `templates`
    // (and kept); empty optional with error() set when the record is damaged or the store fails.
    std::optional<DrawingFeatures> loadFeatures(std::int64_t drawing, std::uint64_t basis,
                                                const TemplateSet& templates);
    // As loadFeatures, from a candidate's stored features already read (no question to the store when they were
    // made with `basis` and decode).
    std::optional<DrawingFeatures> loadFeatures(const CandidateRecord& record, std::uint64_t basis,
                                                const TemplateSet& templates);
    // The class drawing (or else template) of the project with that path, also when its file is gone.
    std::optional<StoredDrawing> drawingByPath(const std::string& project, const std::string& path);

    virtual std::optional<std::vector<std::string>> templatePaths(std::int64_t project) = 0;
    virtual bool setTemplatePaths(std::int64_t project, const std::vector<std::string>& paths) = 0;

    // What a project's last run did not count (its templates' and its common tokens), for comparing with it,
    // with the token rules' version it was made with.
    virtual bool saveExcluded(std::int64_t project, const TemplateSet& excluded) = 0;
    virtual std::optional<TemplateSet> loadExcluded(std::int64_t project) = 0;
    virtual std::optional<std::uint64_t> tokenVersion(std::int64_t project) = 0;

    // Whether the project's last run found any class drawings; none when the store fails.
    virtual std::optional<bool> hasPresentDrawings(std::int64_t project) = 0;
    // The search of the present class drawings of these projects; null, with error() set, when the store fails.
    // This one reads the projects' rows once and asks the store for each token's holders.
    virtual std::unique_ptr<EarlierSearch> searchEarlier(const std::vector<std::int64_t>& projects);

    // Drawings of any project that hold the token, at most `limit` of them (present or not).
    virtual std::optional<std::vector<std::int64_t>> holders(std::uint64_t token, std::size_t limit) = 0;
    // The holders of each of the tokens, in their order (one question to the store for all of them).
    virtual std::optional<std::vector<std::vector<std::int64_t>>> holdersOf(const std::vector<std::uint64_t>& tokens,
                                                                            std::size_t limit);

    // The project's last complete result, replaced whole; `kept` is left empty when the project has none.
    virtual bool saveLastResult(const std::string& project, const KeptResult& result) = 0;
    virtual bool lastResult(const std::string& project, std::optional<KeptResult>& kept) = 0;

    // The teacher's marks of the pairs of a project's checks: kept one by one, or many in one transaction;
    // loaded with changedSince worked out from the stamps the store holds now.
    virtual bool keepMarks(const std::vector<KeptMark>& marks) = 0;
    virtual std::optional<std::map<PairKey, PairMark>> marks(const std::string& project) = 0;
    // The marks as kept, with the stamps they were made on, for copying them to another store; none when the store
    // fails. A colleague's project has none (a teacher's marks are that teacher's alone).
    virtual std::optional<std::vector<KeptMark>> keptMarks(const std::string& project) = 0;
};

} // namespace darv::similar
