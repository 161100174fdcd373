// The randomized sequences: a few hundred seeds in every run of the suite, and a timed run
// for `make fuzz` (disabled in the suite):
//
//     make fuzz SECONDS=600     # random seeds for ten minutes
//     make fuzz SEED=1234       # one seed again, shortened when it fails
//
// OLM_FUZZ_SEQUENCES=n and OLM_FUZZ_FIRST=s make the eight shards run seeds s to s + n - 1.
//
// A failure prints its seed and the shortest sequence found that still fails.

#include "CalendarFuzz.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <random>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

constexpr std::size_t kLength = 40;

std::optional<double> environmentNumber(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::strtod(value, nullptr);
}

// Runs one seed; on failure, reports it with its shortened sequence. True when it passed.
bool runSeed(std::uint64_t seed) {
    cal::fuzz::setCurrentSeed(seed);
    const auto sequence = cal::fuzz::generate(seed, kLength);
    const auto failure = cal::fuzz::run(sequence);
    if (!failure) return true;
    const auto shortened = cal::fuzz::shrink(sequence, *failure);
    const auto again = cal::fuzz::run(shortened);
    ADD_FAILURE() << "seed " << seed << ": " << failure->check << " after step " << failure->step << " ("
                  << failure->detail << ")\nshortened to " << shortened.size() << " steps ("
                  << (again ? again->detail : std::string("no longer fails alone")) << "):\n"
                  << cal::fuzz::describe(shortened) << "replay: make fuzz SEED=" << seed;
    return false;
}

// Runs the sequence in a child process, so that a crash or a leak is a failure like the
// others and can be shortened too. `quiet` silences the child's reports.
std::optional<cal::fuzz::Failure> runIsolated(const cal::fuzz::Sequence& sequence, bool quiet) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return cal::fuzz::run(sequence);
    if (pid == 0) {
        if (quiet) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
            dup2(null, STDOUT_FILENO);
        }
        int code = cal::fuzz::run(sequence) ? 1 : 0;
#if defined(__SANITIZE_ADDRESS__)
        if (code == 0 && __lsan_do_recoverable_leak_check() != 0) code = 2;
#endif
        std::fflush(nullptr);
        _exit(code);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return std::nullopt;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 1) return cal::fuzz::run(sequence);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) return cal::fuzz::Failure{"leak", "memory leaked", sequence.size()};
    const int signal = WIFSIGNALED(status) ? WTERMSIG(status) : -1;
    return cal::fuzz::Failure{"crash", "ended by signal " + std::to_string(signal), sequence.size()};
}

// One seed again, in child processes: its failure, crash included, shortened and printed.
void replaySeed(std::uint64_t seed) {
    cal::fuzz::setCurrentSeed(seed);
    const auto sequence = cal::fuzz::generate(seed, kLength);
    const auto failure = runIsolated(sequence, false);
    if (!failure) {
        std::cout << "fuzz: seed " << seed << " runs clean" << std::endl;
        return;
    }
    const auto shortened = cal::fuzz::shrink(
        sequence, *failure, [](const cal::fuzz::Sequence& s) { return runIsolated(s, true); });
    ADD_FAILURE() << "seed " << seed << ": " << failure->check << " (" << failure->detail << ")\nshortened to "
                  << shortened.size() << " steps:\n"
                  << cal::fuzz::describe(shortened);
}

} // namespace

// Eight shards of 40 seeds, so that the test runner spreads them over the cores.
class CalendarFuzzShard : public ::testing::TestWithParam<int> {};

TEST_P(CalendarFuzzShard, SeededSequencesKeepTheInvariants) {
    cal::fuzz::installCrashReport();
    const auto perShard = static_cast<std::uint64_t>(environmentNumber("OLM_FUZZ_SEQUENCES").value_or(320) / 8);
    const auto offset = static_cast<std::uint64_t>(environmentNumber("OLM_FUZZ_FIRST").value_or(1) - 1);
    const auto first = offset + static_cast<std::uint64_t>(GetParam()) * perShard + 1;
    for (std::uint64_t seed = first; seed < first + perShard; ++seed) {
        if (!runSeed(seed)) break;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, CalendarFuzzShard, ::testing::Range(0, 8));

TEST(CalendarFuzz, ASequenceRunsTheSameWhateverRanBefore) {
    // A replay must show what the failing run showed: the same states and frames, whether the
    // sequence runs first in a fresh process or after others.
    const std::uint64_t seeds[] = {22, 6, 21, 32};
    std::vector<std::uint64_t> first;
    for (std::uint64_t seed : seeds)
        first.push_back(cal::fuzz::digestOf(cal::fuzz::generate(seed, kLength)));
    for (std::size_t i = std::size(seeds); i-- > 0;)
        EXPECT_EQ(cal::fuzz::digestOf(cal::fuzz::generate(seeds[i], kLength)), first[i]) << "seed " << seeds[i];
}

TEST(CalendarFuzz, DISABLED_TimedRun) {
    cal::fuzz::installCrashReport();
    if (const char* seed = std::getenv("OLM_FUZZ_SEED"); seed != nullptr && *seed != '\0') {
        replaySeed(std::strtoull(seed, nullptr, 10));
        return;
    }
    const double seconds = environmentNumber("OLM_FUZZ_SECONDS").value_or(60);
    std::random_device device;
    std::uint64_t seed = (static_cast<std::uint64_t>(device()) << 32) | device();
    const auto start = std::chrono::steady_clock::now();
    long sequences = 0;
    bool clean = true;
    while (clean && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() < seconds) {
        clean = runSeed(++seed);
        ++sequences;
    }
    std::cout << "fuzz: " << sequences << " sequences of " << kLength << " steps in "
              << std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() << " s, "
              << (clean ? "all clean" : "stopped at the first failure") << std::endl;
}
