#include "desk/ui/DeskSound.h"

#include <algorithm>

#include "platform/Paths.h"
#include "platform/widgets/Sound.h"
#include "runtime/Error.h"

namespace OrbanexDesk {

namespace {
// The sessions write "<program folder>\sounds\<name>": the part after the folder
// resolves like any desk path, without regard to letter case.
std::filesystem::path SoundFile(const std::string& fileName) {
    std::string name = fileName;
    std::replace(name.begin(), name.end(), '\\', '/');
    const std::string folder = platform::ProgramFolder().string() + "/";
    if (name.starts_with(folder)) return platform::ResolvePath(name.substr(folder.size()));
    return platform::ResolvePath(fileName);
}
}  // namespace

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
        file = SoundFile(FileName);
    } catch (const runtime::Error&) {
        return;  // a name no file can have plays nothing
    }
    sink_(file);
}

}  // namespace OrbanexDesk
