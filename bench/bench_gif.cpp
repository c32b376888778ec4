// Decoding GIF pictures against giflib on the same bytes: the whole test
// corpus (damaged files left out) and the banner-sized animation alone. Each
// benchmark times both decoders alternately in the same iterations and
// reports ours / giflib as "ratio" (target: 1.0 or less).
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/FileIO.h"
#include "media/GIFImage.h"

namespace {

std::vector<std::string> Load(bool bannerOnly) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(PICTURE_CORPUS)) {
        std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".gif" || name.find("damaged") != std::string::npos) continue;
        if (bannerOnly && name != "banner.gif") continue;
        files.push_back(ReadFileIfExists(entry.path().string()).value());
    }
    return files;
}

struct MemoryInput {
    const std::string* Bytes;
    size_t Pos = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int n) {
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    size_t take = std::min(static_cast<size_t>(n), in->Bytes->size() - in->Pos);
    std::memcpy(out, in->Bytes->data() + in->Pos, take);
    in->Pos += take;
    return static_cast<int>(take);
}

void DecodeWithGiflib(const std::string& bytes) {
    MemoryInput input{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&input, ReadMemory, &error);
    if (!gif) return;
    DGifSlurp(gif);
    benchmark::DoNotOptimize(gif->SavedImages);
    DGifCloseFile(gif, &error);
}

void DecodeOurs(const std::string& bytes) {
    TGIFImage image;
    image.LoadFromBytes(bytes);
    benchmark::DoNotOptimize(image.Frames.data());
}

template <class F>
double Seconds(F&& f) {
    auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Compare(benchmark::State& state, bool bannerOnly) {
    std::vector<std::string> files = Load(bannerOnly);
    if (files.empty()) {
        state.SkipWithError("no corpus; build the tests first");
        return;
    }
    double ours = 0, giflib = 0;
    size_t bytes = 0;
    for (auto _ : state) {
        giflib += Seconds([&] {
            for (const std::string& f : files) DecodeWithGiflib(f);
        });
        ours += Seconds([&] {
            for (const std::string& f : files) DecodeOurs(f);
        });
        for (const std::string& f : files) bytes += f.size();
    }
    state.counters["ratio"] = ours / giflib;
    state.counters["ours_ms"] = 1000 * ours / static_cast<double>(state.iterations());
    state.counters["giflib_ms"] = 1000 * giflib / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(bytes));
}

void BM_DecodeCorpus(benchmark::State& state) { Compare(state, false); }
void BM_DecodeBanner(benchmark::State& state) { Compare(state, true); }

// Composing every frame of the banner in order, incrementally, against
// copying the same number of screen-sized frames (memcpy).
void BM_ComposeBanner(benchmark::State& state) {
    std::vector<std::string> files = Load(true);
    if (files.empty()) {
        state.SkipWithError("no corpus; build the tests first");
        return;
    }
    TGIFImage image;
    image.LoadFromBytes(files[0]);
    std::vector<uint32_t> from(static_cast<size_t>(image.Width()) * image.Height(), 1), to(from.size());
    TGIFComposition composition;
    double compose = 0, copy = 0;
    for (auto _ : state) {
        compose += Seconds([&] {
            for (size_t i = 0; i < image.Frames.size(); ++i) composition.Compose(image, static_cast<int>(i), 0);
            benchmark::DoNotOptimize(composition.Pixels.data());
        });
        copy += Seconds([&] {
            for (size_t i = 0; i < image.Frames.size(); ++i) {
                std::memcpy(to.data(), from.data(), from.size() * 4);
                benchmark::ClobberMemory();
            }
        });
    }
    state.counters["ratio_to_memcpy"] = compose / copy;
}

}  // namespace

BENCHMARK(BM_DecodeCorpus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBanner)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeBanner)->Unit(benchmark::kMillisecond);
