#include "app/engine/qtcursor.h"

#include "export/core/translate.h"
#include "export/core/utf8.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QTime>
#include <QVariant>
#include <algorithm>
#include <climits>
#include <cstring>

namespace morvale {

namespace {

// UTF-16 to the UTF-8 bytes the engine carries, into a buffer that keeps its capacity.
void AppendUtf8(QStringView s, std::string& out) {
  morvale::AppendUtf8(std::u16string_view(s.utf16(), static_cast<size_t>(s.size())), out);
}

constexpr int64_t kJulianDayOfZero = 2415019;  // 30 December 1899

double SerialDate(const QDate& d) {
  return static_cast<double>(d.toJulianDay() - kJulianDayOfZero);
}
double SerialTime(const QTime& t) {
  return t.msecsSinceStartOfDay() / 86400000.0;
}

class TQtCursor : public TCursor {
 public:
  TQtCursor(std::shared_ptr<TQtConnection> conn, const std::string& sql)
      : conn_(std::move(conn)), sql_(QString::fromStdString(sql)) {
    name_ = conn_->Acquire();
  }
  ~TQtCursor() override {
    query_.reset();
    if (transaction_) QSqlDatabase::database(name_, false).rollback();
    conn_->Release(name_);
  }

  void Execute() override {
    if (!query_) {
      QSqlDatabase db = QSqlDatabase::database(name_, false);
      // ODBC has no read-only session that every driver honours: whatever a statement might
      // write is rolled back when the cursor closes.
      if (conn_->Kind() == TDriverKind::Odbc) transaction_ = db.transaction();
      query_ = std::make_unique<QSqlQuery>(db);
      query_->setForwardOnly(true);
    }
    if (!query_->exec(sql_)) throw Exception(ErrorText(query_->lastError()));
    if (!query_->isSelect())
      throw Exception(TranslateText("Engine", "The SQL statement returns no result set"));
  }

  bool Step() override {
    if (query_->next()) return true;
    // The end of the rows, or a failure on the way (a dropped connection).
    if (query_->lastError().isValid()) throw Exception(ErrorText(query_->lastError()));
    return false;
  }

  TFieldDefs Describe(bool) override {
    QSqlRecord record = query_->record();
    TFieldDefs defs;
    for (int i = 0; i < record.count(); ++i)
      defs.push_back(QtFieldDef(conn_->Kind(), record.field(i)));
    types_.clear();
    for (const TFieldDef& d : defs) types_.push_back(d.DataType);
    return defs;
  }

  void ReadRow(TRowWindow& window) override {
    TCell* cells = window.AppendRow();
    for (size_t i = 0; i < types_.size(); ++i)
      ReadValue(query_->value(static_cast<int>(i)), types_[i], cells[i], window);
  }

  int64_t CountRows() override {
    // On a connection of its own: this one is still reading its rows.
    QString name = conn_->Acquire();
    int64_t n = -1;
    std::string error;
    {
      QSqlDatabase db = QSqlDatabase::database(name, false);
      QSqlQuery q(db);
      q.setForwardOnly(true);
      QString body = sql_.trimmed();
      while (body.endsWith(';')) body.chop(1);
      if (q.exec("SELECT COUNT(*) FROM (\n" + body + "\n) AS morvale_count") && q.next()) {
        n = q.value(0).toLongLong();
      } else if (q.exec(sql_)) {
        // Statements that cannot stand in a subquery (SHOW ...) are counted by walking them.
        n = 0;
        while (q.next()) ++n;
      } else {
        error = ErrorText(q.lastError());
      }
    }
    conn_->Release(name);
    if (n < 0) throw Exception(error);
    return n;
  }

 private:
  void ReadValue(const QVariant& v, TFieldType type, TCell& cell, TRowWindow& window) {
    if (v.isNull()) return;
    switch (v.typeId()) {
      case QMetaType::Bool:
        cell.Kind = TCellKind::Int;
        cell.Int = v.toBool() ? 1 : 0;
        return;
      case QMetaType::Int:
      case QMetaType::UInt:
      case QMetaType::LongLong:
      case QMetaType::Short:
      case QMetaType::UShort:
      case QMetaType::Char:
      case QMetaType::SChar:
      case QMetaType::UChar:
        cell.Kind = TCellKind::Int;
        cell.Int = v.toLongLong();
        return;
      case QMetaType::ULongLong:
        if (v.toULongLong() <= static_cast<qulonglong>(INT64_MAX)) {
          cell.Kind = TCellKind::Int;
          cell.Int = v.toLongLong();
          return;
        }
        break;
      case QMetaType::Double:
      case QMetaType::Float:
        cell.Kind = TCellKind::Float;
        cell.Float = v.toDouble();
        return;
      case QMetaType::QDate:
        cell.Kind = TCellKind::DateTime;
        cell.Float = SerialDate(v.toDate());
        return;
      case QMetaType::QTime:
        cell.Kind = TCellKind::DateTime;
        cell.Float = SerialTime(v.toTime());
        return;
      case QMetaType::QDateTime: {
        QDateTime dt = v.toDateTime();
        cell.Kind = TCellKind::DateTime;
        cell.Float = SerialDate(dt.date()) + SerialTime(dt.time());
        return;
      }
      case QMetaType::QByteArray: {
        const QByteArray& b = *static_cast<const QByteArray*>(v.constData());
        window.SetText(cell, b.constData(), static_cast<size_t>(b.size()),
                       IsBlobFieldType(type) || type == ftBytes || type == ftVarBytes
                           ? TCellKind::Blob
                           : TCellKind::Text);
        return;
      }
      case QMetaType::QString:
        scratch_.clear();
        AppendUtf8(*static_cast<const QString*>(v.constData()), scratch_);
        if (type == ftCurrency) StripAmount(scratch_);
        window.SetText(cell, scratch_);
        return;
      default:
        break;
    }
    scratch_.clear();
    AppendUtf8(v.toString(), scratch_);
    window.SetText(cell, scratch_);
  }

  // Amounts come as "-$1,234.50": keep the number.
  static void StripAmount(std::string& s) {
    std::string r;
    for (char c : s)
      if ((c >= '0' && c <= '9') || c == '.' || c == '-') r += c;
    if (!r.empty()) s = r;
  }

  std::shared_ptr<TQtConnection> conn_;
  QString name_;
  QString sql_;
  std::unique_ptr<QSqlQuery> query_;
  bool transaction_ = false;
  std::vector<TFieldType> types_;
  std::string scratch_;
};

}  // namespace

std::unique_ptr<TCursor> MakeQtCursor(std::shared_ptr<TQtConnection> connection,
                                      const std::string& sql) {
  return std::make_unique<TQtCursor>(std::move(connection), sql);
}

}  // namespace morvale
