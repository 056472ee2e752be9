// A series of measurements and what the benchmark reports about them.
#pragma once

#include <vector>

struct Samples {
    std::vector<double> values;

    // Each is 0 when there are no values.
    double median() const;
    double mean() const;
    double minimum() const;
    double maximum() const;
};
