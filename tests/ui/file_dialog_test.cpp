#include <gtest/gtest.h>

#include "ui/file_dialog.h"

namespace dz::ui {
namespace {

TEST(ChosenPathExtension, AppendedUnlessItsTextStandsAnywhere) {
  struct Case {
    const char* chosen;
    const char* result;
  } cases[] = {
      {"D:\\a\\b", "D:\\a\\b.qel"},         {"D:\\x.qel\\b", "D:\\x.qel\\b"},
      {"D:\\b.QEL", "D:\\b.QEL.qel"},       {"C:\\a.qel.bak", "C:\\a.qel.bak"},
      {"D:\\数据\\图", "D:\\数据\\图.qel"},  {"D:\\数据\\图.qel", "D:\\数据\\图.qel"},
  };
  for (const Case& c : cases) {
    std::string path = c.chosen;
    AppendExtensionUnlessPresent(path, ".qel");
    EXPECT_EQ(path, c.result);
  }
}

}  // namespace
}  // namespace dz::ui
