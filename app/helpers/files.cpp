#include "app/helpers/files.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/helpers/helpers.h"
#include "export/core/inifile.h"

namespace fs = std::filesystem;

namespace morvale {

std::string UniqueFileName(const std::string& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) return path;
  fs::path p(path);
  std::string stem = (p.parent_path() / p.stem()).string();
  std::string ext = p.extension().string();
  for (int n = 1; n <= 999999; ++n) {
    std::string candidate = stem + "-" + std::to_string(n) + ext;
    if (!fs::exists(candidate, ec)) return candidate;
  }
  return path;
}

bool DriveWritable(const std::string& path) {
  std::string trimmed = TrimSpaces(path);
  if (trimmed.empty()) return false;
  std::error_code ec;
  fs::path folder(trimmed);
  if (!fs::is_directory(folder, ec)) folder = folder.parent_path();
  while (!folder.empty() && !fs::is_directory(folder, ec)) folder = folder.parent_path();
  if (folder.empty()) folder = ".";
  std::string probe = UniqueFileName((folder / "~!789.~~~").string());
  FILE* f = std::fopen(probe.c_str(), "wx");
  bool ok = f != nullptr;
  if (f) std::fclose(f);
  if (ok) ::unlink(probe.c_str());
  return ok;
}

void ForceFolders(const std::string& path) {
  std::error_code ec;
  fs::create_directories(fs::path(TrimSpaces(path)), ec);
}

int IniReadInt(const std::string& file, std::string_view section, std::string_view key, int def) {
  return TIniFile(file).ReadInteger(section, key, def);
}

bool IniReadBool(const std::string& file, std::string_view section, std::string_view key,
                 bool def) {
  return TIniFile(file).ReadBool(section, key, def);
}

void IniWriteInt(const std::string& file, std::string_view section, std::string_view key,
                 int value) {
  if (!DriveWritable(file)) return;
  TIniFile(file).WriteInteger(section, key, value);
}

void IniWriteBool(const std::string& file, std::string_view section, std::string_view key,
                  bool value) {
  if (!DriveWritable(file)) return;
  TIniFile(file).WriteBool(section, key, value);
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace morvale
