#include "Figures.h"

#include <algorithm>
#include <cstdio>

double median(std::vector<double> values) {
    if (values.empty()) {
        return -1;
    }
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double worst(const std::vector<double>& values) {
    return values.empty() ? -1 : *std::max_element(values.begin(), values.end());
}

void Report::add(const std::string& figure, double value, const std::string& unit, double target) {
    m_rows.push_back({figure, value, unit, target});
}

void Report::print() const {
    std::printf("%-66s %10s   %-12s %s\n", "figure", "value", "target", "");
    for (const Row& row : m_rows) {
        char value[32];
        std::snprintf(value, sizeof value, "%.2f %s", row.value, row.unit.c_str());
        if (row.target < 0) {
            std::printf("%-66s %10s   %-12s\n", row.figure.c_str(), value, "(reference)");
            continue;
        }
        char target[32];
        std::snprintf(target, sizeof target, "< %g %s", row.target, row.unit.c_str());
        std::printf("%-66s %10s   %-12s %s\n", row.figure.c_str(), value, target,
                    row.value >= 0 && row.value < row.target ? "met" : "MISSED");
    }
}

int Report::missed() const {
    return static_cast<int>(std::count_if(m_rows.begin(), m_rows.end(), [](const Row& row) {
        return row.target >= 0 && !(row.value >= 0 && row.value < row.target);
    }));
}
