// The silhouette shared by the four folder backgrounds and by every icon the
// program makes from them: a folder with its tab at the top left and a
// one-pixel shadow.
#pragma once

#include <string>

namespace plumage {

inline constexpr int kFolderMaskSide = 32;

// 1024 characters, 32 rows of 32: '1' inside the folder (opaque), '0' outside
// (transparent). The text starts with the bottom image row and ends with the
// top one, which is the row order of an icon file's mask; within a row the
// characters run left to right.
const std::string& FolderMaskTemplate();

// True when pixel (x, y), y counted from the top, lies inside the folder.
// Pixels outside the 32 × 32 square are outside.
bool FolderMaskOpaque(int x, int y);

}  // namespace plumage
