// Micro-benchmarks: every selection kernel this processor runs (bytes of
// input a second, over one 64 KiB block of each input) and the report's
// formatter (lines a second, into a report file).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "comparison/selection.h"
#include "report/report.h"
#include "runtime/io_error.h"

namespace {

constexpr size_t kBlock = 65536;

enum Data { kIdentical, kRandom };

struct Workload {
  const char* name;
  Data data;
  Selection selection;
};

// Bytes, then values of every width in either byte order.
const Workload kWorkloads[] = {
    {"identical", kIdentical, {}},
    {"random", kRandom, {}},
    {"random_a_d", kRandom, {.ascending = true, .descending = true}},
    {"random_s", kRandom, {.step = true, .anyStep = true}},
    {"w2_a_d", kRandom, {.ascending = true, .descending = true, .width = 2}},
    {"w2_b_s", kRandom, {.step = true, .anyStep = true, .width = 2, .bigEndian = true}},
    {"w4_a_d", kRandom, {.ascending = true, .descending = true, .width = 4}},
    {"w4_b_a_d", kRandom, {.ascending = true, .descending = true, .width = 4, .bigEndian = true}},
    {"w8_s", kRandom, {.step = true, .anyStep = true, .width = 8}},
    {"w8_b_a_d", kRandom, {.ascending = true, .descending = true, .width = 8, .bigEndian = true}},
    {"w4_identical", kIdentical, {.width = 4}},
    {"random_v",
     kRandom,
     {.knownValues = true, .lowest = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, .highest = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}},
    {"w8_ranges",
     kRandom,
     {.width = 8,
      .knownValues = true,
      .lowest = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
      .highest = {1ull << 62, 1ull << 62, 1ull << 62, 1ull << 62, 1ull << 62, 1ull << 62, 1ull << 62, 1ull << 62,
                  1ull << 62, 1ull << 62}}},
};

std::vector<std::vector<uint8_t>> MakeBlocks(Data data, int count) {
  std::mt19937 random(7);
  std::vector<std::vector<uint8_t>> blocks(count, std::vector<uint8_t>(kBlock));
  for (int k = 0; k < count; ++k) {
    for (uint8_t& byte : blocks[k]) byte = static_cast<uint8_t>(random());
    if (data == kIdentical && k > 0) blocks[k] = blocks[0];
  }
  return blocks;
}

void Kernel(benchmark::State& state, int kernel, const Workload& workload, int count) {
  const std::vector<std::vector<uint8_t>> data = MakeBlocks(workload.data, count);
  const uint8_t* blocks[kMostFiles];
  for (int k = 0; k < count; ++k) blocks[k] = data[k].data();
  std::vector<uint32_t> indexes(kBlock);
  UseSelectionKernel(kernel);
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindSelected(blocks, count, kBlock, workload.selection, indexes.data()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBlock) * count);
}

// Two and ten inputs, each byte different: one line a position.
void Formatter(benchmark::State& state, int count) {
  char path[] = "/tmp/zev-bench-report-XXXXXX";
  const int scratch = mkstemp(path);
  if (scratch >= 0) close(scratch);
  std::string names[kMostFiles];
  for (int k = 0; k < count; ++k) names[k] = "input" + std::to_string(k);
  uint8_t bytes[kMostFiles];
  int64_t lines = 0;
  OpenReport({.name = path});
  WriteReportHeader(names, count, 0x7FFFFFFF);
  for (auto _ : state) {
    for (int k = 0; k < count; ++k) bytes[k] = static_cast<uint8_t>(lines * (k + 1));
    WriteDifferenceLine(lines, bytes, count);
    if (++lines % (1 << 22) == 0) {
      // Keeps the scratch file small: the report starts again.
      state.PauseTiming();
      CloseReport();
      OpenReport({.name = path});
      state.ResumeTiming();
    }
  }
  CloseReport();
  unlink(path);
  state.SetItemsProcessed(state.iterations());
  if (TakeIoError() != 0) state.SkipWithError("the report could not be written");
}

void RegisterAll() {
  for (int kernel = 0; kernel < SelectionKernelCount(); ++kernel) {
    for (const Workload& workload : kWorkloads) {
      for (int count : {2, 10}) {
        const std::string name =
            std::string("Kernel/") + SelectionKernelName(kernel) + "/" + workload.name + "/" + std::to_string(count);
        benchmark::RegisterBenchmark(name.c_str(), Kernel, kernel, workload, count);
      }
    }
  }
  for (int count : {2, 10}) {
    benchmark::RegisterBenchmark(("Formatter/" + std::to_string(count)).c_str(), Formatter, count);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RegisterAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
