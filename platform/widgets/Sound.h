#pragma once
// Plays short .wav files, fire and forget: Play returns at once. A missing file,
// one that is not RIFF/WAVE, or a machine without audio plays nothing.
#include <memory>
#include <string>

class QSoundEffect;

namespace platform::widgets {

class Sound {
public:
    Sound();
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // False when the file was refused; true when it was handed to the audio output.
    bool Play(const std::string& path);

    static bool IsWave(const std::string& path);

private:
    std::unique_ptr<QSoundEffect> effect_;
};

}  // namespace platform::widgets
