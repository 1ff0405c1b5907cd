#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "session/script_paths.h"

namespace dz::session {
namespace {

TEST(ScriptPathNames, FullPathsReadAsTheScriptWroteThem) {
  ScriptPathNames names;
  names.Add("Z:\\w\\samples\\a.txt", "samples/a.txt");
  names.Add("Z:\\w\\out", "out");
  // Longest first: the output's ".qel" stays after the script's words.
  EXPECT_EQ(names.AsScriptWrote("Z:\\w\\out.qel"), "out.qel");
  EXPECT_EQ(names.AsScriptWrote("can't open Z:\\w\\out.qel failed!!"), "can't open out.qel failed!!");
  EXPECT_EQ(names.AsScriptWrote("Z:\\w\\samples\\a.txt and Z:\\w\\samples\\a.txt"), "samples/a.txt and samples/a.txt");
  EXPECT_EQ(names.AsScriptWrote("typed.txt"), "typed.txt");
  ControlState state;
  state.text = "Z:\\w\\out";
  state.items = {"x", "Z:\\w\\samples\\a.txt"};
  const ControlState shown = names.AsScriptWrote(state);
  EXPECT_EQ(shown.text, "out");
  EXPECT_EQ(shown.items, (std::vector<std::string>{"x", "samples/a.txt"}));
}

TEST(ScriptPathNames, AFileNamedTwoWaysReadsAsTheFirstName) {
  ScriptPathNames names;
  names.Add("/w/samples/a.txt", "samples/a.txt");
  names.Add("/w/samples/a.txt", "./samples/a.txt");
  EXPECT_EQ(names.AsScriptWrote("/w/samples/a.txt"), "samples/a.txt");
}

TEST(ScriptPathNames, MatchesOnlyWholeGbkCharacters) {
  ScriptPathNames names;
  // The trail byte of 乗 (81 5C) and the next byte are no "\a" of a path.
  names.Add("\\a", "A");
  EXPECT_EQ(names.AsScriptWrote("\x81\x5C" "a"), "\x81\x5C" "a");
  EXPECT_EQ(names.AsScriptWrote("x\\a"), "xA");
}

TEST(FullPathOf, RelativePathsStartFromTheCurrentDirectory) {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  const std::string here = cwd;
  EXPECT_EQ(FullPathOf("a/b.txt"), here + "/a/b.txt");
  EXPECT_EQ(FullPathOf("./a//b.txt"), here + "/a/b.txt");
  EXPECT_EQ(FullPathOf("x.qel/../out"), here + "/out");
  EXPECT_EQ(FullPathOf("/p/q/./r/../s"), "/p/q/s");
  EXPECT_EQ(FullPathOf("/../x"), "/x");
  EXPECT_EQ(FullPathOf("/"), "/");
}

}  // namespace
}  // namespace dz::session
