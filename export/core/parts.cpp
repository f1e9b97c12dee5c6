#include "export/core/parts.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "export/core/namepattern.h"
#include "export/core/outputfiles.h"
#include "export/core/sha256.h"

namespace morvale {

namespace {

struct TUnit {
  const char* Suffix;
  int64_t Factor;
};

constexpr int64_t kKi = 1024, kK = 1000;
constexpr TUnit kUnits[] = {
    {"KiB", kKi}, {"MiB", kKi* kKi}, {"GiB", kKi* kKi* kKi}, {"TiB", kKi* kKi* kKi* kKi},
    {"KB", kK},   {"MB", kK* kK},    {"GB", kK* kK* kK},     {"TB", kK* kK* kK* kK},
    {"K", kKi},   {"M", kKi* kKi},   {"G", kKi* kKi* kKi},   {"T", kKi* kKi* kKi* kKi},
    {"B", 1},     {"", 1},
};

bool EndsWithText(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && SameText(s.substr(s.size() - end.size()), end);
}

std::string FolderOf(const std::string& path) {
  size_t p = path.rfind('/');
  return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

void AppendJsonString(std::string_view s, std::string& out) {
  out += '"';
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", u);
      out += esc;
    } else {
      out += c;
    }
  }
  out += '"';
}

// Counts and hashes the bytes on their way to the file. A flush mid-part is not passed on: the
// file's own buffer writes when it is full.
class THashStream : public TStream {
 public:
  explicit THashStream(TStream& target) : target_(target) {}
  using TStream::Write;
  void Write(const void* data, size_t size) override {
    sha_.Update(data, size);
    written_ += static_cast<int64_t>(size);
    target_.Write(data, size);
  }
  int64_t Position() const override { return written_; }
  std::string Digest() { return sha_.FinalHex(); }

 private:
  TStream& target_;
  TSha256 sha_;
  int64_t written_ = 0;
};

}  // namespace

bool ParseByteSize(std::string_view text, int64_t& bytes) {
  text = TrimView(text);
  for (const TUnit& u : kUnits) {
    if (!EndsWithText(text, u.Suffix)) continue;
    std::string_view digits = TrimView(text.substr(0, text.size() - std::strlen(u.Suffix)));
    int64_t n = 0;
    auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (digits.empty() || ec != std::errc() || p != digits.data() + digits.size() || n <= 0 ||
        n > (int64_t{1} << 62) / u.Factor)
      return false;
    bytes = n * u.Factor;
    return true;
  }
  return false;
}

std::string ByteSizeText(int64_t bytes) {
  const char* names[] = {"T", "G", "M", "K"};
  int64_t factor = kKi * kKi * kKi * kKi;
  for (const char* name : names) {
    if (bytes >= factor && bytes % factor == 0) return std::to_string(bytes / factor) + name;
    factor /= kKi;
  }
  return std::to_string(bytes);
}

std::string PartFileName(const std::string& fileName, int part, bool splits,
                         TCompression compression) {
  const std::string ext = CompressionExtension(compression);
  std::string name = fileName;
  if (!ext.empty() && EndsWithText(name, ext)) name.resize(name.size() - ext.size());
  if (HasPartField(name)) {
    name = ExpandPartField(name, part);
  } else if (splits) {
    const std::string number = ExpandPartField("${part}", part);
    const size_t base = name.rfind('/') == std::string::npos ? 0 : name.rfind('/') + 1;
    const size_t dot = name.rfind('.');
    // A leading dot makes a hidden name, not an extension.
    const size_t at = dot != std::string::npos && dot > base ? dot : name.size();
    name.insert(at, ".part" + number);
  }
  return name + ext;
}

std::string ManifestFileName(const std::string& fileName) {
  std::string name = fileName;
  for (size_t at = name.find("${part}"); at != std::string::npos; at = name.find("${part}")) {
    size_t from = at, count = 7;
    if (from > 0 && std::string_view("._- ").find(name[from - 1]) != std::string_view::npos) {
      --from;
      ++count;
    }
    name.erase(from, count);
  }
  return name + ".manifest.json";
}

// What the exporter's writer writes to: the current part's first stream.
class TPartWriter::TPartStream : public TStream {
 public:
  explicit TPartStream(TPartWriter& owner) : owner_(owner) {}
  using TStream::Write;
  void Write(const void* data, size_t size) override;
  int64_t Position() const override;
  void Flush() override;

 private:
  TPartWriter& owner_;
};

struct TPartWriter::TPart {
  std::string name;
  TFileStream* file = nullptr;
  std::unique_ptr<THashStream> hash;
  std::unique_ptr<TCompressStream> compress;
  std::unique_ptr<TEncodingStream> encode;
  TStream* head = nullptr;
  // The bytes the size limit counts: after the encoding, before the compression.
  int64_t Size() const { return compress ? compress->Position() : hash->Position(); }
};

void TPartWriter::TPartStream::Write(const void* data, size_t size) {
  owner_.part_->head->Write(data, size);
}

int64_t TPartWriter::TPartStream::Position() const {
  return owner_.part_->head->Position();
}

void TPartWriter::TPartStream::Flush() {
  owner_.part_->head->Flush();
}

TPartWriter::TPartWriter(const TOutputParts& parts, TOutputFiles& files, std::string fileName,
                         TTextEncoding encoding)
    : parts_(parts),
      files_(files),
      fileName_(std::move(fileName)),
      encoding_(encoding),
      stream_(std::make_unique<TPartStream>(*this)) {
  Open();
}

TPartWriter::~TPartWriter() = default;

TStream& TPartWriter::Stream() {
  return *stream_;
}

void TPartWriter::Open() {
  auto p = std::make_unique<TPart>();
  p->name = PartFileName(fileName_, static_cast<int>(done_.size()) + 1, parts_.Splits(),
                         parts_.Compression);
  p->file = &files_.Create(p->name);
  p->hash = std::make_unique<THashStream>(*p->file);
  p->head = p->hash.get();
  if (parts_.Compression != cmpNone) {
    p->compress = std::make_unique<TCompressStream>(*p->head, parts_.Compression, p->name);
    p->head = p->compress.get();
  }
  // Each part is a file of its own: its own byte order mark, its characters never cut.
  if (TextEncodingConverts(encoding_)) {
    p->encode = std::make_unique<TEncodingStream>(*p->head, encoding_);
    p->head = p->encode.get();
  }
  part_ = std::move(p);
  rows_ = 0;
}

bool TPartWriter::Due() {
  if (rows_ == 0) return false;
  if (parts_.SplitRows > 0 && rows_ >= parts_.SplitRows) return true;
  if (parts_.SplitSize <= 0) return false;
  if (part_->encode) part_->encode->Flush();  // what waits for conversion counts too
  return part_->Size() >= parts_.SplitSize;
}

void TPartWriter::Close() {
  TPart& p = *part_;
  if (p.encode) p.encode->Finish();
  if (p.compress) p.compress->Finish();
  p.file->Close();
  done_.push_back({p.name, rows_, p.hash->Position(), p.hash->Digest()});
  part_.reset();
}

void TPartWriter::Next() {
  Close();
  Open();
}

void TPartWriter::Finish() {
  Close();
  if (parts_.Manifest) WriteManifest();
}

void TPartWriter::WriteManifest() {
  const std::string name = ManifestFileName(fileName_);
  const std::string folder = FolderOf(name);
  int64_t rows = 0;
  std::string text = "{\n  \"files\": [";
  for (size_t i = 0; i < done_.size(); ++i) {
    const TPartFile& f = done_[i];
    rows += f.Rows;
    // Names relative to the manifest, so the folder can move as a whole.
    std::string_view listed = f.FileName;
    if (FolderOf(f.FileName) == folder) listed.remove_prefix(folder.size());
    text += i ? ",\n    {" : "\n    {";
    text += "\"name\": ";
    AppendJsonString(listed, text);
    text += ", \"rows\": " + std::to_string(f.Rows) + ", \"bytes\": " + std::to_string(f.Bytes) +
            ", \"sha256\": \"" + f.Sha256 + "\"}";
  }
  text += "\n  ],\n  \"rows\": " + std::to_string(rows) + ",\n  \"compression\": \"" +
          CompressionName(parts_.Compression) + "\"\n}\n";
  TFileStream& out = files_.Create(name);
  out.Write(text);
  out.Close();
}

}  // namespace morvale
