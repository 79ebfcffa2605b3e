// The user's folders by number, from the XDG base and user directories.
#pragma once

#include <string>

namespace tzx::platform {

enum SpecialFolderNumber : int {
  kFolderDesktop = 0,
  kFolderDocuments = 5,
  kFolderMusic = 13,
  kFolderLocalAppData = 14,
  kFolderVideos = 15,
  kFolderPictures = 39,
  kFolderHome = 40,
  kFolderTemp = 41,
  kFolderDownloads = 42,
};

// The folder's path without a trailing separator; empty for an unknown number.
std::string SpecialFolderPath(int number);

}  // namespace tzx::platform
