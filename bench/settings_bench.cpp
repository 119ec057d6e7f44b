// The settings files in memory: KV.set loaded and saved, LocalConfig.Txt read.
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>

#include "bench/in_memory_files.h"
#include "bindings/key_map.h"
#include "settings/local_config.h"
#include "settings/rankings.h"
#include "settings/settings_store.h"

namespace cfg::bench {
namespace {

constexpr char kGameFolder[] = "C:\\Games\\KV";
constexpr char kSettingsPath[] = ".\\Data\\KV.set";
constexpr char kLocalConfigPath[] = ".\\LocalConfig\\LocalConfig.Txt";

// What a player's LocalConfig.Txt holds: comments, blank lines and one
// DataPath entry naming a folder with Japanese in it.
constexpr char kLocalConfigText[] =
    "// LocalConfig.Txt\r\n"
    "//   DataPath <folder>   the folder the game keeps its data in\r\n"
    "//   Lines starting with // are notes.\r\n"
    "\r\n"
    "// \x83\x66\x81\x5B\x83\x5E\x82\xCC\x8F\xEA\x8F\x8A\r\n"  // "データの場所" in CP932
    "DataPath\tD:\\Games\\KV\\\x83\x5A\x81\x5B\x83\x75\\\r\n"  // ...\セーブ\ in CP932
    "\r\n"
    "// End of file\r\n";

SettingsRecord DefaultRecord() {
  SettingsRecord record;
  BuildDefaultKeyMaps(record, false);
  ResetRankingTables(record);
  WriteDefaultSettings(record);
  return record;
}

std::string RecordBytes(const SettingsRecord& record) {
  return std::string(record.bytes.begin(), record.bytes.end());
}

// The files are tens of kilobytes: on the heap, once per run.
std::unique_ptr<InMemoryFiles> GameFolder() {
  return std::make_unique<InMemoryFiles>(kGameFolder);
}

void LoadSettingsFile(benchmark::State& state) {
  const std::unique_ptr<InMemoryFiles> files = GameFolder();
  files->Put(kSettingsPath, RecordBytes(DefaultRecord()));
  SettingsRecord record;
  for (auto _ : state) {
    const std::optional<uint64_t> size = LoadRecordFile(*files, kSettingsPath, record);
    benchmark::DoNotOptimize(size);
    benchmark::DoNotOptimize(record.bytes.data());
  }
  if (record.bytes != DefaultRecord().bytes) state.SkipWithError("the record did not load");
}
BENCHMARK(LoadSettingsFile);

// Written beside the file and put in its place, as every save does.
void SaveSettingsFile(benchmark::State& state) {
  const std::unique_ptr<InMemoryFiles> files = GameFolder();
  const SettingsRecord record = DefaultRecord();
  for (auto _ : state) {
    const bool saved = SaveRecordFile(*files, kSettingsPath, record);
    benchmark::DoNotOptimize(saved);
  }
  SettingsRecord loaded;
  LoadRecordFile(*files, kSettingsPath, loaded);
  if (loaded.bytes != record.bytes) state.SkipWithError("the record was not saved");
}
BENCHMARK(SaveSettingsFile);

void ReadLocalConfigFile(benchmark::State& state) {
  const std::unique_ptr<InMemoryFiles> files = GameFolder();
  files->Put(kLocalConfigPath, kLocalConfigText);
  std::string priorDirectory;
  for (auto _ : state) {
    files->SetCurrentDirectory(kGameFolder);
    priorDirectory = ReadLocalConfig(*files);
    benchmark::DoNotOptimize(priorDirectory.data());
  }
  if (priorDirectory != std::string(kGameFolder) + "\\") {
    state.SkipWithError("the DataPath entry was not applied");
  }
}
BENCHMARK(ReadLocalConfigFile);

}  // namespace
}  // namespace cfg::bench
