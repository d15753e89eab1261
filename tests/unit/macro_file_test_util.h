#pragma once

// Real macro files in a temporary directory, for the macro file tests.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "store/macro_file.h"
#include "store/macro_record.h"

namespace quillomat::testutil {

using Bytes = std::vector<uint8_t>;

class TempDir {
 public:
  TempDir() {
    std::string pattern = testing::TempDir() + "qlx-test-XXXXXX";
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ToBytes(const store::MacroRecord& record) {
  Bytes bytes(store::kMacroRecordSize);
  record.ToBytes(bytes.data());
  return bytes;
}

inline Bytes Concat(const std::vector<store::MacroRecord>& records) {
  Bytes bytes;
  for (const auto& r : records) {
    const Bytes one = ToBytes(r);
    bytes.insert(bytes.end(), one.begin(), one.end());
  }
  return bytes;
}

inline store::MacroRecord SystemRecord(int digit) {
  store::MacroRecord r;
  const char d = static_cast<char>('0' + digit);
  r.nickname.Set(store::SystemMacroName(d));
  r.scope_name.Set(std::string(1, d));
  r.activation.Set(store::kFirstSystemHotKey + digit - 1);
  r.scope.Set(store::kScopeSystem);
  r.active = 1;
  return r;
}

inline std::vector<store::MacroRecord> SystemRecords() {
  return {SystemRecord(1), SystemRecord(2), SystemRecord(3), SystemRecord(4)};
}

// A record with every byte random, except a GLOBAL scope so that it is never a system macro.
inline store::MacroRecord RandomRecord(std::mt19937& rng) {
  uint8_t bytes[store::kMacroRecordSize];
  for (auto& b : bytes) b = static_cast<uint8_t>(rng());
  auto r = store::MacroRecord::FromBytes(bytes);
  r.scope.Set(store::kScopeGlobal);
  return r;
}

// The four system macros first, then count random records.
inline std::vector<store::MacroRecord> FileWithSystemMacros(int count, uint32_t seed = 1) {
  std::mt19937 rng(seed);
  auto records = SystemRecords();
  for (int i = 0; i < count; ++i) records.push_back(RandomRecord(rng));
  return records;
}

}  // namespace quillomat::testutil
