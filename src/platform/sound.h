#pragma once

#include <string>

namespace quillomat::platform {

class Sound {
 public:
  virtual ~Sound() = default;
  // Plays a WAV file, returning when it has finished if wait is set. A missing file is silent.
  virtual void PlayWave(const std::string& path, bool wait) = 0;
  virtual void Bell() = 0;
};

}  // namespace quillomat::platform
