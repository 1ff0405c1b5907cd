#include "bench/inputs.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "base/file_io.h"
#include "standin/engine.h"
#include "tests/attributes/cass_like_features.h"

namespace dz::bench {
namespace {

// A file written in large pieces, so that inputs of a gigabyte never sit in
// memory whole.
class OutFile {
 public:
  explicit OutFile(const std::string& path) : path_(path), f_(openFile(path, "wb")) {
    if (!f_) throw std::runtime_error("cannot create " + path);
    buffer_.reserve(kPiece + 1024);
  }
  ~OutFile() {
    if (f_) std::fclose(f_);
  }
  OutFile(const OutFile&) = delete;
  OutFile& operator=(const OutFile&) = delete;

  OutFile& operator<<(const std::string& s) { return add(s.data(), s.size()); }
  OutFile& operator<<(const char* s) { return add(s, std::char_traits<char>::length(s)); }
  OutFile& operator<<(int v) { return *this << std::to_string(v); }
  // printf-style, for the numbers with fixed decimals.
  template <typename... Args>
  OutFile& format(const char* f, Args... args) {
    char line[256];
    const int n = std::snprintf(line, sizeof line, f, args...);
    return add(line, static_cast<size_t>(n));
  }
  void close() {
    flush();
    if (std::fclose(f_) != 0) throw std::runtime_error("cannot write " + path_);
    f_ = nullptr;
  }

 private:
  static constexpr size_t kPiece = 1 << 20;
  OutFile& add(const char* p, size_t n) {
    buffer_.append(p, n);
    if (buffer_.size() >= kPiece) flush();
    return *this;
  }
  void flush() {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), f_) != buffer_.size())
      throw std::runtime_error("cannot write " + path_);
    buffer_.clear();
  }
  std::string path_;
  std::FILE* f_;
  std::string buffer_;
};

// The same order on every platform and library: a Fisher-Yates shuffle over
// a fixed linear congruential sequence.
std::vector<int> shuffled(int n) {
  std::vector<int> order(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
  uint64_t state = 0x2545F4914F6CDD1Dull;
  for (size_t i = order.size(); i > 1; --i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    const size_t j = static_cast<size_t>((state >> 33) % i);
    std::swap(order[i - 1], order[j]);
  }
  return order;
}

constexpr int kCassTableLines = 5000;
constexpr int kEpswCodes = 400;

}  // namespace

// Feature i sits in its own 10 x 10 cell; every 12th is a house with two
// texts inside it, every 50th a parcel with a .qs block and an attribute line.
void writeCassInputs(const std::string& dir, int features) {
  OutFile table(joinPath(dir, "CASSCode.txt"));
  for (int c = 0; c < kCassTableLines; ++c) {
    // The codes the file uses lie spread over the table, the last at its end.
    const int host = c % 7 == 0 ? 2120 : 4000 + c;
    table << (100000 + c) << " " << host << "\n";
  }
  table << "300000 7310\n301000 7311\n";
  table.close();

  OutFile cas(joinPath(dir, "in.cas")), qs(joinPath(dir, "in.qs")), parcels(joinPath(dir, "in.txt"));
  std::string text = "TEXT\n";
  char line[128];
  cas << "CASS9.0\n";
  for (int i = 0; i < features; ++i) {
    const double east = (i % 1000) * 10.0, north = (i / 1000) * 10.0;
    const int code = 100000 + (i * 37) % kCassTableLines;
    const std::string n = std::to_string(i);
    if (i % 12 == 0) {
      cas << "LINE\n100000,h" << n << "\n";  // 100000 maps to a house
      cas.format("%.3f,%.3f\n%.3f,%.3f\n", east + 1, north + 1, east + 9, north + 1);
      cas.format("%.3f,%.3f\n%.3f,%.3f\nnil\n", east + 9, north + 9, east + 1, north + 9);
      std::snprintf(line, sizeof line, "砖,t\n%.3f,%.3f\n3,t\n%.3f,%.3f\n", north + 5, east + 5, north + 6,
                    east + 6);
      text += line;
    } else if (i % 50 == 1) {
      const std::string number = "P" + n;
      cas << "LINE\n301000," << number << "\n";
      cas.format("%.3f,%.3f\n%.3f,%.3f\n", east + 1, north + 1, east + 9, north + 1);
      cas.format("%.3f,%.3f\nnil\nnil\n", east + 5, north + 9);
      qs << number << "\n3\n32.0\n";
      for (int k = 0; k < 3; ++k) {
        qs << "J" << n << "_" << k << "\n";
        qs.format("%.3f\n%.3f\n", east + 1 + 4 * k, north + 1 + 4 * (k == 2));
      }
      qs << "E\n";
      parcels << "1 " << number << " x owner 32.0 0.0 32.0 place 国有土地所有权 a b\n";
    } else if (i % 10 == 2) {
      cas << "CIRCLE\n" << code << ",c,2.5\n";
      cas.format("%.3f,%.3f\nnil\n", east + 5, north + 5);
    } else if (i % 10 == 3) {
      cas << "POINT\n" << code << ",p\n";
      cas.format("%.3f,%.3f\nnil\n", east + 5, north + 5);
    } else if (i % 10 == 4) {
      cas << "PLINE\n" << code << ",pl\n";
      for (int k = 0; k < 4; ++k) cas.format("%.3f,%.3f\n", east + 2 * k, north + (k % 2) * 3);
      cas << "nil\n";
    } else {
      cas << "LINE\n" << code << ",l\n";
      cas.format("%.3f,%.3f\n%.3f,%.3f\nnil\n", east, north, east + 9, north + 5);
    }
  }
  cas << text << "nil\nEND\n";
  cas.close();
  qs.close();
  parcels.close();
}

void writeEpswInputs(const std::string& dir, int points, int notes) {
  OutFile table(joinPath(dir, "EPSWconvert.txt"));
  for (int i = 0; i < kEpswCodes; ++i) table << (1000 + i) << " " << (7000 + i) << " code\n";
  table.close();

  OutFile cor(joinPath(dir, "in.cor"));
  for (int i = 0; i < points; ++i) {
    if (i % 10 == 0) cor.format("%d 10 %d $f\n", 1000 + (i / 10) % kEpswCodes, (i / 10) % 5);
    const int named = i % 5 == 4 && i >= 10 ? i - 10 : i;
    cor.format("P%d %.3f %.3f %.2f 0 0\n", named, 500000 + i * 0.01, 3100000 + i * 0.02, 10 + i % 7 * 0.1);
  }
  cor.close();

  OutFile note(joinPath(dir, "in.not"));
  for (int i = 0; i < notes; ++i)
    note.format("%d 注记%d\n%.3f %.3f 0 %d 2.5\n类别 0.8\n", i, i, 500000 + i * 0.01, 3100000 + i * 0.02, i % 90);
  note.close();
}

void writePointFile(const std::string& path, int lines) {
  OutFile out(path);
  for (int i = 0; i < lines; ++i)
    out.format("P%d,%d,%d.482,%d.117,12.%d\r\n", i, i % 7 == 0 ? 2001 : 0, 53000 + i % 9973, 31000 + i % 7919,
               i % 100);
  out.close();
}

void writeAttachInputs(const std::string& dir, int n) {
  const std::vector<int> order = shuffled(n);
  OutFile p(joinPath(dir, "parcels.txt")), b(joinPath(dir, "points.txt")), h(joinPath(dir, "houses.txt"));
  for (int i : order) {
    const std::string k = std::to_string(i);
    p << "Z" << k << " 城关镇第" << k << "号 110101 住宅用地 城关镇中山路" << k << "号 G1-3 " << k << ".25 " << k
      << ".5 国有 1 无\n";
    b << "J" << k << " 钢钉 围墙 J1 解析法\n";
    h << "F" << k << " 砖 " << (i % 30) << "\n";
  }
  p.close();
  b.close();
  h.close();

  const std::string qel = joinPath(dir, "attach.qel");
  FeatureFileEngine engine(dir);
  engine.startEmpty(qel);
  const QelHandle file = engine.OpenFeatureFile(qel.c_str());
  for (int i = 0; i < n; ++i) {
    // One feature in ten has a key that no line holds.
    const std::string k = std::to_string(i % 10 == 9 ? i + n : i);
    switch (i % 3) {
      case 0: test::addParcel(engine, file, "Z" + k); break;
      case 1: test::addParcelLabel(engine, file, "J" + k); break;
      default: test::addHouse(engine, file, "F" + k, "", static_cast<int16_t>(i % 5)); break;
    }
  }
  if (engine.CommitFeatureFile(file) != 1) throw std::runtime_error("cannot write " + qel);
  engine.CloseFeatureFile(file);
}

}  // namespace dz::bench
