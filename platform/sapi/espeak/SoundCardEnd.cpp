// SPDX-License-Identifier: GPL-3.0-or-later
// The sound card, through pcaudiolib (PulseAudio, then ALSA). pcaudiolib
// has no locking of its own; the voice's worker thread is its only caller.
#include <alsa/asoundlib.h>
#include <pcaudiolib/audio.h>

#include "platform/sapi/espeak/AudioEnd.h"

namespace platform {

namespace {

// Where there is no sound card ALSA would print its complaints on the
// host's terminal.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

class SoundCardEnd : public AudioEnd {
 public:
  ~SoundCardEnd() override {
    if (m_device) {
      if (m_open) audio_object_close(m_device);
      audio_object_destroy(m_device);
    }
  }

  bool Open(int sampleRate) override {
    snd_lib_error_set_handler(QuietAlsa);
    m_device = create_audio_device_object(nullptr, "narro", "Speech");
    if (!m_device) return false;
    m_open = audio_object_open(m_device, AUDIO_OBJECT_FORMAT_S16LE,
                               static_cast<uint32_t>(sampleRate), 1) == 0;
    return m_open;
  }

  void BeginUtterance(uint64_t) override {}
  void Write(const int16_t* samples, size_t count) override {
    audio_object_write(m_device, samples, count * sizeof(int16_t));
  }
  void Flush() override { audio_object_flush(m_device); }
  void Drain() override { audio_object_drain(m_device); }
  void EndUtterance() override {}

 private:
  audio_object* m_device = nullptr;
  bool m_open = false;
};

}  // namespace

std::unique_ptr<AudioEnd> MakeSoundCardEnd() {
  return std::make_unique<SoundCardEnd>();
}

}  // namespace platform
