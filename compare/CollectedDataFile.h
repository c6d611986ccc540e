// The collected-data file of a project: one quoted record line per drawing (name, creation time, handles).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace darv {

enum class NameCase {
    UpperAscii, // a-z become A-Z; bytes of 0x80 and above stay as they are
    AsGiven,    // the caller has already upper-cased the file name (Unicode rules, done with Qt)
};

// The drawing name of a file name without its folder: every "," and every control character (which
// would split the record or a report line) becomes "_", the last four characters (the ".dwg") are
// dropped, then the text is upper-cased. Characters are bytes here; the four dropped
// ones are always the ASCII extension, since only "*.dwg" files are collected.
std::string drawingName(std::string_view fileName, NameCase nameCase = NameCase::UpperAscii);

// The handle list field: every handle followed by "$" ("2F$30$"), empty for no handles.
std::string handleListText(const std::vector<std::string>& handles);

// One whole record line, quotes and CR LF included:
// "NAME,2454001.60418981,2F$30$,END". A time without value gives an empty field.
std::string recordLine(const std::string& name, std::optional<double> time, const std::string& handleList);

// The three fields that the comparison uses.
struct CollectedRecord
{
    std::string name;
    double time = 0.0;   // 0 when the field is empty or not a number
    std::string handles; // exactly as stored, every handle followed by "$"
};

enum class CollectedDataFault {
    None,
    Unreadable,     // the file exists but cannot be read
    NotQuoted,      // the line is not enclosed in double quotes
    TooFewCommas,   // the record has fewer than three commas
    TooManyRecords, // more records than drawings counted
};

struct CollectedData
{
    std::vector<CollectedRecord> records; // in file order; the records before a fault
    CollectedDataFault fault = CollectedDataFault::None;
    std::int64_t faultLine = 0; // 1-based line number of the faulty record (0 for Unreadable)
};

// Parses one record line (without its line end). Empty optional when the line is not a record;
// then fault says why.
std::optional<CollectedRecord> parseRecord(std::string_view line, CollectedDataFault& fault);

// Reads the whole file. A missing file gives no records and no fault. Reading stops at the first
// faulty line, and at line maxRecords + 1 when the file holds more records than that.
CollectedData readCollectedData(const std::string& path, std::size_t maxRecords);

// The time field as a number: plain decimal text ("2454001.5", "-3", "1e2" also serve); an empty field,
// any other text or a value that is not finite gives 0.
double parseTimeField(std::string_view field);

} // namespace darv
