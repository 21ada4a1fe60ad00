#pragma once
// The pieces of the asset generator: each writes its files under the folder given.
#include <filesystem>
#include <string>

namespace assetgen {

// Bytes as they go to disk; raises std::runtime_error when the file cannot be written.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// sounds/*.wav: the desk's six short tones.
void WriteTones(const std::filesystem::path& assets);
// "images and icons/QDsk/": the command-bar icons (.ico) and pictures (.png).
void WriteImages(const std::filesystem::path& assets);
// Manage/ufd.jpg: the about box's brand picture.
void WriteBrandPicture(const std::filesystem::path& assets);

}  // namespace assetgen
