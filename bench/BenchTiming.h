#pragma once
// Timing of the plain benchmark drivers: wall and processor time over repeated runs, printed
// as best and median.

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

namespace rat::bench {

// The number of runs the first argument asks for (at least one), `fallback` without it.
inline int runsArg(int argc, char* argv[], int fallback)
{
    return argc > 1 ? std::max(1, std::atoi(argv[1])) : fallback;
}

inline double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

struct Figures {
    std::vector<double> wall, cpu;
};

inline void report(const char* what, Figures f)
{
    std::sort(f.wall.begin(), f.wall.end());
    std::sort(f.cpu.begin(), f.cpu.end());
    std::printf("%-48s best %7.2f ms  median %7.2f ms  (processor: best %7.2f, median %7.2f)\n", what, f.wall.front(),
                f.wall[f.wall.size() / 2], f.cpu.front(), f.cpu[f.cpu.size() / 2]);
}

inline Figures time(int runs, const std::function<void()>& fn)
{
    Figures f;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const double c = cpuMs();
        fn();
        f.cpu.push_back(cpuMs() - c);
        f.wall.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return f;
}

} // namespace rat::bench
