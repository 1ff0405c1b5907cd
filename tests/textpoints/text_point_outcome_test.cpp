// What an import records of how it ended, beside the messages it tells: the
// facts a caller decides on without reading message texts.
#include <gtest/gtest.h>

#include "base/fixed_field.h"
#include "standin/engine.h"
#include "tests/support/test_files.h"
#include "textpoints/text_point_importer.h"

namespace dz {
namespace {

class TextPointOutcome : public ::testing::Test {
 protected:
  // Imports `text` (none: a file that does not exist) after `base` with a
  // fresh importer, as a newly opened dialog would, and gives the outcome in
  // one line. A cycle of 0 imports in the column layout.
  std::string import(const std::string& base, const std::string& text, int cycle = -1) {
    CTextPointImporter importer(engine, messages);
    importer.m_hFile = file;
    importer.m_nLayout = cycle < 0 ? CTextPointImporter::kRowLayout : CTextPointImporter::kColumnLayout;
    importer.m_nCycle = cycle;
    importer.m_strSeparator = ",";
    importer.m_nEastPos = 1;
    importer.m_nNorthPos = 2;
    importer.m_nElevPos = 3;
    copyName(importer.m_szPointName, base);
    importer.m_strPath = text.empty() ? dir.file("absent.txt") : dir.write("points.txt", text);
    messages.shown.clear();
    importer.ImportPoints();
    const CTextPointImporter::Outcome& o = importer.LastOutcome();
    return std::string(o.opened ? "opened " : "") + (o.completed ? "completed " : "") +
           (o.baseKept ? "base-kept " : "") + "| refused " + std::to_string(importer.LastCounts().refused) +
           " | told " + std::to_string(messages.shown.size());
  }

  test::TempDir dir;
  FeatureFileEngine engine{"."};
  QelHandle file = engine.OpenFeatureFile(dir.file("target.qel").c_str());
  test::RecordingMessages messages;
};

TEST_F(TextPointOutcome, RecordsWhetherTheFileWasReadToItsEndAndWhichNamesDidNotFit) {
  EXPECT_EQ(import("K1", "1,1,1\n2,2,2\n"), "opened completed | refused 0 | told 1");
  EXPECT_EQ(import("K1", ""), "| refused 0 | told 1");
  // The last name fits, the one after it would not: the base stays.
  EXPECT_EQ(import("ABCDEFGHI98", "1,1,1\n2,2,2\n"), "opened completed base-kept | refused 0 | told 2");
  EXPECT_EQ(import("ABCDEFGHI98", "1,1,1\n2,2,2\n3,3,3\n"), "opened completed base-kept | refused 1 | told 2");
  EXPECT_EQ(import("K1", "1\n2\n3\n", 0), "opened | refused 0 | told 0");
}

}  // namespace
}  // namespace dz
