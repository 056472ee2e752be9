#include "Samples.h"

#include <algorithm>
#include <numeric>

double Samples::median() const {
    if (values.empty())
        return 0.0;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    size_t middle = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2.0;
}

double Samples::mean() const {
    if (values.empty())
        return 0.0;
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

double Samples::minimum() const {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

double Samples::maximum() const {
    return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}
