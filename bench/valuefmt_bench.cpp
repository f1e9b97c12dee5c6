// Value formatting on the export hot path against the C library doing the nearest equivalent
// (printf, strtod, strftime, strptime). Run with bench/valuefmt.sh.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "export/core/datetime.h"
#include "export/core/numfmt.h"

using namespace morvale;

namespace {

std::vector<double> Doubles() {
  std::vector<double> v;
  for (int i = 0; i < 1024; ++i) v.push_back((i * 7919 % 100000) * 13.37 - 250000);
  return v;
}

void BM_RenderFloat(benchmark::State& st) {
  TFormatSettings fs = TFormatSettings::Russian();
  TNumberFormat f("#,###,##0.00");
  auto vals = Doubles();
  std::string out;
  size_t i = 0;
  for (auto _ : st) {
    out.clear();
    f.Render(vals[i++ & 1023], fs, out);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_RenderFloat);

void BM_Peer_SnprintfFloat(benchmark::State& st) {
  auto vals = Doubles();
  char buf[64];
  size_t i = 0;
  for (auto _ : st) {
    snprintf(buf, sizeof buf, "%.2f", vals[i++ & 1023]);
    benchmark::DoNotOptimize(buf);
  }
}
BENCHMARK(BM_Peer_SnprintfFloat);

void BM_RenderInt64(benchmark::State& st) {
  TFormatSettings fs = TFormatSettings::Russian();
  TNumberFormat f("#,###,##0");
  std::string out;
  int64_t i = 0;
  for (auto _ : st) {
    out.clear();
    f.Render(int64_t{1234567} * (i++ & 1023), fs, out);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_RenderInt64);

void BM_Peer_SnprintfInt64(benchmark::State& st) {
  char buf[64];
  long long i = 0;
  for (auto _ : st) {
    snprintf(buf, sizeof buf, "%lld", 1234567LL * (i++ & 1023));
    benchmark::DoNotOptimize(buf);
  }
}
BENCHMARK(BM_Peer_SnprintfInt64);

std::vector<std::string> FloatTexts(const char* sep) {
  std::vector<std::string> v;
  for (double d : Doubles()) {
    char buf[64];
    snprintf(buf, sizeof buf, "%.2f", d);
    std::string s = buf;
    if (std::string(sep) != ".") s.replace(s.find('.'), 1, sep);
    v.push_back(s);
  }
  return v;
}

void BM_ParseFloat(benchmark::State& st) {
  TFormatSettings fs = TFormatSettings::Russian();
  auto texts = FloatTexts(",");
  size_t i = 0;
  double v;
  for (auto _ : st) {
    benchmark::DoNotOptimize(TryStrToFloat(texts[i++ & 1023], v, fs));
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_ParseFloat);

void BM_Peer_Strtod(benchmark::State& st) {
  auto texts = FloatTexts(".");
  size_t i = 0;
  for (auto _ : st) benchmark::DoNotOptimize(strtod(texts[i++ & 1023].c_str(), nullptr));
}
BENCHMARK(BM_Peer_Strtod);

void BM_ParseInt64(benchmark::State& st) {
  std::vector<std::string> texts;
  for (int i = 0; i < 1024; ++i) texts.push_back(std::to_string(i * 987654321LL - 5000));
  size_t i = 0;
  int64_t v;
  for (auto _ : st) {
    benchmark::DoNotOptimize(TryStrToInt64(texts[i++ & 1023], v));
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_ParseInt64);

void BM_Peer_Strtoll(benchmark::State& st) {
  std::vector<std::string> texts;
  for (int i = 0; i < 1024; ++i) texts.push_back(std::to_string(i * 987654321LL - 5000));
  size_t i = 0;
  for (auto _ : st) benchmark::DoNotOptimize(strtoll(texts[i++ & 1023].c_str(), nullptr, 10));
}
BENCHMARK(BM_Peer_Strtoll);

void BM_RenderDateTime(benchmark::State& st) {
  TFormatSettings fs = TFormatSettings::Russian();
  TDateTimeFormat f("dd/mm/yyyy hh:nn:ss");
  std::string out;
  int i = 0;
  for (auto _ : st) {
    out.clear();
    f.Render(39514.6 + (i++ & 1023) * 1.37, fs, out);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_RenderDateTime);

void BM_Peer_Strftime(benchmark::State& st) {
  char buf[64];
  int i = 0;
  for (auto _ : st) {
    time_t t = 1204898400 + (i++ & 1023) * 118368;
    tm parts;
    gmtime_r(&t, &parts);
    strftime(buf, sizeof buf, "%d.%m.%Y %H:%M:%S", &parts);
    benchmark::DoNotOptimize(buf);
  }
}
BENCHMARK(BM_Peer_Strftime);

// 1,024 date-time texts in the locale's form, for the parsers to read round.
std::vector<std::string> DateTimeTexts(const TFormatSettings& fs) {
  std::vector<std::string> texts;
  for (int i = 0; i < 1024; ++i)
    texts.push_back(FormatDateTime("dd/mm/yyyy hh:nn:ss", 39514.6 + i * 1.37, fs));
  return texts;
}

void BM_ParseDateTime(benchmark::State& st) {
  TFormatSettings fs = TFormatSettings::Russian();
  std::vector<std::string> texts = DateTimeTexts(fs);
  size_t i = 0;
  TDateTime v;
  for (auto _ : st) {
    benchmark::DoNotOptimize(TryStrToDateTime(texts[i++ & 1023], v, fs));
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_ParseDateTime);

void BM_Peer_Strptime(benchmark::State& st) {
  TFormatSettings fs = TFormatSettings::Russian();
  std::vector<std::string> texts = DateTimeTexts(fs);
  size_t i = 0;
  for (auto _ : st) {
    tm parts{};
    benchmark::DoNotOptimize(strptime(texts[i++ & 1023].c_str(), "%d.%m.%Y %H:%M:%S", &parts));
    benchmark::DoNotOptimize(mktime(&parts));
  }
}
BENCHMARK(BM_Peer_Strptime);

}  // namespace

BENCHMARK_MAIN();
