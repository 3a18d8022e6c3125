#pragma once

#include <algorithm>
#include <vector>

// The middle value of a run of timings (of an even number, the upper of the two middle ones).
inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
