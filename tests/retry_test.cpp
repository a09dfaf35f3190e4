// The wait for a scanner to let go of a file, driven by a made-up operation: Wine never
// refuses these calls, Windows does for a moment while another program holds the file.
#include "platform/retry.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

constexpr unsigned long kSharingViolation = 32;
constexpr unsigned long kLockViolation = 33;
constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kFileNotFound = 2;

struct RetryCase {
    const char* name;
    std::vector<unsigned long> results;  // what each attempt gives; the last one repeats
    bool accessDeniedMayPass;            // the target is neither read-only nor a directory
    unsigned long expected;
    std::size_t attempts;
};

TEST(RetryWhileRefused, WaitsOutBriefRefusalsOnly) {
    const RetryCase cases[] = {
        {"success at once: no pause", {0}, true, 0, 1},
        {"a sharing violation that passes", {kSharingViolation, kSharingViolation, 0}, true, 0, 3},
        {"a lock violation that passes", {kLockViolation, 0}, true, 0, 2},
        {"access denied by a scanner that lets go", {kAccessDenied, kAccessDenied, 0}, true, 0, 3},
        {"access denied to a read-only file or directory is final", {kAccessDenied, 0}, false,
         kAccessDenied, 1},
        {"another error is final", {kFileNotFound, 0}, true, kFileNotFound, 1},
        {"a refusal that never passes gives up after about 2 s", {kSharingViolation}, true,
         kSharingViolation, 15},
    };
    for (const RetryCase& row : cases) {
        SCOPED_TRACE(row.name);
        std::size_t attempts = 0;
        std::vector<unsigned> pauses;
        const unsigned long result = RetryWhileRefused(
            [&] {
                const unsigned long given = row.results[std::min(attempts, row.results.size() - 1)];
                ++attempts;
                return given;
            },
            [&](unsigned long error) {
                return error == kSharingViolation || error == kLockViolation ||
                       (error == kAccessDenied && row.accessDeniedMayPass);
            },
            [&](unsigned ms) { pauses.push_back(ms); });
        EXPECT_EQ(result, row.expected);
        EXPECT_EQ(attempts, row.attempts);
        ASSERT_EQ(pauses.size(), attempts - 1) << "a pause between attempts, none after the last";
        for (std::size_t i = 0; i < pauses.size(); ++i) {
            EXPECT_EQ(pauses[i], std::min(kFirstPauseMs << i, kLongestPauseMs)) << "pause " << i;
        }
        EXPECT_LE(std::accumulate(pauses.begin(), pauses.end(), 0u), kAllPausesMs);
    }
}

}  // namespace
