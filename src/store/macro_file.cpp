#include "store/macro_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

#include "platform/durable_file.h"
#include "platform/files.h"
#include "platform/local_time.h"
#include "store/recent_files.h"

namespace quillomat::store {

namespace {

constexpr int64_t kRecordBytes = static_cast<int64_t>(kMacroRecordSize);

int64_t RecordOffset(int n) { return static_cast<int64_t>(n - 1) * kRecordBytes; }

// Opens the current file for one operation; only a regular file counts.
int OpenRegular(const std::string& path, int flags, int64_t* size) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  *size = st.st_size;
  return fd;
}

}  // namespace

std::string SystemMacroName(char digit) {
  switch (digit) {
    case '1':
      return "Activate Quillomat";
    case '2':
      return "Start / Stop Capture";
    case '3':
      return "Resume Pause";
    case '4':
      return "Menu of Macros for Top Most Window";
    default:
      return {};
  }
}

void MacroFile::ClearTables() {
  const MacroRecord empty;
  for (int n = 1; n <= kMaxMacros; ++n) {
    index_.SetItem(n, empty);
    settings_.nicknames[n].clear();
    settings_.trigwords[n].clear();
  }
  index_.SetCount(0);
}

void MacroFile::StoreItem(int n, const MacroRecord& record) {
  index_.SetItem(n, record);
  settings_.nicknames[n] = record.nickname.Get();
  settings_.trigwords[n] = record.trigword.Get();
  hooks_.QlxUpItem(index_, n);
}

void MacroFile::PublishCount(int count) {
  index_.SetCount(count);
  hooks_.QlxUpNumKeys(index_);
}

bool MacroFile::Refuse() {
  boxes_.Show("Error", "Saving of keystrokes failed.");
  return false;
}

void MacroFile::WarnOnce(const std::string& kind, const std::string& text) {
  const std::string key = current_file_ + '\n' + kind;
  if (key == last_warning_) return;
  last_warning_ = key;
  boxes_.Show("Warning", text);
}

LoadStatus MacroFile::LoadMacroFile(const std::string& path) {
  current_file_ = path;
  settings_.current_file = path;
  writable_ = false;
  ClearTables();

  const MacroFileContents contents = ReadMacroFileRecords(path, kMaxMacros);
  if (contents.status == ReadStatus::kMissing) {
    last_warning_.clear();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 || ::close(fd) != 0) {
      PublishCount(0);
      boxes_.Show("Error", "New file could not be created.");
      return last_status_ = LoadStatus::kCreateFailed;
    }
    writable_ = true;
    PublishCount(0);
    last_status_ = LoadStatus::kCreated;
    EnsureSystemMacros();
    return last_status_;
  }
  if (contents.status == ReadStatus::kUnreadable) {
    last_warning_.clear();
    PublishCount(0);
    boxes_.Show("Error", "The macro file " + path + " could not be read (" + contents.error +
                             "). It has been left as it is, and no macros are loaded.");
    return last_status_ = LoadStatus::kUnreadable;
  }

  const int count = static_cast<int>(contents.records.size());
  for (int n = 1; n <= count; ++n) {
    index_.SetCount(n);
    StoreItem(n, contents.records[n - 1]);
  }
  PublishCount(count);
  writable_ = true;

  std::string warning;
  if (contents.records_in_file > kMaxMacros) {
    warning = "This macro file holds " + std::to_string(contents.records_in_file) +
              " macros, but only 500 can be loaded. The first 500 are loaded; the others stay "
              "in the file unchanged.";
  }
  if (contents.trailing_bytes > 0) {
    if (!warning.empty()) warning += "\n\n";
    warning += "The macro file ends in an incomplete macro (" +
               std::to_string(contents.trailing_bytes) +
               " bytes), which was not loaded. It stays in the file unchanged.";
  }
  if (warning.empty()) {
    last_warning_.clear();
    last_status_ = LoadStatus::kLoaded;
  } else {
    // Told once: reloading the same file (after every delete, say) does not repeat it.
    const std::string kind = std::string(contents.records_in_file > kMaxMacros ? "+" : "-") +
                             (contents.trailing_bytes > 0 ? "+" : "-");
    WarnOnce(kind, warning + "\n\nNew macros cannot be added to this file.");
    last_status_ = LoadStatus::kLoadedPart;
  }
  EnsureSystemMacros();
  return last_status_;
}

bool MacroFile::EnsureSystemMacros() {
  bool present[4] = {};
  for (int n = 1; n <= Count(); ++n) {
    if (index_.Scope(n) != kScopeSystem) continue;
    const std::string scope_name = index_.ScopeName(n);
    const std::string name = scope_name.empty() ? std::string() : SystemMacroName(scope_name[0]);
    if (name.empty()) continue;
    present[scope_name[0] - '1'] = true;
    if (settings_.nicknames[n] != name) settings_.nicknames[n] = name;
  }
  // A file that cannot take appends (the user has been told why) keeps what it has.
  if (!writable_ || last_status_ == LoadStatus::kLoadedPart) return false;
  for (int i = 0; i < 4; ++i) {
    if (present[i]) continue;
    const char digit = static_cast<char>('1' + i);
    MacroRecord record;
    record.nickname.Set(SystemMacroName(digit));
    record.scope_name.Set(std::string(1, digit));
    record.activation.Set(kFirstSystemHotKey + i);
    record.scope.Set(kScopeSystem);
    record.active = 1;
    record.last_modified.Set(platform::ToDayCount(loop_.Now()));
    if (!WriteMacro(-1, record)) return false;
  }
  return true;
}

bool MacroFile::ReadMacro(int n, MacroRecord& record) const {
  if (n < 1 || n > Count()) return false;
  int64_t size = 0;
  platform::UniqueFd fd(OpenRegular(current_file_, O_RDONLY, &size));
  if (fd.get() < 0) return false;
  uint8_t bytes[kMacroRecordSize];
  if (!platform::ReadAllAt(fd.get(), bytes, sizeof bytes, RecordOffset(n))) return false;
  record = MacroRecord::FromBytes(bytes);
  return true;
}

bool MacroFile::WriteMacro(int n, const MacroRecord& record) {
  const bool append = n == -1;
  if (append && Count() >= kMaxMacros) return false;
  if (!writable_ || (!append && (n < 1 || n > Count()))) return Refuse();
  const int position = append ? Count() + 1 : n;
  const int64_t offset = RecordOffset(position);

  int64_t size = 0;
  platform::UniqueFd fd(OpenRegular(current_file_, O_RDWR, &size));
  if (fd.get() < 0) return Refuse();
  // An append goes exactly where the loaded records end, and only if the file ends there:
  // bytes after them (an incomplete record, records beyond the limit, another program's
  // additions) are never overwritten.
  if (append ? size != offset : size < offset + kRecordBytes) return Refuse();

  uint8_t bytes[kMacroRecordSize];
  record.ToBytes(bytes);
  const bool written =
      platform::WriteAllAt(fd.get(), bytes, sizeof bytes, offset) && ::fsync(fd.get()) == 0;
  if (!written) {
    // A failed append leaves no partial record behind.
    if (append && ::ftruncate(fd.get(), offset) == 0) ::fsync(fd.get());
    return Refuse();
  }
  if (!fd.Close()) return Refuse();

  StoreItem(position, record);
  if (append) PublishCount(position);
  return true;
}

bool MacroFile::DeleteMacro(int n) {
  if (!writable_ || n < 1) return false;
  int64_t size = 0;
  platform::UniqueFd source(OpenRegular(current_file_, O_RDONLY, &size));
  if (source.get() < 0 || n > size / kRecordBytes) return false;

  const int64_t gap = RecordOffset(n);
  auto copy = [&](int out) {
    uint8_t buffer[64 * 1024];
    auto copy_range = [&](int64_t from, int64_t to) {  // to < 0: until the end of the file
      for (int64_t at = from; to < 0 || at < to;) {
        const size_t want =
            to < 0 ? sizeof buffer : static_cast<size_t>(std::min<int64_t>(sizeof buffer, to - at));
        const ssize_t got = ::pread(source.get(), buffer, want, at);
        if (got < 0) {
          if (errno == EINTR) continue;
          return false;
        }
        if (got == 0) {
          if (to < 0) return true;
          errno = EIO;  // the file shrank under us
          return false;
        }
        if (!platform::WriteAll(out, buffer, static_cast<size_t>(got))) return false;
        at += got;
      }
      return true;
    };
    return copy_range(0, gap) && copy_range(gap + kRecordBytes, -1);
  };
  return platform::ReplaceFileAtomically(current_file_, copy);
}

bool MacroFile::SetMacroActive(int n, bool active) {
  if (!writable_ || n < 1 || n > Count()) return false;
  int64_t size = 0;
  platform::UniqueFd fd(OpenRegular(current_file_, O_RDWR, &size));
  if (fd.get() < 0 || size < RecordOffset(n) + kRecordBytes) return false;
  // Only the one byte changes, so nothing else in the record can be torn.
  const uint8_t flag = active ? 1 : 0;
  if (!platform::WriteAllAt(fd.get(), &flag, 1, RecordOffset(n) + offsetof(MacroRecord, active)) ||
      ::fsync(fd.get()) != 0 || !fd.Close()) {
    return false;
  }
  index_.SetActive(n, active);
  hooks_.QlxUpItem(index_, n);
  return true;
}

bool MacroFile::OpenSaveFile(const std::string& path) {
  if (!platform::FileExists(path)) {
    boxes_.Show("Error", "File does not exist.");
    return false;
  }
  const std::string previous = current_file_;
  LoadMacroFile(path);
  DoLastFiles(previous, path);
  return true;
}

void MacroFile::DoLastFiles(const std::string& previous, const std::string& new_file) {
  store::DoLastFiles(settings_.last_files, previous, new_file);
}

}  // namespace quillomat::store
