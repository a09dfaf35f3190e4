#pragma once
// Windows refuses to delete, link or replace a file for a moment while another program (a
// virus scanner, the search indexer, a sync client) holds it open without sharing deletion; they
// open files right after they are written. Such refusals are waited out briefly.
#include <functional>

// Pauses between attempts, in milliseconds: 1, 2, 4, ... up to 250 each, about 2 s in all.
constexpr unsigned kFirstPauseMs = 1;
constexpr unsigned kLongestPauseMs = 250;
constexpr unsigned kAllPausesMs = 2000;

// Runs attempt, which gives 0 on success or an error code, until it succeeds, fails with a code
// for which mayPass is false, or the pauses have reached kAllPausesMs. pause waits (tests give
// one that only records). Gives the last attempt's result.
unsigned long RetryWhileRefused(const std::function<unsigned long()>& attempt,
                                const std::function<bool(unsigned long)>& mayPass,
                                const std::function<void(unsigned)>& pause);
