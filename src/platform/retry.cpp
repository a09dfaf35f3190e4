#include "platform/retry.h"

#include <algorithm>

unsigned long RetryWhileRefused(const std::function<unsigned long()>& attempt,
                                const std::function<bool(unsigned long)>& mayPass,
                                const std::function<void(unsigned)>& pause) {
    unsigned waited = 0;
    unsigned next = kFirstPauseMs;
    for (;;) {
        const unsigned long result = attempt();
        if (result == 0 || !mayPass(result) || waited + next > kAllPausesMs) return result;
        pause(next);
        waited += next;
        next = std::min(next * 2, kLongestPauseMs);
    }
}
