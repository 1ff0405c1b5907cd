// Runs under Wine: the host operations through the ordinal imports of
// QelBlk60.dll and QelCore60.dll (the stand-in libraries), checking that
// arguments and results cross the library boundary intact.
// Usage: host_binding_check.exe WORK_DIR
#include <cstdio>
#include <cstring>
#include <string>

#include "base/fixed_field.h"
#include "host/win32/imported_host_library.h"
#include "tests/win32/check.h"

using namespace dz;
using dz::wincheck::check;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: host_binding_check WORK_DIR\n");
    return 2;
  }
  dz::ImportedHostLibrary host;
  const std::string path = std::string(argv[1]) + "\\binding.qel";
  std::remove(path.c_str());

  const uint8_t* info = host.GetHostInfo(0);
  check(info != nullptr, "GetHostInfo(0) answers a block");

  QelHandle h = host.OpenFeatureFile(path.c_str());
  check(h > 0, "OpenFeatureFile of a new path");
  PointRecord p{};
  dz::copyName(p.name, "X1");
  p.north = 1.25;
  p.east = -2.5;
  p.code = 7311;
  check(host.AddPoint(h, &p, 1) > 0, "AddPoint");
  check(host.AddPoint(h, &p, 1) <= 0, "AddPoint of an existing name is refused");
  check(host.PointExists(h, "X1") > 0 && host.PointExists(h, "X2") < 0, "PointExists never answers 0");
  double first = 0, second = 0;
  host.GetPointXY(h, "X1", &first, &second);
  check(first == 1.25 && second == -2.5, "GetPointXY gives north then east");

  FeatureHeader header{};
  header.kind = kHouse;
  header.code = 2120;
  PointRef refs[2]{};
  dz::copyName(refs[0].name, "X1");
  dz::copyName(refs[1].name, "X1");
  uint8_t block[20] = {9};
  check(host.AddFeature(h, &header, refs, 2, block, 20) > 0, "AddFeature");
  int count = 0;
  check(host.GetFeatureCount(h, &count) > 0 && count == 1, "GetFeatureCount");
  FeatureHeader got{};
  const PointRef* gotRefs = nullptr;
  int16_t n = 0;
  const uint8_t* attributes = nullptr;
  int length = 0;
  check(host.GetFeature(h, 1, &got, &gotRefs, &n, &attributes, &length) > 0 && n == 2 && length == 20 &&
            attributes[0] == 9 && got.code == 2120,
        "GetFeature hands out the stored feature");

  const double pairs[] = {0, 0, 10, 0, 10, 10, 0, 10, 0, 0};
  const double inside[] = {5, 5};
  check(host.PointInPolygon(pairs, 5, inside) == 2, "PointInPolygon answers 2 inside");

  QelHandle layer = host.GetTextLayer(h);
  check(layer > 0, "GetTextLayer");
  TextStyle style{};
  style.height = 3.0f;
  const double anchor[2] = {100, 200};
  const int object = host.AddTextObject(layer, anchor, "T", 1, &style, 2);
  check(object == 1, "AddTextObject numbers objects from 1");
  void *a = nullptr, *b = nullptr;
  check(host.GetObjectAttributes(layer, object, &a, &b) > 0, "GetObjectAttributes");
  host.SetAttributeField(b, a, "k", "v");
  check(host.WriteObjectAttributes(layer, 1, object, a, b) > 0, "WriteObjectAttributes");

  check(host.CommitFeatureFile(h) > 0, "CommitFeatureFile");
  check(host.CloseFeatureFile(h) > 0, "CloseFeatureFile");
  h = host.OpenFeatureFile(path.c_str());
  check(h > 0 && host.PointExists(h, "X1") > 0, "the committed file reopens with its point");
  check(host.GetFeatureCount(h, &count) > 0 && count == 1, "and its feature");
  host.CloseFeatureFile(h);
  check(host.PointExists(h, "X1") < 0, "a closed handle is unknown");

  return dz::wincheck::finish("host_binding_check");
}
