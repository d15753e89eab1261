#include "platform/posix/posix_named_objects.h"

#include <fcntl.h>
#include <semaphore.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillomat::posix {

namespace {

class PosixBlock : public platform::SharedBlock {
 public:
  PosixBlock(uint8_t* data, size_t size) : data_(data), size_(size) {}
  ~PosixBlock() override { munmap(data_, size_); }
  uint8_t* Data() override { return data_; }
  size_t Size() const override { return size_; }

 private:
  uint8_t* data_;
  size_t size_;
};

class PosixMutex : public platform::NamedMutex {
 public:
  explicit PosixMutex(sem_t* sem) : sem_(sem) {}
  ~PosixMutex() override { sem_close(sem_); }

 private:
  sem_t* sem_;
};

}  // namespace

std::string PosixNamedObjects::UserObjectName(const std::string& name) {
  return "/" + name + "-" + std::to_string(getuid());
}

std::unique_ptr<platform::SharedBlock> PosixNamedObjects::CreateBlock(const std::string& name,
                                                                      size_t size) {
  const std::string full = UserObjectName(name);
  const int fd = shm_open(full.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (fstat(fd, &st) != 0 || st.st_uid != getuid() || (st.st_mode & 077) != 0) {
    close(fd);
    return nullptr;
  }
  // A new object is zero-filled by growing it; an existing one keeps its contents.
  if (static_cast<size_t>(st.st_size) < size && ftruncate(fd, static_cast<off_t>(size)) != 0) {
    close(fd);
    return nullptr;
  }
  void* data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  if (data == MAP_FAILED) return nullptr;
  return std::make_unique<PosixBlock>(static_cast<uint8_t*>(data), size);
}

std::unique_ptr<platform::NamedMutex> PosixNamedObjects::CreateMutex(const std::string& name) {
  const std::string full = UserObjectName(name);
  sem_t* sem = sem_open(full.c_str(), O_CREAT, 0600, 1);
  if (sem == SEM_FAILED) return nullptr;
  // Named semaphores live in /dev/shm as "sem." + name: refuse one that another user owns.
  struct stat st {};
  const std::string path = "/dev/shm/sem." + full.substr(1);
  if (stat(path.c_str(), &st) == 0 && st.st_uid != getuid()) {
    sem_close(sem);
    return nullptr;
  }
  return std::make_unique<PosixMutex>(sem);
}

}  // namespace quillomat::posix
