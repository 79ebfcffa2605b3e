#include "platform/special_folders.h"

#include <fstream>

#include "platform/environment.h"

namespace tzx::platform {
namespace {

std::string Env(const char* name) {
  const char* v = EnvironmentValue(name);
  return v ? v : "";
}

std::string Home() {
  std::string home = Env("HOME");
  return home.empty() ? "/" : home;
}

// Reads one XDG_*_DIR entry of user-dirs.dirs; `fallback` under the home
// folder when the file or the entry is missing.
std::string UserDir(const char* key, const char* fallback) {
  std::string config = Env("XDG_CONFIG_HOME");
  if (config.empty()) config = Home() + "/.config";
  std::ifstream in(config + "/user-dirs.dirs");
  std::string line;
  const std::string prefix = std::string(key) + "=\"";
  while (std::getline(in, line)) {
    if (line.rfind(prefix, 0) != 0 || line.back() != '"') continue;
    std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    if (value.rfind("$HOME", 0) == 0) value = Home() + value.substr(5);
    if (!value.empty() && value[0] == '/') return value;
  }
  return Home() + "/" + fallback;
}

}  // namespace

std::string SpecialFolderPath(int number) {
  switch (number) {
    case kFolderDesktop:
      return UserDir("XDG_DESKTOP_DIR", "Desktop");
    case kFolderDocuments:
      return UserDir("XDG_DOCUMENTS_DIR", "Documents");
    case kFolderMusic:
      return UserDir("XDG_MUSIC_DIR", "Music");
    case kFolderVideos:
      return UserDir("XDG_VIDEOS_DIR", "Videos");
    case kFolderPictures:
      return UserDir("XDG_PICTURES_DIR", "Pictures");
    case kFolderDownloads:
      return UserDir("XDG_DOWNLOAD_DIR", "Downloads");
    case kFolderLocalAppData: {
      std::string data = Env("XDG_DATA_HOME");
      return data.empty() ? Home() + "/.local/share" : data;
    }
    case kFolderHome:
      return Home();
    case kFolderTemp: {
      std::string tmp = Env("TMPDIR");
      return tmp.empty() ? "/tmp" : tmp;
    }
    default:
      return "";
  }
}

}  // namespace tzx::platform
