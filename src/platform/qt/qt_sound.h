#pragma once

#include "platform/sound.h"

namespace quillomat::qtp {

// The bell through the desktop. WAV playback comes with the ALSA backend; until then a
// wave file plays silently, as a missing file does.
class QtSound : public platform::Sound {
 public:
  void PlayWave(const std::string& path, bool wait) override {}
  void Bell() override;
};

}  // namespace quillomat::qtp
