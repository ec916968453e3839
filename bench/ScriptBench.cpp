// Script load and save against a raw read and write of the same bytes, measured in the same run.
// Goals: load+normalise within 3x of the raw read, save within 2x of the raw write.
#include "script/ScriptFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const fs::path kFolder = fs::temp_directory_path() / "framequill-bench";
const fs::path kInput = kFolder / "script.txt";
const fs::path kOutput = kFolder / "saved.sub";

// A million lines of about 40 bytes, terminators mixed, a third of them untimed.
void MakeInput() {
    fs::create_directories(kFolder);
    std::string text;
    const char* terminators[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 1000000; ++i) {
        if (i % 3 != 0) {
            text += '{';
            text += std::to_string(i * 3);
            text += "}{";
            text += std::to_string(i * 3 + 2);
            text += '}';
        }
        text += "Subtitle line number ";
        text += std::to_string(i);
        text += " says hi";
        text += terminators[i % 3];
    }
    std::ofstream(kInput, std::ios::binary) << text;
}

std::string RawRead() {
    const int fd = ::open(kInput.c_str(), O_RDONLY);
    std::string bytes(fs::file_size(kInput), '\0');
    std::size_t filled = 0;
    for (ssize_t got;
         filled < bytes.size() && (got = ::read(fd, bytes.data() + filled, bytes.size() - filled)) > 0;)
        filled += static_cast<std::size_t>(got);
    ::close(fd);
    return bytes;
}

void RawReadAndFindLineEnds(benchmark::State& state) {
    for (auto _ : state) {
        const std::string bytes = RawRead();
        std::size_t lines = 0;
        for (const char* at = bytes.data();
             (at = static_cast<const char*>(std::memchr(at, '\n', bytes.data() + bytes.size() - at))) !=
             nullptr;
             ++at)
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
}

void LoadAndNormalise(benchmark::State& state) {
    for (auto _ : state) {
        framequill::Script lines = framequill::LoadScriptFile(kInput);
        framequill::NormaliseScript(lines);
        benchmark::DoNotOptimize(lines.data());
    }
}

void RawWrite(benchmark::State& state) {
    framequill::Script lines = framequill::LoadScriptFile(kInput);
    framequill::NormaliseScript(lines);
    const std::string bytes = framequill::JoinScriptText(lines);
    for (auto _ : state) {
        const int fd = ::open(kOutput.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
        ::fsync(fd);
        ::close(fd);
    }
}

void Save(benchmark::State& state) {
    framequill::Script lines = framequill::LoadScriptFile(kInput);
    framequill::NormaliseScript(lines);
    for (auto _ : state)
        framequill::SaveScriptFile(kOutput, lines);
}

BENCHMARK(RawReadAndFindLineEnds)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(LoadAndNormalise)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(RawWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Save)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps each benchmark's time so that the ratios can be printed once all have run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs)
            milliseconds_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void PrintRatios() const {
        std::printf("\nload+normalise / raw read: %.2fx (goal: at most 3x)\n",
                    milliseconds_.at("LoadAndNormalise/min_time:2.000") /
                        milliseconds_.at("RawReadAndFindLineEnds/min_time:2.000"));
        std::printf("save / raw write:          %.2fx (goal: at most 2x)\n",
                    milliseconds_.at("Save/min_time:2.000") / milliseconds_.at("RawWrite/min_time:2.000"));
    }

private:
    std::map<std::string, double> milliseconds_;
};

} // namespace

int main(int argc, char** argv) {
    MakeInput();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    fs::remove_all(kFolder);
}
