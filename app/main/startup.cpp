#include "app/main/startup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "app/helpers/files.h"
#include "export/core/classes.h"
#include "export/core/translate.h"

namespace fs = std::filesystem;

namespace morvale {
namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string RuntimeFolder() {
  std::string dir = Env("XDG_RUNTIME_DIR");
  std::error_code ec;
  if (!dir.empty() && fs::is_directory(dir, ec)) return WithSlash(dir);
  std::string tmp = "/tmp/morvale-" + std::to_string(::getuid()) + "/";
  fs::create_directories(tmp, ec);
  fs::permissions(tmp, fs::perms::owner_all, ec);
  return tmp;
}

}  // namespace

std::string ResolveProgramFolder(const std::string& executable) {
  std::error_code ec;
  std::string home = Env("MORVALE_HOME");
  if (!home.empty()) {
    fs::create_directories(home, ec);
    return WithSlash(home);
  }
  std::string own = WithSlash(fs::path(executable).parent_path().string());
  if (fs::exists(own + "Morvale.ini", ec) && DriveWritable(own)) return own;
  std::string data = Env("XDG_DATA_HOME");
  if (data.empty()) data = Env("HOME") + "/.local/share";
  std::string folder = WithSlash(data) + "morvale/";
  fs::create_directories(folder, ec);
  return folder;
}

TSingleInstance::TSingleInstance(const std::string& executableName) : name_(executableName) {
  std::string path = RuntimeFolder() + executableName + ".lock";
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) return;
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
    result_ = siFirst;
  else
    result_ = errno == EWOULDBLOCK ? siRunning : siFailed;
}

TSingleInstance::~TSingleInstance() {
  if (fd_ >= 0) ::close(fd_);
}

std::string TSingleInstance::Message() const {
  if (result_ == siRunning)
    return Format(TranslateText("Startup", "Одна копия приложения : \"%s\" - уже работает"),
                  {name_});
  if (result_ == siFailed) return TranslateText("Startup", "Ошибка выделения памяти");
  return {};
}

}  // namespace morvale
