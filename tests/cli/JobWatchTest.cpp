// The command line's watch for a stuck job: it counts the time the process
// ran without progress, not the time that passed.

#include "JobWatch.h"

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;

TEST(StallClock, CountsOnlyTheTimeTheProcessRan)
{
    struct Pass {
        std::chrono::milliseconds after; // since the pass before
        double share;
    };
    struct Case {
        const char* what;
        std::vector<Pass> passes;
        int stalledAt; // the pass that finds the job stalled; -1: none
    };
    auto still = [](int count, std::chrono::milliseconds after, double share) {
        return std::vector<Pass>(std::size_t(count), Pass{after, share});
    };
    auto join = [](std::vector<Pass> a, const std::vector<Pass>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::vector<Case> cases{
        {"moving", join(still(1, 0ms, 0.1), {{500ms, 0.2}, {500ms, 0.3}, {500ms, 0.4}}), -1},
        {"no progress for longer than the limit", still(12, 200ms, 0.5), 11},
        // Ctrl-Z, and `fg` ten minutes later: the job goes on.
        {"stopped for ten minutes", join(still(2, 100ms, 0.5), {{600s, 0.5}, {100ms, 0.5}, {100ms, 0.6}}), -1},
        // ... and one that moves once more, then is stuck, is found when
        // it has run the limit without progress.
        {"stopped, then stuck",
         join(join(still(2, 100ms, 0.5), {{600s, 0.5}, {100ms, 0.6}}), still(12, 200ms, 0.6)), 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cli::CStallClock clock(2s, 1s);
        auto now = cli::CStallClock::Clock::time_point{};
        int stalledAt = -1;
        for (std::size_t i = 0; i < c.passes.size() && stalledAt < 0; ++i) {
            now += c.passes[i].after;
            if (clock.Pass(now, c.passes[i].share))
                stalledAt = int(i);
        }
        EXPECT_EQ(stalledAt, c.stalledAt);
    }
}
