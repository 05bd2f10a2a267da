#include "ChildMeasure.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

Measurement MeasureInChild(const std::function<void()>& prepare, const std::function<void()>& run,
                           int rounds) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        std::exit(1);
    pid_t pid = fork();
    if (pid == 0) {
        std::vector<double> times;
        for (int i = 0; i < rounds; ++i) {
            prepare();
            auto start = std::chrono::steady_clock::now();
            run();
            auto stop = std::chrono::steady_clock::now();
            times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
        }
        std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
        rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        Measurement m{times[static_cast<std::size_t>(rounds / 2)], *std::ranges::min_element(times),
                      usage.ru_maxrss};
        ssize_t ignored = write(pipeFds[1], &m, sizeof m);
        (void)ignored;
        _exit(0);
    }
    Measurement m;
    close(pipeFds[1]);
    if (read(pipeFds[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m))
        m = {-1, -1, -1};
    close(pipeFds[0]);
    waitpid(pid, nullptr, 0);
    return m;
}
