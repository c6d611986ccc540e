// The three one-line settings files (default.fil, warning.fil, folders.fil) and the entity list.
#pragma once

#include "base/FileResult.h"

#include <array>
#include <optional>
#include <string>

namespace darv {

// What a settings file holds when it is read back.
enum class SettingRead {
    Absent, // the file cannot be opened
    Empty,  // the file holds no line at all
    NotANumber,
    Number,
};

struct SettingValue
{
    SettingRead kind = SettingRead::Absent;
    long long value = 0; // when kind is Number
};

// Reads the first line of a settings file (CR LF or LF ended; further lines are ignored) as a whole
// number written in decimal digits with an optional leading sign and blanks around it.
SettingValue readSettingFile(const std::string& path);

// Replaces the file with one line: the number, CR, LF. On an error the old file stays as it was.
FileWrite writeSettingFile(const std::string& path, long long value);

std::string defaultFilePath(const std::string& installLoc);
std::string warningFilePath(const std::string& installLoc);
std::string foldersFilePath(const std::string& installLoc);

// The entity types of the entity list, in list order (0 "3DSOLID" ... 9 "LINE" ... 14 "RAY" ... 21 "XLINE").
inline constexpr std::array<const char*, 22> kEntityTypes = {"3DSOLID",
                                                             "ARC",
                                                             "ATTRIBUTEDEFINITION",
                                                             "BLOCKREFERENCE",
                                                             "CIRCLE",
                                                             "ELLIPSE",
                                                             "FACE",
                                                             "HATCH",
                                                             "LEADER",
                                                             "LINE",
                                                             "MLINE",
                                                             "MTEXT",
                                                             "POINT",
                                                             "POLYLINE",
                                                             "RAY",
                                                             "REGION",
                                                             "ROTATEDDIMENSION",
                                                             "SOLID",
                                                             "SPLINE",
                                                             "TEXT",
                                                             "TRACE",
                                                             "XLINE"};
inline constexpr int kDefaultEntityIndex = 14; // "RAY"
inline constexpr int kLineEntityIndex = 9;

// The entity saved by the last Exit, as a text of the list: empty for a saved -1 (no selection),
// "RAY" when nothing usable is saved.
std::string savedEntity(const std::string& installLoc);

} // namespace darv
