#include "platform/x11/alsa_sound.h"

#include <X11/Xlib.h>
#include <alsa/asoundlib.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/x11/x11_errors.h"

namespace quillomat::x11 {

namespace {

uint32_t Le32(const std::string& b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

uint16_t Le16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) |
                               static_cast<unsigned char>(b[at + 1]) << 8);
}

// ALSA reports a missing device on stderr; here that is simply silence.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

bool ReadWave(const std::string& b, WaveFormat* format, std::string* samples) {
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return false;
  bool have_format = false;
  WaveFormat f;
  for (size_t at = 12; at + 8 <= b.size();) {
    const std::string id = b.substr(at, 4);
    const uint64_t size = Le32(b, at + 4);
    const size_t body = at + 8;
    const size_t available = b.size() - body;
    if (id == "fmt ") {
      if (size < 16 || available < 16) return false;
      uint16_t tag = Le16(b, body);
      if (tag == 0xFFFE && size >= 40 && available >= 40) tag = Le16(b, body + 24);
      if (tag != 1) return false;  // PCM only
      f.channels = Le16(b, body + 2);
      f.rate = Le32(b, body + 4);
      f.bits = Le16(b, body + 14);
      if ((f.channels != 1 && f.channels != 2) || (f.bits != 8 && f.bits != 16) || f.rate < 1000 ||
          f.rate > 384000) {
        return false;
      }
      have_format = true;
    } else if (id == "data") {
      if (!have_format) return false;
      // A data size past the end (a file cut short) plays what is there.
      const size_t n = static_cast<size_t>(std::min<uint64_t>(size, available));
      const size_t frame = static_cast<size_t>(f.channels * f.bits / 8);
      *samples = b.substr(body, n - n % frame);
      *format = f;
      return true;
    }
    at = body + static_cast<size_t>(std::min<uint64_t>(size + (size & 1), available));
  }
  return false;
}

struct AlsaSound::Impl {
  std::mutex mu;
  std::thread player;
  std::atomic<bool> stop{false};
  Display* dpy = nullptr;

  void StopPlaying() {
    stop = true;
    if (player.joinable()) player.join();
    stop = false;
  }

  static void Play(const WaveFormat f, const std::string samples, std::atomic<bool>* stop) {
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return;
    const snd_pcm_format_t format = f.bits == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    if (snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, f.channels, f.rate, 1,
                           200000) < 0) {
      snd_pcm_close(pcm);
      return;
    }
    const size_t frame = static_cast<size_t>(f.channels * f.bits / 8);
    const size_t frames = samples.size() / frame;
    size_t done = 0;
    while (done < frames && !*stop) {
      const size_t chunk = std::min<size_t>(frames - done, f.rate / 20 + 1);
      snd_pcm_sframes_t n = snd_pcm_writei(pcm, samples.data() + done * frame, chunk);
      if (n < 0) n = snd_pcm_recover(pcm, static_cast<int>(n), 1);
      if (n < 0) break;
      done += static_cast<size_t>(n);
    }
    if (*stop) {
      snd_pcm_drop(pcm);
    } else {
      snd_pcm_drain(pcm);
    }
    snd_pcm_close(pcm);
  }
};

AlsaSound::AlsaSound() : impl_(std::make_unique<Impl>()) { snd_lib_error_set_handler(QuietAlsa); }

AlsaSound::~AlsaSound() {
  impl_->StopPlaying();
  if (impl_->dpy) {
    RemoveErrorTrap(impl_->dpy);
    XCloseDisplay(impl_->dpy);
  }
}

void AlsaSound::PlayWave(const std::string& path, bool wait) {
  std::lock_guard lock(impl_->mu);
  impl_->StopPlaying();
  std::ifstream file(path, std::ios::binary);
  if (!file) return;
  std::stringstream bytes;
  bytes << file.rdbuf();
  WaveFormat format;
  std::string samples;
  if (!ReadWave(bytes.str(), &format, &samples)) return;
  impl_->player = std::thread(Impl::Play, format, std::move(samples), &impl_->stop);
  if (wait) impl_->player.join();
}

void AlsaSound::Bell() {
  std::lock_guard lock(impl_->mu);
  if (!impl_->dpy) {
    impl_->dpy = XOpenDisplay(nullptr);
    if (!impl_->dpy) return;
    InstallErrorTrap(impl_->dpy);
  }
  XBell(impl_->dpy, 0);
  XFlush(impl_->dpy);
}

}  // namespace quillomat::x11
