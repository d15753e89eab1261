#include "platform/durable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quillomat::platform {

namespace {

std::string ErrnoText(int err) { return std::strerror(err); }

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

}  // namespace

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) ::close(fd_);
}

bool UniqueFd::Close() {
  const int fd = fd_;
  fd_ = -1;
  return fd < 0 || ::close(fd) == 0;
}

std::string ReplacementTarget(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_symlink(path, ec)) {
    auto target = std::filesystem::canonical(path, ec);
    if (!ec) return target.string();
  }
  return path;
}

bool ReplaceFileAtomically(const std::string& path, const std::function<bool(int fd)>& fill,
                           std::string* error) {
  auto fail = [&](const std::string& what, int err) {
    if (error) *error = what + ": " + ErrnoText(err);
    return false;
  };
  const std::string target = ReplacementTarget(path);
  std::string dir = std::filesystem::path(target).parent_path().string();
  if (dir.empty()) dir = ".";

  mode_t mode = 0666 & ~CurrentUmask();
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return fail("cannot replace " + target, EISDIR);
    mode = st.st_mode & 07777;
  }

  std::string temp = dir + "/.qlx-tmp-XXXXXX";
  UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) return fail("cannot create a temporary file in " + dir, errno);
  auto abandon = [&](const std::string& what) {
    const int err = errno;
    fd.Close();
    ::unlink(temp.c_str());
    return fail(what, err);
  };
  if (::fchmod(fd.get(), mode) != 0) return abandon("cannot set the permissions of " + temp);
  if (!fill(fd.get())) return abandon("cannot write " + temp);
  if (::fsync(fd.get()) != 0) return abandon("cannot flush " + temp);
  if (!fd.Close()) {
    const int err = errno;
    ::unlink(temp.c_str());
    return fail("cannot write " + temp, err);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return fail("cannot rename " + temp + " to " + target, err);
  }
  // The new name must survive a power cut too. Some file systems cannot flush a directory;
  // the replacement has happened all the same, so that is not a failure.
  UniqueFd dir_fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir_fd.get() >= 0) ::fsync(dir_fd.get());
  return true;
}

bool WriteAllAt(int fd, const void* data, size_t size, int64_t offset) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, bytes + done, size - done, offset + static_cast<int64_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, bytes + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool ReadAllAt(int fd, void* data, size_t size, int64_t offset) {
  auto* bytes = static_cast<uint8_t*>(data);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, bytes + done, size - done, offset + static_cast<int64_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace quillomat::platform
