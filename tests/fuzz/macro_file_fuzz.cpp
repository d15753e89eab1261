// Any bytes as a macro file: the reader and the loader must neither crash nor change a byte
// that was there, and the tables must agree with the file.

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_event_loop.h"
#include "platform/sim/sim_hook_library.h"
#include "platform/sim/sim_message_boxes.h"
#include "startup/settings.h"
#include "store/macro_file.h"
#include "store/macro_file_io.h"

namespace {

using namespace quillomat;

const std::string& FilePath() {
  static const std::string path = [] {
    std::string dir = "/tmp/qlx-fuzz-XXXXXX";
    if (!mkdtemp(dir.data())) abort();
    return dir + "/fuzz.qlx";
  }();
  return path;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void Check(bool ok, const char* what) {
  if (!ok) {
    fprintf(stderr, "invariant broken: %s\n", what);
    abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = FilePath();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const int64_t rec = store::kMacroRecordSize;

  const auto all = store::ReadMacroFileRecords(path);
  Check(all.status == store::ReadStatus::kOk, "a regular file reads");
  Check(all.records_in_file * rec + all.trailing_bytes == static_cast<int64_t>(size), "sizes");
  Check(all.records.size() == static_cast<size_t>(all.records_in_file), "all records read");
  const auto few = store::ReadMacroFileRecords(path, 2);
  Check(few.records.size() == std::min<size_t>(2, all.records.size()), "limit honoured");
  Check(few.records_in_file == all.records_in_file, "limit keeps the size");

  auto settings = std::make_unique<startup::SettingsRecord>();
  auto index = std::make_unique<store::SharedIndex>();
  sim::SimHookLibrary hooks;
  sim::SimMessageBoxes boxes;
  sim::SimEventLoop loop;
  store::MacroFile file(*settings, *index, hooks, boxes, loop);
  file.LoadMacroFile(path);

  const int count = file.Count();
  Check(count >= 0 && count <= store::kMaxMacros, "count in range");
  Check(hooks.Shared().Count() == count, "count published");
  const std::vector<uint8_t> after = ReadAll(path);
  Check(after.size() >= size && std::memcmp(after.data(), data, size) == 0,
        "the loader never changes what the file held");
  if (all.trailing_bytes > 0 || all.records_in_file > store::kMaxMacros) {
    Check(after.size() == size, "nothing appended to a file that cannot take it");
  } else {
    Check(static_cast<int64_t>(after.size()) == count * rec, "the tables match the file");
  }
  for (int n = 1; n <= count; ++n) {
    store::MacroRecord r;
    Check(file.ReadMacro(n, r), "every loaded record reads");
    Check(index->Activation(n) == r.activation.Get(), "index entry");
    Check(index->ScopeName(n) == r.scope_name.Get().substr(0, 20), "scope name entry");
  }
  if (count > 0) {
    Check(file.DeleteMacro(1), "delete");
    const std::vector<uint8_t> deleted = ReadAll(path);
    Check(deleted.size() + rec == after.size() &&
              std::memcmp(deleted.data(), after.data() + rec, deleted.size()) == 0,
          "delete removes exactly the first record");
  }
  return 0;
}
