// Upper-casing of file names for tests of the Qt-free runs (the programs use Unicode rules through Qt).
#pragma once

#include <string>

namespace darv::test {

inline std::string upperAscii(const std::string& text)
{
    std::string result = text;
    for (char& c : result) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

} // namespace darv::test
