// The evidence store: one SQLite database in the data folder that keeps, per drawing of every project, what
// the reader returned (properties, and entities enough to draw the drawing again) and its tokens, so that
// unchanged drawings are not read again and earlier projects can be compared without their files.
#pragma once

#include "drawing/Drawing.h"
#include "similar/DrawingFeatures.h"
#include "similar/Sqlite.h"

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

// Everything kept of one drawing, for the window.
struct StoredDrawing
{
    std::string project;
    std::string path;
    std::string shownName;
    dwg::Drawing drawing;
};

class EvidenceStore
{
public:
    static constexpr std::int64_t kSchemaVersion = 4;
    // How long a statement waits for another program's write before it fails with "database is locked".
    static constexpr int kBusyTimeoutMs = 60000;

    EvidenceStore() = default;
    EvidenceStore(const EvidenceStore&) = delete;
    EvidenceStore& operator=(const EvidenceStore&) = delete;

    // Opens the store, creating it when missing and bringing an older schema up to date; refuses a newer
    // schema and a file that is no such store. False with error() set (damaged() tells a damaged file).
    bool open(const std::string& path);
    const std::string& error() const { return m_db.error(); }
    // The last failure was the store's file being damaged (SQLite's "malformed" or "not a database").
    bool damaged() const { return m_db.damaged(); }

    // Every query below answers none, with error() set, when the store fails: a failure is never "no rows".

    // The project's id, 0 when there is no such project.
    std::optional<std::int64_t> findProject(const std::string& name);
    std::optional<std::int64_t> addProject(const std::string& name); // the existing one, or a new one
    // Projects with drawings from their last run, in name order.
    std::optional<std::vector<std::string>> projectNames();

    // A run of a project marks the store open while it works and clears the mark when it ends: a mark left by a
    // run that is no longer going (its project's lock is free) means the store was not closed cleanly.
    bool beginRun(const std::string& project);
    bool endRun(const std::string& project);
    // The projects whose runs ended without closing the store (killed, crashed, power cut), or none on failure.
    std::optional<std::vector<std::string>> uncleanRuns(const std::string& dataFolder, const std::string& ownProject);
    // SQLite's quick_check: "" when the store is whole, else what it found (or why it could not check).
    std::string quickCheck();
    bool clearRuns(const std::vector<std::string>& projects);

    std::optional<std::vector<StoredRow>> rows(std::int64_t project, DrawingRole role);
    // Inserts the drawing or replaces the row of the same project, role and path, in one transaction (a savepoint
    // within an open one): the store holds the whole drawing or its earlier state. Its tokens wait for
    // indexTokens. The row's id, or none on failure.
    std::optional<std::int64_t> saveDrawing(std::int64_t project, const NewDrawing& drawing);
    // New tokens and features (made with other templates, or for a row stored before features were kept).
    bool replaceTokens(std::int64_t drawing, std::uint64_t basis, const std::vector<std::uint64_t>& tokens,
                       const std::string& features);
    // Features worked out again with the row's own token basis (the index stays as it is).
    bool keepFeatures(std::int64_t drawing, const std::string& features);
    // Puts the tokens of the project's drawings saved since into the inverted index, a few drawings per
    // transaction and in the index's order (much faster than drawing by drawing, and never a long write).
    bool indexTokens(std::int64_t project);
    // The class drawings found by this run are present, the project's others not (they stay stored).
    bool setPresent(std::int64_t project, const std::vector<std::int64_t>& presentIds);

    // Empty optional, with error() set, when the stored record is damaged.
    std::optional<dwg::Drawing> loadDrawing(std::int64_t drawing);
    // The record undecoded (decoding may then happen on another thread); empty when there is no such row.
    std::optional<StoredRecord> storedRecord(std::int64_t drawing);
    // The stored features made with `basis`, else worked out again from the stored entities with `templates`
    // (and kept); empty optional with error() set when the record is damaged or the store fails.
    std::optional<DrawingFeatures> loadFeatures(std::int64_t drawing, std::uint64_t basis,
                                                const TemplateSet& templates);
    // The class drawing (or else template) of the project with that path, also when its file is gone.
    std::optional<StoredDrawing> drawingByPath(const std::string& project, const std::string& path);

    std::optional<std::vector<std::string>> templatePaths(std::int64_t project);
    bool setTemplatePaths(std::int64_t project, const std::vector<std::string>& paths);

    // What a project's last run did not count (its templates' and its common tokens), for comparing with it,
    // with the token rules' version it was made with.
    bool saveExcluded(std::int64_t project, const TemplateSet& excluded);
    std::optional<TemplateSet> loadExcluded(std::int64_t project);
    std::optional<std::uint64_t> tokenVersion(std::int64_t project);

    // Drawings of any project that hold the token, at most `limit` of them (present or not).
    std::optional<std::vector<std::int64_t>> holders(std::uint64_t token, std::size_t limit);

    SqliteDatabase& database() { return m_db; }

private:
    bool migrate();
    bool unindex(std::int64_t project, std::int64_t drawing, const std::string& packed);

    // A statement prepared once and kept: those run for every drawing or token. Known by the address of its
    // text, which must live as long as the store (a literal). Reset after use.
    SqliteStatement& cached(const char* sql);

    SqliteDatabase m_db;
    std::map<const char*, std::unique_ptr<SqliteStatement>> m_statements;
};

} // namespace darv::similar
