// What "Full Defs" sends a connected controller, in order, as (command, data
// in hex): the default configuration, then the byte settings read again. Both
// front ends' end-to-end tests expect exactly this at the simulator.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace velkor::e2e {

inline std::vector<std::pair<int, std::string>> FullDefsTraffic() {
    return {
        {9, "23CFF0"}, {9, "187F"},
        {9, "1907"},   {9, "1A00"},
        {9, "1B00"},   {9, "21" + std::string(97 * 2, '0')},
        {9, "1101"},   {9, "20" + std::string(96 * 2, 'F') + "0000"},
        {36, ""},      {19, ""},
        {34, ""},      {8, "11"},
        {8, "1A"},     {8, "1B"},
    };
}

} // namespace velkor::e2e
