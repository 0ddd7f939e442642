#pragma once
// The bare scan a benchmark's figure is set against: the rows its work reads, every column
// fetched and nothing computed, timed in the same run so that a busy machine shows in both.

#include "BenchTiming.h"
#include "core/Database.h"

#include <QString>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace rat::bench {

// Reads every row and column of each query; returns the number of rows.
inline qint64 scanRows(Database& db, const std::vector<QString>& queries)
{
    qint64 rows = 0;
    for (const QString& sql : queries) {
        Statement st(db, sql);
        while (st.next()) {
            for (int c = 0; c < st.columnCount(); ++c)
                (void)st.value(c);
            ++rows;
        }
    }
    return rows;
}

struct Paired {
    Figures work, scan;
    std::vector<double> ratio;  // work / scan of each run
};

// Each run times the work, then the scan.
inline Paired timeAgainstScan(int runs, const std::function<void()>& work, const std::function<void()>& scan)
{
    Paired p;
    for (int i = 0; i < runs; ++i) {
        const Figures w = time(1, work);
        const Figures s = time(1, scan);
        p.work.wall.push_back(w.wall.front());
        p.work.cpu.push_back(w.cpu.front());
        p.scan.wall.push_back(s.wall.front());
        p.scan.cpu.push_back(s.cpu.front());
        p.ratio.push_back(s.wall.front() > 0 ? w.wall.front() / s.wall.front() : 0.0);
    }
    return p;
}

inline double medianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The figure as report() prints it, then on the next line the bare scan and the ratio.
inline void reportAgainstScan(const char* what, const Paired& p)
{
    report(what, p.work);
    std::printf("    bare scan of its rows: median %7.2f ms; work / scan: median %5.1f\n", medianOf(p.scan.wall),
                medianOf(p.ratio));
}

} // namespace rat::bench
