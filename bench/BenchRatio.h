#pragma once
// Times an operation against memcpy of the same number of bytes, the two
// interleaved in every iteration so that both see the same machine state.
// Reports the counters x_memcpy (operation time over memcpy time) and op_us
// (microseconds per operation).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

template <class Op>
void RunAgainstMemcpy(benchmark::State& state, size_t bytes, int repeats, Op&& op) {
    std::vector<unsigned char> from(bytes, 1), to(bytes, 2);
    using Clock = std::chrono::steady_clock;
    Clock::duration opTime{}, copyTime{};
    int64_t ops = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (int i = 0; i < repeats; ++i) op();
        auto t1 = Clock::now();
        for (int i = 0; i < repeats; ++i) {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::ClobberMemory();
        }
        auto t2 = Clock::now();
        opTime += t1 - t0;
        copyTime += t2 - t1;
        ops += repeats;
    }
    const double opSeconds = std::chrono::duration<double>(opTime).count();
    const double copySeconds = std::chrono::duration<double>(copyTime).count();
    state.counters["x_memcpy"] = copySeconds > 0 ? opSeconds / copySeconds : 0;
    state.counters["op_us"] = ops ? opSeconds * 1e6 / static_cast<double>(ops) : 0;
    state.counters["bytes"] = static_cast<double>(bytes);
}
