#pragma once
// The benchmark's report: every figure printed with its target beside it, and whether it is met.

#include <string>
#include <vector>

double median(std::vector<double> values);
double worst(const std::vector<double>& values);

class Report {
public:
    // A figure with an upper bound; `target` < 0 prints it for reference only.
    void add(const std::string& figure, double value, const std::string& unit, double target);
    void print() const;
    int missed() const;

private:
    struct Row {
        std::string figure;
        double value = 0;
        std::string unit;
        double target = -1;
    };
    std::vector<Row> m_rows;
};
