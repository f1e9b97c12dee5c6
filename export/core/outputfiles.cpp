#include "export/core/outputfiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace morvale {

int TOutputFiles::HeldLimit = 16;

struct TOutputFiles::TEntry {
  std::string name;    // as the caller gave it: what messages say
  std::string target;  // where the file lands: the name with its symbolic links followed
  bool direct = false;
  bool existed = false;
  struct stat old {};  // the replaced file's permissions and owner
  int fd = -1;         // the unnamed temporary, held until the commit
  std::string staged;  // or the named temporary in the staging folder
  std::string linked;  // the hidden name the unnamed temporary gets during the commit
  std::unique_ptr<TFileStream> stream;
};

struct TOutputFiles::TStaging {
  std::string path;  // ending in '/'
  int fd = -1;       // open and locked while the run lives
};

namespace {

// Every name a run gives its temporaries ends so; a later run removes only such names, and only
// when no live run holds their lock.
constexpr const char* kMark = ".morvale-part";

[[noreturn]] void Raise(const char* what, const std::string& name, int err) {
  throw Exception(std::string(what) + " '" + name + "': " + std::strerror(err));
}

std::string FolderOf(const std::string& path) {
  size_t p = path.rfind('/');
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string BaseOf(const std::string& path) {
  size_t p = path.rfind('/');
  return p == std::string::npos ? path : path.substr(p + 1);
}

// open() and mkdir() want a folder; the empty one is the working folder.
std::string Dir(const std::string& folder) {
  return folder.empty() ? std::string(".") : folder;
}

std::string Random() {
  static unsigned counter = 0;
  unsigned v = 0;
  if (getrandom(&v, sizeof v, 0) != sizeof v) v = static_cast<unsigned>(getpid()) * 2654435761u;
  v ^= ++counter;
  char text[16];
  std::snprintf(text, sizeof text, "%08x", v);
  return text;
}

// A hidden name beside `target`, short enough for any file system's 255 bytes.
std::string HiddenName(const std::string& target) {
  std::string base = BaseOf(target).substr(0, 200);
  return FolderOf(target) + "." + base + "." + Random() + kMark;
}

std::string ProcPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

// Symbolic links are written through: the link stays, the file it leads to is replaced.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::string link(PATH_MAX, '\0');
    ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n < 0) return path;
    link.resize(static_cast<size_t>(n));
    path = link.starts_with('/') ? link : FolderOf(path) + link;
  }
  return path;  // a loop of links: creating the file reports it
}

// Devices, pipes and the kernel's own files take their bytes as they come.
bool WrittenDirectly(const std::string& name) {
  if (name.starts_with("/dev/") || name.starts_with("/proc/")) return true;
  struct stat st;
  return ::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

bool EndsWithMark(std::string_view name) {
  return name.size() > std::strlen(kMark) + 1 && name.front() == '.' && name.ends_with(kMark);
}

// Removes a temporary (a hidden file or a staging folder) of a run that is gone: one that still
// runs holds its lock.
void RemoveStale(int dirFd, const char* name) {
  struct stat st;
  if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return;
  const bool folder = S_ISDIR(st.st_mode);
  if (!folder && !S_ISREG(st.st_mode)) return;
  int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | (folder ? O_DIRECTORY : 0);
  int fd = ::openat(dirFd, name, flags);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    if (folder) {
      if (DIR* d = ::fdopendir(::dup(fd))) {
        while (dirent* ent = ::readdir(d))
          if (std::strcmp(ent->d_name, ".") != 0 && std::strcmp(ent->d_name, "..") != 0)
            ::unlinkat(fd, ent->d_name, 0);
        ::closedir(d);
      }
    }
    ::unlinkat(dirFd, name, folder ? AT_REMOVEDIR : 0);
  }
  ::close(fd);
}

// The replaced file's owner, where the user may give it, and its permissions (after the owner:
// a change of owner clears the set-id bits).
void KeepAttributes(int fd, const std::string& path, const struct stat& old) {
  const mode_t mode = old.st_mode & 07777;
  // A user who may not give the file away keeps it as the user's own.
  if (fd >= 0) {
    (void)!::fchown(fd, old.st_uid, old.st_gid);
    ::fchmod(fd, mode);
  } else {
    (void)!::chown(path.c_str(), old.st_uid, old.st_gid);
    ::chmod(path.c_str(), mode);
  }
}

}  // namespace

TOutputFiles::TOutputFiles() = default;

TOutputFiles::~TOutputFiles() {
  Discard();
}

TOutputFiles::TEntry* TOutputFiles::Find(const std::string& fileName) const {
  for (const auto& e : entries_)
    if (e->name == fileName) return e.get();
  return nullptr;
}

void TOutputFiles::CleanFolderOnce(const std::string& folder) {
  if (std::find(cleaned_.begin(), cleaned_.end(), folder) != cleaned_.end()) return;
  cleaned_.push_back(folder);
  DIR* d = ::opendir(Dir(folder).c_str());
  if (!d) return;
  std::vector<std::string> stale;
  while (dirent* ent = ::readdir(d))
    if (EndsWithMark(ent->d_name)) stale.emplace_back(ent->d_name);
  for (const std::string& name : stale) RemoveStale(::dirfd(d), name.c_str());
  ::closedir(d);
}

TOutputFiles::TStaging* TOutputFiles::StagingFor(const std::string& folder) {
  auto found = staging_.find(folder);
  if (found != staging_.end()) return found->second.get();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto s = std::make_unique<TStaging>();
    s->path = folder + "." + Random() + kMark + "/";
    if (::mkdir(s->path.c_str(), 0700) != 0) {
      if (errno == EEXIST) continue;
      return nullptr;
    }
    s->fd = ::open(s->path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool locked = s->fd >= 0 && ::flock(s->fd, LOCK_EX) == 0;
    struct stat st {};
    if (locked && ::fstat(s->fd, &st) == 0 && st.st_nlink > 0)
      return staging_.emplace(folder, std::move(s)).first->second.get();
    const int err = errno;
    if (s->fd >= 0) ::close(s->fd);
    if (!locked) {
      ::rmdir(s->path.c_str());
      errno = err;
      return nullptr;
    }
    // A run that swept the folder between the mkdir and the lock took the new folder for a stale
    // one and removed it: another is made.
  }
  errno = EEXIST;
  return nullptr;
}

void TOutputFiles::OpenTemporary(TEntry& e) {
  const std::string folder = FolderOf(e.target);
  if (held_ < HeldLimit) {
    int fd = ::open(Dir(folder).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd >= 0) {
      // The lock marks the hidden name it gets during the commit as a live run's.
      ::flock(fd, LOCK_EX);
      int own = ::dup(fd);
      if (own < 0) {
        int err = errno;
        ::close(fd);
        Raise("Cannot create file", e.name, err);
      }
      e.fd = fd;
      ++held_;
      e.stream = std::make_unique<TFileStream>(own, e.name, ProcPath(fd), this);
      return;
    }
    // No unnamed files on this file system: a staged one instead.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
      Raise("Cannot create file", e.name, errno);
  }
  TStaging* s = StagingFor(folder);
  if (!s) Raise("Cannot create file", e.name, errno);
  e.staged = s->path + BaseOf(e.target);
  int fd = ::open(e.staged.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) Raise("Cannot create file", e.name, errno);
  e.stream = std::make_unique<TFileStream>(fd, e.name, e.staged, this);
}

TFileStream& TOutputFiles::Create(const std::string& fileName) {
  if (TEntry* e = Find(fileName)) {
    if (e->stream) e->stream->Close();
    if (e->direct) {
      e->stream = std::make_unique<TFileStream>(fileName, TFileStream::fmCreate);
    } else if (e->fd >= 0) {
      if (::ftruncate(e->fd, 0) != 0 || ::lseek(e->fd, 0, SEEK_SET) != 0)
        Raise("Cannot create file", fileName, errno);
      int own = ::dup(e->fd);
      if (own < 0) Raise("Cannot create file", fileName, errno);
      e->stream = std::make_unique<TFileStream>(own, fileName, ProcPath(e->fd), this);
    } else {
      int fd = ::open(e->staged.c_str(), O_RDWR | O_TRUNC | O_CLOEXEC);
      if (fd < 0) Raise("Cannot create file", fileName, errno);
      e->stream = std::make_unique<TFileStream>(fd, fileName, e->staged, this);
    }
    return *e->stream;
  }
  auto e = std::make_unique<TEntry>();
  e->name = fileName;
  e->direct = WrittenDirectly(fileName);
  if (e->direct) {
    e->stream = std::make_unique<TFileStream>(fileName, TFileStream::fmCreate);
  } else {
    e->target = FollowLinks(fileName);
    if (::stat(e->target.c_str(), &e->old) == 0) {
      if (S_ISDIR(e->old.st_mode)) Raise("Cannot create file", fileName, EISDIR);
      // A file the user may not write stays protected, as opening it for writing would.
      if (::access(e->target.c_str(), W_OK) != 0) Raise("Cannot create file", fileName, errno);
      e->existed = true;
    }
    CleanFolderOnce(FolderOf(e->target));
    OpenTemporary(*e);
  }
  entries_.push_back(std::move(e));
  return *entries_.back()->stream;
}

std::string TOutputFiles::OpenName(const std::string& fileName) const {
  TEntry* e = Find(fileName);
  if (!e) throw Exception("File '" + fileName + "' is not written by this run");
  // What the stream's buffer holds belongs to what is opened.
  e->stream->Flush();
  return e->stream->Path();
}

bool TOutputFiles::Existed(const std::string& fileName) const {
  const TEntry* e = Find(fileName);
  return e && e->existed;
}

std::string TOutputFiles::Read(const std::string& fileName) const {
  int fd = ::open(OpenName(fileName).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Raise("Cannot read", fileName, errno);
  std::string text;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int err = errno;
      ::close(fd);
      Raise("Cannot read", fileName, err);
    }
    if (n == 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return text;
}

void TOutputFiles::Commit() {
  for (const auto& e : entries_) e->stream->Close();
  // Every temporary durable and named before any target changes: a failure up to here leaves
  // all the targets as they were.
  for (const auto& e : entries_) {
    if (e->direct) continue;
    if (e->fd >= 0) {
      if (::fdatasync(e->fd) != 0) Raise("Cannot write to", e->name, errno);
      if (e->existed) KeepAttributes(e->fd, {}, e->old);
      for (int attempt = 0; e->linked.empty(); ++attempt) {
        std::string hidden = HiddenName(e->target);
        // Linking through /proc needs no privilege; AT_EMPTY_PATH is the way without /proc.
        if (::linkat(AT_FDCWD, ProcPath(e->fd).c_str(), AT_FDCWD, hidden.c_str(),
                     AT_SYMLINK_FOLLOW) == 0 ||
            ::linkat(e->fd, "", AT_FDCWD, hidden.c_str(), AT_EMPTY_PATH) == 0) {
          e->linked = hidden;
        } else if (errno != EEXIST || attempt >= 100) {
          Raise("Cannot write to", e->name, errno);
        }
      }
    } else if (e->existed) {
      KeepAttributes(-1, e->staged, e->old);
    }
  }
  for (const auto& [folder, s] : staging_)
    if (::syncfs(s->fd) != 0) Raise("Cannot write to", Dir(folder), errno);

  // The folders are not synced: after a power cut a folder shows the previous file or the new
  // one, both whole, which is the promise; QSaveFile keeps it the same way.
  for (const auto& e : entries_) {
    if (e->direct) continue;
    std::string& from = e->linked.empty() ? e->staged : e->linked;
    if (::rename(from.c_str(), e->target.c_str()) != 0) Raise("Cannot write to", e->name, errno);
    from.clear();
  }
  Discard();
}

void TOutputFiles::Discard() {
  for (const auto& e : entries_) {
    e->stream.reset();
    if (!e->linked.empty()) ::unlink(e->linked.c_str());
    if (!e->staged.empty()) ::unlink(e->staged.c_str());
    if (e->fd >= 0) ::close(e->fd);
  }
  entries_.clear();
  held_ = 0;
  for (const auto& [folder, s] : staging_) {
    ::rmdir(s->path.c_str());
    ::close(s->fd);
  }
  staging_.clear();
}

TFileStream& CreateBeside(TFileStream& main, const std::string& fileName,
                          std::unique_ptr<TFileStream>& owned) {
  if (TOutputFiles* files = main.Files()) return files->Create(fileName);
  owned = std::make_unique<TFileStream>(fileName, TFileStream::fmCreate);
  return *owned;
}

}  // namespace morvale
