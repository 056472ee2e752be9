#include "FrameTimes.h"

#include <algorithm>
#include <numeric>

double FrameTimes::median() const {
    if (milliseconds.empty())
        return 0.0;
    std::vector<double> sorted = milliseconds;
    std::sort(sorted.begin(), sorted.end());
    size_t middle = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2.0;
}

double FrameTimes::mean() const {
    if (milliseconds.empty())
        return 0.0;
    return std::accumulate(milliseconds.begin(), milliseconds.end(), 0.0) /
           static_cast<double>(milliseconds.size());
}

double FrameTimes::fastest() const {
    if (milliseconds.empty())
        return 0.0;
    return *std::min_element(milliseconds.begin(), milliseconds.end());
}
