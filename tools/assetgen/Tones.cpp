// Short 16-bit mono tones, each a few notes with soft edges so that they do not click.
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "tools/assetgen/Assets.h"

namespace assetgen {

namespace {
constexpr int kRate = 22050;
constexpr double kVolume = 0.35;
constexpr double kFadeSeconds = 0.008;

struct Note {
    double hertz;  // 0: silence
    double seconds;
};

void Put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

std::string Wave(const std::vector<Note>& notes) {
    std::string samples;
    for (const Note& note : notes) {
        const int count = static_cast<int>(note.seconds * kRate);
        const int fade = static_cast<int>(kFadeSeconds * kRate);
        for (int i = 0; i < count; ++i) {
            double edge = 1;
            if (i < fade) edge = static_cast<double>(i) / fade;
            if (count - i < fade) edge = static_cast<double>(count - i) / fade;
            const double value =
                note.hertz > 0
                    ? kVolume * edge * std::sin(2 * std::numbers::pi * note.hertz * i / kRate)
                    : 0;
            Put16(samples, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value * 32767))));
        }
    }
    std::string out = "RIFF";
    Put32(out, static_cast<uint32_t>(36 + samples.size()));
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, kRate);
    Put32(out, kRate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out += "data";
    Put32(out, static_cast<uint32_t>(samples.size()));
    return out + samples;
}
}  // namespace

void WriteTones(const std::filesystem::path& assets) {
    const std::filesystem::path dir = assets / "sounds";
    WriteFile(dir / "OrderOk.wav", Wave({{880, 0.08}, {1175, 0.12}}));
    WriteFile(dir / "Connect.wav", Wave({{523, 0.08}, {659, 0.08}, {784, 0.12}}));
    WriteFile(dir / "Disconnect.wav", Wave({{784, 0.08}, {659, 0.08}, {523, 0.12}}));
    WriteFile(dir / "NoEquity.wav", Wave({{220, 0.15}, {0, 0.05}, {220, 0.15}}));
    WriteFile(dir / "Alert.wav", Wave({{988, 0.07}, {0, 0.05}, {988, 0.07}}));
    WriteFile(dir / "PriceChanged.wav",
              Wave({{1319, 0.05}, {0, 0.04}, {1319, 0.05}, {0, 0.04}, {1319, 0.05}}));
}

}  // namespace assetgen
