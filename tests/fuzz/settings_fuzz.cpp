// Any bytes as the settings file: loading must not crash, saving it back and loading again must
// give the same settings, and the profile text must be stable once written.

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

#include "startup/profile_file.h"
#include "startup/settings_file.h"

namespace {

using namespace quillomat;

const std::string& Folder() {
  static const std::string dir = [] {
    std::string pattern = "/tmp/qlx-settings-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) abort();
    return pattern;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  startup::ProfileFile profile;
  profile.Parse(bytes);
  const std::string text = profile.Text();
  profile.Parse(text);
  if (profile.Text() != text) abort();

  const std::string in = Folder() + "/in.ini";
  const std::string out = Folder() + "/out.ini";
  std::ofstream(in, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
  unlink(out.c_str());

  startup::SettingsRecord first;
  if (!startup::LoadSettings(in, Folder(), first)) abort();
  if (!startup::SaveSettings(out, first)) return 0;  // e.g. a full disk: nothing to compare
  startup::SettingsRecord second;
  if (!startup::LoadSettings(out, Folder(), second)) abort();
  if (!(first == second)) abort();
  return 0;
}
