#include "store/macro_file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/durable_file.h"

namespace quillomat::store {

namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

// Reads up to size bytes, retrying short reads; returns the count, or -1 on an error.
ssize_t ReadUpTo(int fd, uint8_t* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

}  // namespace

MacroFileContents ReadMacroFileRecords(const std::string& path, size_t max_records) {
  MacroFileContents out;
  // O_NONBLOCK so that a FIFO by that name cannot hang the reader; it is refused below.
  platform::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) {
    const int err = errno;
    out.status = (err == ENOENT || err == ENOTDIR) ? ReadStatus::kMissing : ReadStatus::kUnreadable;
    out.error = out.status == ReadStatus::kMissing ? "does not exist" : ErrnoText(err);
    return out;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    out.status = ReadStatus::kUnreadable;
    out.error = ErrnoText(errno);
    return out;
  }
  if (!S_ISREG(st.st_mode)) {
    out.status = ReadStatus::kUnreadable;
    out.error = S_ISDIR(st.st_mode) ? "is a directory" : "is not a regular file";
    return out;
  }
  const auto expected = static_cast<uint64_t>(st.st_size) / kMacroRecordSize;
  out.records.reserve(static_cast<size_t>(std::min<uint64_t>(expected, max_records)));
  uint8_t buffer[kMacroRecordSize];
  while (out.records.size() < max_records) {
    const ssize_t n = ReadUpTo(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      out = MacroFileContents{};
      out.status = ReadStatus::kUnreadable;
      out.error = ErrnoText(errno);
      return out;
    }
    if (static_cast<size_t>(n) < sizeof buffer) {
      out.records_in_file = static_cast<int64_t>(out.records.size());
      out.trailing_bytes = n;
      return out;
    }
    out.records.push_back(MacroRecord::FromBytes(buffer));
  }
  // The limit was reached: the size tells what lies beyond it.
  if (::fstat(fd.get(), &st) != 0) st.st_size = 0;
  const int64_t read_bytes = static_cast<int64_t>(out.records.size() * kMacroRecordSize);
  const int64_t size = std::max<int64_t>(st.st_size, read_bytes);
  out.records_in_file = size / static_cast<int64_t>(kMacroRecordSize);
  out.trailing_bytes = size % static_cast<int64_t>(kMacroRecordSize);
  return out;
}

}  // namespace quillomat::store
