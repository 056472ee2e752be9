// Frame times in milliseconds and what the benchmark reports about them.
#pragma once

#include <vector>

struct FrameTimes {
    std::vector<double> milliseconds;

    double median() const;
    double mean() const;
    double fastest() const;
};
