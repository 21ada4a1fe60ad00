#include "platform/widgets/Sound.h"

#include <QSoundEffect>
#include <QUrl>
#include <array>
#include <cstring>
#include <fstream>

namespace platform::widgets {

Sound::Sound() : effect_(std::make_unique<QSoundEffect>()) {}

Sound::~Sound() = default;

bool Sound::IsWave(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::array<char, 12> head{};
    if (!in.read(head.data(), head.size())) return false;
    return std::memcmp(head.data(), "RIFF", 4) == 0 && std::memcmp(head.data() + 8, "WAVE", 4) == 0;
}

bool Sound::Play(const std::string& path) {
    if (!IsWave(path)) return false;
    effect_->stop();
    effect_->setSource(QUrl::fromLocalFile(QString::fromStdString(path)));
    // Starts once loaded; a file the decoder refuses or no audio device ends silently.
    effect_->play();
    return true;
}

}  // namespace platform::widgets
