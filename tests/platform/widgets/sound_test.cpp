#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdint>
#include <fstream>
#include <string>

#include "WidgetsTesting.h"
#include "platform/widgets/Sound.h"

namespace {

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A valid 8 kHz mono 8-bit wave of a few samples.
std::string TinyWave() {
    auto u32 = [](uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                           static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
    };
    auto u16 = [](uint16_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8)};
    };
    const std::string samples(64, '\x80');
    return "RIFF" + u32(36 + samples.size()) + "WAVE" + "fmt " + u32(16) + u16(1) + u16(1) +
           u32(8000) + u32(8000) + u16(1) + u16(8) + "data" + u32(samples.size()) + samples;
}

TEST(Sound, RefusesWhatIsNoWaveAndNeverWaits) {
    widgets_testing::App();
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString();
    Write(base + "/ok.wav", TinyWave());
    Write(base + "/text.wav", "not a sound at all");
    Write(base + "/short.wav", "RIFF");
    Write(base + "/riff.wav", "RIFF\x10\0\0\0AVI LIST");

    platform::widgets::Sound sound;
    struct Case {
        const char* name;
        bool played;
    } const cases[] = {{"/missing.wav", false},
                       {"/text.wav", false},
                       {"/short.wav", false},
                       {"/riff.wav", false},
                       {"", false}};
    for (const Case& c : cases) EXPECT_EQ(sound.Play(base + c.name), c.played) << c.name;
    // A real wave is only checked, not played: the audio back end's loader thread
    // outlives the never-freed test application and can crash the process at exit.
    EXPECT_TRUE(platform::widgets::Sound::IsWave(base + "/ok.wav"));
    widgets_testing::Turn();
}

}  // namespace
