#include "desk/ui/DeskSound.h"

#include "platform/Paths.h"
#include "platform/widgets/Sound.h"
#include "runtime/Error.h"

namespace OrbanexDesk {

DeskSound::DeskSound(std::function<IfrmMain*()> frmMain, Sink sink)
    : frmMain_(std::move(frmMain)), sink_(std::move(sink)) {
    if (!sink_) {
        output_ = std::make_unique<platform::widgets::Sound>();
        sink_ = [this](const std::filesystem::path& file) { output_->Play(file.string()); };
    }
}

DeskSound::~DeskSound() = default;

void DeskSound::PlayWave(const std::string& FileName) {
    IfrmMain* frmMain = frmMain_ ? frmMain_() : nullptr;
    if (!frmMain) return;
    const bool allowed = frmMain->SoundAllowed();
    frmMain->setSoundAllowed(false);
    if (!allowed) return;
    std::filesystem::path file;
    try {
        file = platform::ResolvePath(FileName);
    } catch (const runtime::Error&) {
        return;  // a name no file can have plays nothing
    }
    sink_(file);
}

}  // namespace OrbanexDesk
