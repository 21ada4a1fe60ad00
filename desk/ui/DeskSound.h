#pragma once
// PlayWave for the desk: plays a .wav file only while the accounts window allows
// a sound, and takes the allowance away on every call, played or not, so that
// its timer lets at most one sound through per period. Never waits: a missing,
// corrupt or unplayable file, or no audio device, plays nothing.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "desk/common/Ports.h"

namespace platform::widgets {
class Sound;
}

namespace OrbanexDesk {

class DeskSound : public ISound {
public:
    // Hands the resolved file to the output; must return at once.
    using Sink = std::function<void(const std::filesystem::path& file)>;

    // frmMain: the accounts window that holds the allowance (nullptr: no sound).
    // Without a sink the files go to the audio output.
    explicit DeskSound(std::function<IfrmMain*()> frmMain, Sink sink = {});
    ~DeskSound() override;
    DeskSound(const DeskSound&) = delete;
    DeskSound& operator=(const DeskSound&) = delete;

    // FileName: a full path, Windows-style separators allowed.
    void PlayWave(const std::string& FileName) override;

private:
    std::function<IfrmMain*()> frmMain_;
    Sink sink_;
    std::unique_ptr<platform::widgets::Sound> output_;
};

}  // namespace OrbanexDesk
