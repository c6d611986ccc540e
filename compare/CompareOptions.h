// The report options a comparison run works with, as the options panel holds them.
#pragma once

#include <string>

namespace darv {

struct CompareOptions
{
    bool timeCheck = true;   // "Time Matches"
    bool handleCheck = true; // "Entities =" / "Entities >"
    bool ageCheck = false;   // "DWG Age >="
    std::string entity = "RAY";
    std::string percent = "100"; // the threshold text as typed or chosen
    std::string age = "1 month"; // the age limit text as typed or chosen
};

} // namespace darv
