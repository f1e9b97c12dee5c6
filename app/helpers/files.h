// File helpers of the desktop program: unique file names, the writable-folder probe,
// creating folders, and the settings file's one-value reads and writes.
#pragma once

#include <string>
#include <string_view>

namespace morvale {

// The path itself when no such file exists, else folder + base + "-" + n + extension for the
// first free n from 1 to 999 999; the path unchanged when all are taken.
std::string UniqueFileName(const std::string& path);

// Whether a file can be created in the folder of `path` (the nearest existing folder above it
// when it does not exist yet): a unique probe file is created there and deleted at once.
bool DriveWritable(const std::string& path);

// Creates the folder and every missing folder above it; failures are ignored.
void ForceFolders(const std::string& path);

// One value of a settings file; a missing file or key gives the default. Writes go nowhere when
// the file's folder is not writable.
int IniReadInt(const std::string& file, std::string_view section, std::string_view key, int def);
bool IniReadBool(const std::string& file, std::string_view section, std::string_view key, bool def);
void IniWriteInt(const std::string& file, std::string_view section, std::string_view key,
                 int value);
void IniWriteBool(const std::string& file, std::string_view section, std::string_view key,
                  bool value);

// Ends a folder text in '/'.
std::string WithSlash(std::string folder);

}  // namespace morvale
