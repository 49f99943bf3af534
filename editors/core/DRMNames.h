#pragma once

#include <optional>
#include <string>
#include <utility>

struct TDRMPicture;

// The proposed export name "No(WidthxHeight).Type", with characters a file name cannot hold replaced.
std::string PictureFileName(const TDRMPicture& picture);

// Width and height from a RAW file's name (not its folders): "(width" "x" "height)".
std::optional<std::pair<int, int>> ParseRawBounds(const std::string& path);
