// File and folder names are bytes: Linux allows names that are not UTF-8 (a folder copied from an old
// machine, "CAF\xC9"). These helpers keep such bytes exactly while text rules apply to the rest.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace darv {

// The name cut into runs of valid UTF-8 and single bytes that are not: each piece once, in order.
struct NamePiece
{
    std::string_view bytes;
    bool validUtf8 = true;
};
std::vector<NamePiece> splitUtf8Runs(std::string_view name);

// Upper-cases the valid UTF-8 runs with the given Unicode rule and keeps every other byte as it is, so
// two different file names never become one drawing name.
std::string upperCaseName(std::string_view name, const std::function<std::string(const std::string&)>& upperUtf8);

// Whether the name is UTF-8 throughout (JSON and the window can then show it as it is).
bool isUtf8(std::string_view name);

// The bytes in base64 (RFC 4648, with padding): how JSON keeps a name that is not UTF-8 recoverable.
std::string base64(std::string_view bytes);

} // namespace darv
