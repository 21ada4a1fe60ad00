// orbanex_assetgen ASSETS_DIR: writes the files of a fresh program folder that
// are made rather than written by hand (the branding file, the tones, the
// command-bar images, the brand picture) into ASSETS_DIR. Deterministic:
// drawing uses no fonts.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <stdexcept>

#include "tools/assetgen/Assets.h"

namespace assetgen {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

namespace {
// Company name, web address, e-mail: one entry a line, CR LF as the desk writes.
void WriteBranding(const std::filesystem::path& assets) {
    WriteFile(assets / "Manage" / "dat.cmo",
              "Demo Brokerage\r\nwww.example.com\r\ndealing@example.com\r\n");
}
}  // namespace

}  // namespace assetgen

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ASSETS_DIR\n", argv[0]);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    try {
        const std::filesystem::path assets = argv[1];
        assetgen::WriteBranding(assets);
        assetgen::WriteTones(assets);
        assetgen::WriteImages(assets);
        assetgen::WriteBrandPicture(assets);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
