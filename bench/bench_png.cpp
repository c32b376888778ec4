// The crash reporter's screenshot encoding: a 1280 × 1024 screen of window
// content (flat areas, text-like detail) as PNG, and the log file's report
// comparison on a full log of 20 reports.
#include <cstdint>
#include <string>
#include <vector>

#include "BenchRatio.h"
#include "crash/LogItem.h"
#include "crash/PngEncoder.h"
#include "crash/Report.h"

namespace {

std::vector<uint8_t> Screen(int width, int height) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    uint32_t noise = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 3];
            bool window = x > 200 && x < 1000 && y > 150 && y < 800;
            bool text = window && (y / 14) % 2 == 0 && ((noise = noise * 1103515245 + 12345) >> 16) % 5 == 0;
            uint8_t v = text ? 0 : window ? 240 : static_cast<uint8_t>(y * 255 / height);
            p[0] = p[1] = v;
            p[2] = window ? 240 : 128;
        }
    return pixels;
}

void BM_ScreenshotPng(benchmark::State& state) {
    const int width = 1280, height = 1024;
    std::vector<uint8_t> pixels = Screen(width, height);
    std::string png;
    RunAgainstMemcpy(state, pixels.size(), 1, [&] { png = EncodePng(pixels.data(), width, height, width * 3); });
    state.counters["png_bytes"] = static_cast<double>(png.size());
}

void BM_DuplicateCheckOfFullLog(benchmark::State& state) {
    std::vector<std::string> stored;
    for (int i = 0; i < 20; ++i) {
        TReportData d;
        d.ExceptionClass = "EAccessViolation";
        d.ExceptionMessage = "Access violation " + std::to_string(i);
        for (int f = 0; f < 30; ++f)
            d.Stack.push_back({0x140001000u + f * 16, "plandesk.exe", 0x1000u + f * 16, "FMain", "Proc", f});
        stored.push_back(BuildReport(d).Text());
    }
    std::string report = stored.back();
    size_t bytes = 0;
    for (const std::string& s : stored) bytes += s.size();
    RunAgainstMemcpy(state, bytes, 1, [&] {
        TLogItem key = DuplicateKey(TLogItem::Parse(report));
        bool found = false;
        for (const std::string& s : stored) found |= DuplicateKey(TLogItem::Parse(s)).SameAs(key);
        benchmark::DoNotOptimize(found);
    });
}

}  // namespace

BENCHMARK(BM_ScreenshotPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DuplicateCheckOfFullLog)->Unit(benchmark::kMicrosecond);
