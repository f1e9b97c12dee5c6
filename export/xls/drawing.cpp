// The drawing layer: the workbook's drawing group with its picture store, and each sheet's
// drawing. A sheet's shapes go one per MSODRAWING record, each followed by the OBJ record that
// names it (and for a note its text box, TXO and text, for a chart its sub-stream); the NOTE
// records close the drawing.
#include <cmath>
#include <fstream>
#include <iterator>

#include "export/workbook/sheet.h"
#include "export/workbook/unicode.h"
#include "export/xls/extras.h"
#include "export/xls/officeart.h"

namespace morvale {

namespace biff {
constexpr uint16_t kNote = 0x001C, kObj = 0x005D, kMsoDrawing = 0x00EC, kTxo = 0x01B6;
}

namespace {

bool ReadWholeFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// The BSE numbering of a storable picture; 0 for what the store leaves out.
unsigned BlipType(TxlsGraphicType t) {
  switch (t) {
    case gtWMF:
      return 2;
    case gtEMF:
      return 3;
    case gtJPEG:
      return 5;
    case gtPNG:
    case gtGIF:
      return 6;
    case gtBMP:
      return 7;
    default:
      return 0;
  }
}

unsigned Be32(const std::string& b, size_t at) {
  auto u = [&b](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(b[i])); };
  return (u(at) << 24) | (u(at + 1) << 16) | (u(at + 2) << 8) | u(at + 3);
}

unsigned Le16(const std::string& b, size_t at) {
  return GetU16(reinterpret_cast<const uint8_t*>(b.data()) + at);
}

}  // namespace

bool xlsJpegSize(const std::string& bytes, int& width, int& height);  // bitmap.cpp

void xlsPictureSize(TxlsGraphicType type, const std::string& b, int& width, int& height) {
  width = height = 0;
  switch (type) {
    case gtGIF:
      // The logical screen size follows the 6-byte signature.
      if (b.size() >= 10) {
        width = static_cast<int>(Le16(b, 6));
        height = static_cast<int>(Le16(b, 8));
      }
      break;
    case gtPNG:
      // The IHDR chunk comes first: width and height, big-endian, at 16 and 20.
      if (b.size() >= 24 && b.compare(12, 4, "IHDR") == 0) {
        width = static_cast<int>(Be32(b, 16));
        height = static_cast<int>(Be32(b, 20));
      }
      break;
    case gtBMP:
      if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        width = static_cast<int32_t>(GetU32(reinterpret_cast<const uint8_t*>(b.data()) + 18));
        // A negative height stands for top-down rows.
        const auto h =
            static_cast<int32_t>(GetU32(reinterpret_cast<const uint8_t*>(b.data()) + 22));
        height = h == INT32_MIN ? 0 : std::abs(h);
      }
      break;
    case gtJPEG:
      if (!xlsJpegSize(b, width, height)) width = height = 0;
      break;
    default:
      break;
  }
}

TxlsPictureStore TxlsPictureStore::Build(const TxlsPictures& pictures,
                                         const std::vector<const TxlsImages*>& images) {
  TxlsPictureStore store;
  for (const auto& p : pictures) {
    TEntry e;
    e.Type = p->GraphicType();
    e.BlipType = BlipType(e.Type);
    // Pictures held in memory and files that are missing or of an unknown type stay out.
    if (!p->Content.empty() || e.BlipType == 0 || !ReadWholeFile(p->FileName, e.File)) {
      store.BlipIndex.push_back(0);
      continue;
    }
    // A BMP is stored without its 14-byte file header.
    e.Bytes = e.Type == gtBMP ? e.File.substr(std::min<size_t>(14, e.File.size())) : e.File;
    for (const TxlsImages* list : images)
      for (const auto& image : *list)
        if (SameText(image->PictureName, p->Name())) ++e.Refs;
    store.Entries.push_back(std::move(e));
    store.BlipIndex.push_back(static_cast<int>(store.Entries.size()));
  }
  return store;
}

std::string TxlsPictureStore::DrawingGroupData(unsigned shapes) const {
  TmsoContainer group(mso::kDggContainer);
  group.Add(msoDgg(shapes));
  if (!Entries.empty()) {
    auto& bstore = group.Add(std::make_unique<TmsoContainer>(
        mso::kBStoreContainer, static_cast<unsigned>(Entries.size())));
    for (const TEntry& e : Entries) {
      bstore.Add(msoBSE(e.BlipType, *msoBLIP(e.BlipType, e.Bytes), e.Refs));
    }
  }
  auto opt = std::make_unique<TmsoOPT>();
  opt->Add(0x00BF, 0x00080008).Add(0x0181, 0x08000009).Add(0x01C0, 0x08000040);
  group.Add(std::move(opt));
  group.Add(msoSplitMenuColors());
  std::string out;
  group.WriteToBuffer(out);
  return out;
}

namespace {

// One shape of the sheet drawing and what follows its MSODRAWING record.
struct TShape {
  enum TKind { kNote, kImage, kChart } kind;
  std::string bytes;  // the shape container
  size_t size = 0;    // what the drawing's headers count for it
  const TxlsNote* note = nullptr;
  const TxlsChart* chart = nullptr;
};

std::unique_ptr<TmsoContainer> ShapeContainer(unsigned shapeType, uint32_t id) {
  auto sp = std::make_unique<TmsoContainer>(mso::kSpContainer);
  sp->Add(msoSp(2, shapeType, id, 0x0A00));  // a shape with an anchor
  return sp;
}

void AddNoteFill(TmsoOPT& opt, const TxlsNoteFormat& f) {
  const uint32_t fore = static_cast<uint32_t>(f.ForegroundColor) & 0xFFFFFF;
  const uint32_t back = static_cast<uint32_t>(f.BackgroundColor) & 0xFFFFFF;
  auto opacity = [&opt, &f] {
    if (f.Transparency > 0)
      opt.Add(0x0182, static_cast<uint32_t>(0xFD71 - (f.Transparency - 1) * 0x290));
  };
  if (f.FillType == nftSolid) {
    opt.Add(0x0181, fore);
    opacity();
    return;
  }
  if (f.Gradient == ngrFromCenter) {
    opt.Add(0x0180, 6).Add(0x0181, fore);
    opacity();
    opt.Add(0x0183, back).Add(0x018B, 0xFFD30000).Add(0x018C, 100);
    opt.Add(0x018D, 0x8000).Add(0x018E, 0x8000).Add(0x018F, 0x8000).Add(0x0190, 0x8000);
    opt.Add(0x0196, 0x009D0000);
    return;
  }
  opt.Add(0x0180, f.Gradient == ngrFromCorner ? 5 : 7).Add(0x0181, fore);
  opacity();
  opt.Add(0x0183, back);
  switch (f.Gradient) {
    case ngrVertical:
      opt.Add(0x018B, 0xFFA60000);
      break;
    case ngrDiagonalUp:
      opt.Add(0x018B, 0xFF790000);
      break;
    case ngrDiagonalDown:
    case ngrFromCorner:
      opt.Add(0x018B, 0xFFD30000);
      break;
    default:
      break;
  }
  opt.Add(0x018C, 100).Add(0x0196, 0x009D0000);
}

TShape NoteShape(const TxlsNote& note, int ordinal, uint32_t id) {
  auto sp = ShapeContainer(mso::kTextBox, id);
  sp->ExtraLength = 8;  // the client text box follows in a record of its own
  auto opt = std::make_unique<TmsoOPT>(0);
  opt->Add(0x0080, static_cast<uint32_t>(ordinal + 1)).Add(0x007D, 1).Add(0x00BF, 0x00080008);
  opt->Add(0x0158, 0);
  AddNoteFill(*opt, note.Format);
  opt->Add(0x01BF, 0x00110010).Add(0x0201, 0).Add(0x023F, 0x00030003).Add(0x03BF, 0x000A0002);
  sp->Add(std::move(opt));
  // One column right of the noted cell, from one row above it, three columns by six rows.
  const unsigned first = note.Row < 3 ? 0u : static_cast<unsigned>(note.Row - 2);
  const auto col = static_cast<uint16_t>(note.Col);
  const uint16_t cells[8] = {col,
                             0,
                             static_cast<uint16_t>(first),
                             0,
                             static_cast<uint16_t>(col + 2),
                             0,
                             static_cast<uint16_t>(first + 5),
                             0};
  sp->Add(msoClientAnchor(3, cells));
  sp->Add(msoClientData());
  TShape s{TShape::kNote, {}, sp->GetSize() + 8, &note, nullptr};
  sp->WriteToBuffer(s.bytes);
  return s;
}

// Walks columns (or rows) from `first` while the picture's extent lasts; gives the last one and
// the offset into it in 1/`unit` of its size.
void Extent(int first, int extent, int unit, const std::function<int(int)>& sizeOf, int limit,
            uint16_t& last, uint16_t& offset) {
  int rest = extent, i = first;
  for (;; ++i) {
    const int w = std::max(1, sizeOf(i));
    rest -= w;
    if (rest < 0 || i >= limit) {
      last = static_cast<uint16_t>(i);
      offset = static_cast<uint16_t>(std::clamp(
          static_cast<int>(std::lround(static_cast<double>(w + std::max(rest, -w)) * unit / w)), 0,
          unit));
      return;
    }
  }
}

TShape ImageShape(const TxlsSheetContext& c, const TxlsImage& image, int blip, uint32_t id) {
  auto sp = ShapeContainer(mso::kPictureFrame, id);
  auto opt = std::make_unique<TmsoOPT>();
  // The title is stored twice; cut so that the shape stays within one MSODRAWING record.
  const std::u16string title = Utf16(image.Title).substr(0, 1000);
  opt->Add(0x007F, 0x00800000).Add(0x4104, static_cast<uint32_t>(blip)).AddString(0xC105, title);
  opt->Add(0x01BF, 0x00010000).Add(0x033F, 0x00100000).AddString(0xC380, title);
  opt->Add(0x03BF, 0x00080000);
  sp->Add(std::move(opt));
  const TxlsPictureStore::TEntry& e = c.Store.Entries[static_cast<size_t>(blip - 1)];
  int w = 0, h = 0;
  xlsPictureSize(e.Type, e.File, w, h);
  const double zoom = std::clamp(image.Zoom, 0, 1000) / 100.0;
  w = static_cast<int>(std::lround(w * zoom));
  h = static_cast<int>(std::lround(h * zoom));
  const int w0 = c.ZeroWidth;
  auto colWidth = [&c, w0](int col) {
    const int j = col - c.StartDataCol;
    const int chars = j >= 0 && j < static_cast<int>(c.ColumnWidths.size())
                          ? c.ColumnWidths[static_cast<size_t>(j)]
                          : c.DefColWidth;
    return (chars + 1) * w0 + 1;
  };
  const int defRow = static_cast<int>(c.DefRowHeight * 20);
  auto rowHeight = [&c, defRow](int row) {
    const auto r = static_cast<size_t>(row);
    if (c.RowHeights && r < c.RowHeights->size() && (*c.RowHeights)[r])
      return int{(*c.RowHeights)[r]};
    return defRow;
  };
  uint16_t lastCol = 0, dx = 0, lastRow = 0, dy = 0;
  Extent(image.Col, w, 1024, colWidth, 255, lastCol, dx);
  Extent(image.Row, h * 15, 256, rowHeight, 65535, lastRow, dy);
  const uint16_t cells[8] = {static_cast<uint16_t>(image.Col),
                             0,
                             static_cast<uint16_t>(image.Row),
                             0,
                             lastCol,
                             dx,
                             lastRow,
                             dy};
  sp->Add(msoClientAnchor(2, cells));
  sp->Add(msoClientData());
  TShape s{TShape::kImage, {}, sp->GetSize(), nullptr, nullptr};
  sp->WriteToBuffer(s.bytes);
  return s;
}

TShape ChartShape(const TxlsSheetContext& c, const TxlsChart& chart, uint32_t id) {
  auto sp = ShapeContainer(mso::kHostControl, id);
  auto opt = std::make_unique<TmsoOPT>();
  opt->Add(0x007F, 0x01040104).Add(0x00BF, 0x00080008).Add(0x0181, 0x0800004E);
  opt->Add(0x0183, 0x0800004D).Add(0x01BF, 0x00100010).Add(0x01C0, 0x0800004D);
  opt->Add(0x01FF, 0x00080008).Add(0x023F, 0x00020000).Add(0x03BF, 0x00080000);
  sp->Add(std::move(opt));
  uint16_t cells[8];
  xlsChartAnchor(chart, &c.Bound, cells);
  sp->Add(msoClientAnchor(0, cells));
  sp->Add(msoClientData());
  TShape s{TShape::kChart, {}, sp->GetSize(), nullptr, &chart};
  sp->WriteToBuffer(s.bytes);
  return s;
}

// The fixed head of the drawing: the drawing container, its Dg, the group container and the
// patriarch shape. Their lengths enclose all the shapes written after them.
std::string DrawingHead(size_t shapesSize) {
  TmsoContainer dg(mso::kDgContainer);
  dg.Add(msoDg());
  auto& group = dg.Add(std::make_unique<TmsoContainer>(mso::kSpgrContainer));
  auto& patriarch = group.Add(std::make_unique<TmsoContainer>(mso::kSpContainer));
  patriarch.Add(msoSpgr());
  patriarch.Add(msoSp(2, 0, 1024, 0x0005));  // the group and patriarch
  group.ExtraLength = static_cast<uint32_t>(shapesSize);
  dg.ExtraLength = static_cast<uint32_t>(shapesSize);
  std::string out;
  dg.WriteToBuffer(out);
  return out;
}

void WriteDrawingRecord(TbiffWriter& w, const std::string& bytes) {
  const size_t n = std::min(bytes.size(), biff::kMaxRecordData);
  std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n), w.Data());
  w.WriteRecord(biff::kMsoDrawing, n);
}

void WriteObj(TbiffWriter& w, unsigned type, unsigned id) {
  uint8_t* d = w.Data();
  PutU16(d, 0x0015);  // common object data
  PutU16(d + 2, 18);
  PutU16(d + 4, type);
  PutU16(d + 6, id);
  PutU16(d + 8, 0x0011);  // locked, printable
  std::fill(d + 10, d + 22, uint8_t{0});
  size_t n = 22;
  auto sub = [&](unsigned ft) {
    PutU16(d + n, ft);
    PutU16(d + n + 2, 0);
    n += 4;
  };
  if (type == 25) sub(0x000D);  // note structure
  if (type == 8) {
    sub(0x0007);  // clipboard format
    sub(0x0008);  // picture options
  }
  sub(0x0000);  // end
  w.WriteRecord(biff::kObj, n);
}

// The longest note text whose CONTINUE record fits the record buffer.
constexpr size_t kMaxNoteChars = (biff::kMaxRecordData - 1) / 2;

void WriteNoteText(TbiffWriter& w, const TxlsNote& note, uint16_t fontIndex) {
  std::u16string text = Utf16(note.Text());
  if (text.size() > kMaxNoteChars) text.resize(kMaxNoteChars);
  static const unsigned kHorizontal[] = {0x02, 0x02, 0x04, 0x06, 0x08};
  static const unsigned kVertical[] = {0x10, 0x20, 0x30, 0x40};
  const TxlsAlignment& a = note.Format.Alignment;
  uint8_t* d = w.Data();
  PutU16(d, kHorizontal[std::clamp(static_cast<int>(a.Horizontal), 0, 4)] |
                kVertical[std::clamp(static_cast<int>(a.Vertical), 0, 3)]);
  PutU16(d + 2, static_cast<unsigned>(note.Format.Orientation));
  std::fill(d + 4, d + 10, uint8_t{0});
  PutU16(d + 10, static_cast<unsigned>(text.size()));
  PutU16(d + 12, 16);  // two formatting runs
  PutU32(d + 14, 0);
  w.WriteRecord(biff::kTxo, 18);
  d = w.Data();
  d[0] = 1;  // UTF-16
  for (size_t i = 0; i < text.size(); ++i) PutU16(d + 1 + 2 * i, text[i]);
  w.WriteRecord(biff::kContinue, 1 + 2 * text.size());
  d = w.Data();
  std::fill(d, d + 16, uint8_t{0});
  PutU16(d + 2, fontIndex);
  PutU16(d + 8, static_cast<unsigned>(text.size()));
  w.WriteRecord(biff::kContinue, 16);
}

// NOTE: the cell, no flags (hidden until pointed at), the object, and an empty author.
void WriteNoteRecord(TbiffWriter& w, const TxlsNote& note, unsigned objectId) {
  uint8_t* d = w.Data();
  PutU16(d, static_cast<unsigned>(note.Row - 1));
  PutU16(d + 2, static_cast<unsigned>(note.Col - 1));
  PutU16(d + 4, 0);
  PutU16(d + 6, objectId);
  // The author string (length 0, 8-bit) and the padding byte readers expect after it.
  std::fill(d + 8, d + 12, uint8_t{0});
  w.WriteRecord(biff::kNote, 12);
}

}  // namespace

void WriteSheetLinksAndDrawing(TxlsSheetContext& c) {
  TbiffWriter& w = c.Workbook.Writer();
  for (const auto& link : c.Extras.Hyperlinks)
    if (link->IsValid()) WriteHyperlink(w, *link);

  std::vector<TShape> shapes;
  uint32_t id = 1025;
  int ordinal = 0;
  std::vector<const TxlsNote*> notes;
  for (const auto& note : c.Extras.Notes) {
    if (!note->IsValid()) continue;
    shapes.push_back(NoteShape(*note, ordinal++, id++));
    notes.push_back(note.get());
  }
  // An image whose picture is not in the store has nothing to show: it is left out rather than
  // written with a blip index no store entry answers.
  for (const auto& image : c.Extras.Images) {
    int p = c.Pictures.IndexOf(image->PictureName);
    int blip = p >= 0 ? c.Store.BlipIndex[static_cast<size_t>(p)] : 0;
    if (blip > 0) shapes.push_back(ImageShape(c, *image, blip, id++));
  }
  for (const auto& chart : c.Extras.Charts) shapes.push_back(ChartShape(c, *chart, id++));
  if (shapes.empty()) return;

  size_t total = 0;
  for (const TShape& s : shapes) total += s.size;
  std::string head = DrawingHead(total);
  unsigned objectId = 1;
  for (const TShape& s : shapes) {
    WriteDrawingRecord(w, head + s.bytes);
    head.clear();
    switch (s.kind) {
      case TShape::kNote: {
        WriteObj(w, 25, objectId++);
        std::string box;
        msoClientTextBox()->WriteToBuffer(box);
        WriteDrawingRecord(w, box);
        WriteNoteText(w, *s.note, c.Workbook.Styles().RegisterFont(s.note->Format.Font));
        break;
      }
      case TShape::kImage:
        WriteObj(w, 8, objectId++);
        break;
      case TShape::kChart:
        WriteObj(w, 5, objectId++);
        WriteChart(w, *s.chart, c.ExternSheet, c.FieldRange);
        break;
    }
  }
  for (size_t i = 0; i < notes.size(); ++i)
    WriteNoteRecord(w, *notes[i], static_cast<unsigned>(i + 1));
}

}  // namespace morvale
