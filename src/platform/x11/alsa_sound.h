#pragma once

#include <memory>
#include <string>

#include "platform/sound.h"

namespace quillomat::x11 {

// The format of a playable WAV file: PCM, 8 or 16 bits, mono or stereo, any rate.
struct WaveFormat {
  int channels = 0;
  int bits = 0;
  unsigned rate = 0;
};

// Reads a WAV file's format and samples; false (and nothing played) for anything else.
bool ReadWave(const std::string& bytes, WaveFormat* format, std::string* samples);

// WAV files through ALSA's default device; the bell through the X server.
class AlsaSound : public platform::Sound {
 public:
  AlsaSound();
  ~AlsaSound() override;
  // A new sound stops the one still playing. A missing, unreadable or unplayable file, or a
  // machine without a sound device, is silent.
  void PlayWave(const std::string& path, bool wait) override;
  void Bell() override;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillomat::x11
