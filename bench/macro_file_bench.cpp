// Loading a full macro file: 500 records read, stored in the tables and published.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "activation/publishing_hook_library.h"
#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_message_boxes.h"
#include "startup/settings.h"
#include "store/macro_file.h"

namespace {

using namespace quillomat;

std::string MakeFile() {
  std::string dir = std::filesystem::temp_directory_path().string() + "/qlx-bench-XXXXXX";
  if (!mkdtemp(dir.data())) abort();
  const std::string path = dir + "/full.qlx";
  std::ofstream out(path, std::ios::binary);
  std::mt19937 rng(1);
  for (int n = 1; n <= store::kMaxMacros; ++n) {
    store::MacroRecord r;
    r.nickname.Set("Macro " + std::to_string(n));
    r.scope.Set(n <= 4 ? store::kScopeSystem : store::kScopeGlobal);
    r.scope_name.Set(n <= 4 ? std::to_string(n) : "");
    r.activation.Set(n <= 4 ? store::kFirstSystemHotKey + n - 1 : rng() % 720);
    r.active = 1;
    r.SetText(std::string(1000, 'x'));
    uint8_t bytes[store::kMacroRecordSize];
    r.ToBytes(bytes);
    out.write(reinterpret_cast<const char*>(bytes), sizeof bytes);
  }
  return path;
}

void BM_LoadMacroFile500(benchmark::State& state) {
  const std::string path = MakeFile();
  auto settings = std::make_unique<startup::SettingsRecord>();
  auto index = std::make_unique<store::SharedIndex>();
  auto shared = std::make_unique<store::SharedIndex>();
  activation::PublishingHookLibrary hooks(reinterpret_cast<uint8_t*>(shared.get()));
  sim::SimMessageBoxes boxes;
  sim::SimEventLoop loop;
  store::MacroFile file(*settings, *index, hooks, boxes, loop);
  for (auto _ : state) {
    if (file.LoadMacroFile(path) != store::LoadStatus::kLoaded || file.Count() != 500) {
      state.SkipWithError("load failed");
      break;
    }
  }
  std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}
BENCHMARK(BM_LoadMacroFile500)->Unit(benchmark::kMillisecond);

}  // namespace
