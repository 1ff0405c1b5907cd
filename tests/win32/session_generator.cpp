#include "tests/win32/session_generator.h"

#include <stdexcept>
#include <vector>

#include "attributes/attribute_path_ids.h"
#include "base/gbk.h"
#include "cass/cass_convert_ids.h"
#include "epsw/epsw_convert_ids.h"
#include "module/session_runner.h"
#include "res/dialog_templates.h"
#include "session/refusals.h"
#include "session/session_script.h"
#include "standin/engine.h"
#include "textpoints/text_data_ids.h"
#include "ui/message_service.h"

namespace dz::test {
namespace {

using session::ScriptAction;
using session::UserFacing;
using Strings = std::vector<std::string>;

// splitmix64: the same numbers on every machine for a seed.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<uint64_t>(n)); }
  bool chance(int percent) { return below(100) < percent; }
  const std::string& pick(const Strings& from) { return from[static_cast<size_t>(below(static_cast<int>(from.size())))]; }

 private:
  uint64_t state_;
};

// --- What the user picks from ------------------------------------------------

const Strings kQs = {"samples/cass/sample.qs", "./samples/cass/sample.qs"};
const Strings kTexts = {"samples/cass/parcels.txt",
                        "samples/attributes/parcels.txt",
                        "samples/attributes/boundary_points.txt",
                        "samples/attributes/houses.txt",
                        "samples/textpoints/column_points.txt",
                        "samples/textpoints/control_points.txt",
                        "samples/textpoints/spaced_points.txt",
                        u8"tests/win32/sessions/data/控制点.txt",
                        "tests/win32/sessions/data/raw_bytes.txt",
                        "tests/win32/sessions/data/dir.qel/points.txt"};
const Strings kCas = {"samples/cass/sample.cas", "missing.cas"};
const Strings kCor = {"samples/epsw/sample.cor", "tests/win32/sessions/data/far.cor"};
const Strings kNot = {"samples/epsw/sample.not"};
// Where feature files are written: new names, ".qel" in capitals, a folder
// whose name holds ".qel" on the way, a folder that does not exist.
const Strings kOutputs = {"g1", "g2.qel", "G3.QEL", "tests/win32/sessions/data/dir.qel/../g4", "samples/g6",
                          "no_such_folder/g5"};
// What the host opens: the outputs, and a file nobody wrote.
const Strings kHostFiles = {"g1.qel", "g2.qel", "G3.QEL.qel", "tests/win32/sessions/data/g4.qel", "samples/g6.qel",
                            "fresh.qel"};

Strings allFiles() {
  Strings all;
  for (const Strings* s : {&kQs, &kTexts, &kCas, &kCor, &kNot, &kOutputs}) all.insert(all.end(), s->begin(), s->end());
  return all;
}

// Texts typed into the boxes, by what the box is for.
const Strings kTypedPaths = {"",
                             "samples/textpoints/control_points.txt",
                             "./samples/textpoints/column_points.txt",
                             u8"tests/win32/sessions/data/控制点.txt",
                             "samples/attributes/parcels.txt",
                             "samples/cass/sample.qs",
                             "samples",
                             "missing.txt",
                             "g1.qel",
                             "typed.qel"};
const Strings kNumbers = {"0", "1", "2", "3", "4", "5", "6", "-1", "", "x", "2.5", " 3 ", u8"三", "99999"};
const Strings kSeparators = {",", "", " ", "?", ";", u8"，"};
const Strings kPrefixes = {"P", u8"东", "", "K-", "AB"};
const Strings kCategories = {u8"宗地", u8"房屋", "x", ""};
const Strings kNames = {"K12", u8"东1", "P", "", "ABCDEFGHIJK", "X9"};

enum class Box { Path, Number, Separator, Prefix, Category, Other };

Box boxOf(int dialog, int id) {
  switch (dialog) {
    case IDD_CASS_CONVERT:
    case IDD_EPSW_CONVERT: return Box::Path;
    case IDD_ATTRIBUTE_PATH:
      if (id == IDC_ATTR_PATH || id == IDC_ATTR_SAVE_PATH) return Box::Path;
      if (id == IDC_ATTR_PREFIX) return Box::Prefix;
      if (id == IDC_ATTR_CATEGORY) return Box::Category;
      return Box::Other;
    case IDD_TEXT_DATA:
      if (id == IDC_TEXT_PATH) return Box::Path;
      if (id == IDC_TEXT_SEPARATOR) return Box::Separator;
      if (id == IDC_TEXT_PREFIX) return Box::Prefix;
      return Box::Number;
    default: return Box::Other;
  }
}

const Strings& typedTexts(Box box) {
  switch (box) {
    case Box::Path: return kTypedPaths;
    case Box::Number: return kNumbers;
    case Box::Separator: return kSeparators;
    case Box::Prefix: return kPrefixes;
    case Box::Category: return kCategories;
    case Box::Other: break;
  }
  return kPrefixes;
}

// The files a file dialog is answered with: mostly those its filter asks for.
const Strings& filesFor(const ui::FileDialogRequest& request) {
  const std::string& f = request.filter;
  if (f.find("*.qs") != std::string::npos) return kQs;
  if (f.find("*.txt") != std::string::npos) return kTexts;
  if (f.find("*cas") != std::string::npos) return kCas;
  if (f.find("*.cor") != std::string::npos) return kCor;
  if (f.find("*.not") != std::string::npos) return kNot;
  return kOutputs;
}

std::string quoted(const std::string& utf8) {
  std::string q = "\"";
  for (char c : utf8) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + "\"";
}

// The action of one script line, as the player parses it.
ScriptAction parseAction(const std::string& line) {
  session::SessionScript script;
  session::ScriptError error;
  if (!session::ParseSessionScript("call 10\n" + line + "\nend\n", script, error))
    throw std::logic_error("the generator wrote a line it cannot read: " + line + ": " + error.message);
  return script.steps.at(0).actions.at(0);
}

// --- The user ----------------------------------------------------------------

// Chooses the user's actions while the calls play; keeps the lines of each.
class User {
 public:
  explicit User(Random& random) : random_(random) {}

  std::vector<Strings> calls;  // the action lines of each call, in order
  int actions = 0;

  // The log tells where a call starts: every command opens its dialog first.
  void Log(const std::string& line) {
    if (line.rfind("dialog ", 0) != 0) return;
    if (line.find(" opened") != std::string::npos) {
      if (depth_++ == 0) {
        calls.emplace_back();
        inCall_ = 0;
        budget_ = 4 + random_.below(32);
      }
    } else if (line.find(" closed ") != std::string::npos) {
      --depth_;
    }
  }

  bool Next(const UserFacing& facing, ScriptAction& action) {
    std::string line;
    switch (facing.kind) {
      case UserFacing::Kind::Dialog: line = inDialog(facing); break;
      case UserFacing::Kind::MessageBox:
        // A box left unanswered takes OK or Yes. The next answer in the
        // script would go to the box after it, so once a box is left, so
        // is every box until the user does something else.
        if (leftBox_ || random_.chance(50)) {
          leftBox_ = true;
          return false;
        }
        line = facing.question ? (random_.chance(50) ? "answer yes" : "answer no") : "answer ok";
        break;
      case UserFacing::Kind::FileDialog: line = atFileDialog(facing); break;
      case UserFacing::Kind::Nothing: return false;
    }
    action = parseAction(line);
    leftBox_ = false;
    if (calls.empty()) throw std::logic_error("an action before any dialog opened");
    calls.back().push_back(line);
    ++actions;
    return true;
  }

 private:
  bool fits(const std::string& line, const UserFacing& facing) {
    const ScriptAction a = parseAction(line);
    return session::Refusal(&a, facing).empty();
  }

  std::string atFileDialog(const UserFacing& facing) {
    if (random_.chance(15)) return "file-cancel";
    static const Strings everything = allFiles();
    for (int tries = 0; tries < 20; ++tries) {
      const Strings& from = random_.chance(80) ? filesFor(*facing.fileDialog) : everything;
      const std::string line = "file " + quoted(random_.pick(from));
      if (fits(line, facing)) return line;
    }
    return "file-cancel";
  }

  std::string inDialog(const UserFacing& facing) {
    ++inCall_;
    const ui::DialogWindow& w = *facing.dialog;
    if (inCall_ > budget_) {
      // Time to go: the close box always ends a dialog; OK ends some.
      const int r = random_.below(100);
      return r < 60 ? "close" : r < 80 ? "click 2" : "click 1";
    }
    const ui::DialogTemplate* t = res::FindDialogTemplate(w.TemplateId());
    std::vector<const ui::ControlTemplate*> controls;
    for (const ui::ControlTemplate& c : t->controls)
      if (c.id != ui::kStaticId) controls.push_back(&c);
    for (int tries = 0; tries < 50; ++tries) {
      const ui::ControlTemplate& c = *controls[static_cast<size_t>(random_.below(static_cast<int>(controls.size())))];
      const std::string id = std::to_string(c.id);
      const int r = random_.below(100);
      std::string line;
      if (r < 38) {
        // Buttons: mostly others than OK and Cancel, which may end the dialog.
        if (c.cls != ui::ControlClass::Button) continue;
        if ((c.id == ui::kIdOk && !random_.chance(25)) || (c.id == ui::kIdCancel && !random_.chance(3))) continue;
        line = "click " + id;
      } else if (r < 45) {
        if (c.cls != ui::ControlClass::Button || !ui::IsCheckBoxStyle(c.style)) continue;
        line = "check " + id + (random_.chance(50) ? " on" : " off");
      } else if (r < 72) {
        if (c.cls != ui::ControlClass::Edit && c.cls != ui::ControlClass::ComboBox) continue;
        line = "type " + id + " " + quoted(random_.pick(typedTexts(boxOf(w.TemplateId(), c.id))));
      } else if (r < 80) {
        if (c.cls != ui::ControlClass::ComboBox && c.cls != ui::ControlClass::ListBox) continue;
        line = "select " + id + " " + std::to_string(random_.below(w.GetCount(c.id)));
      } else {
        line = "show " + id;
      }
      if (fits(line, facing)) return line;
    }
    return "show " + std::to_string(controls.front()->id);
  }

  Random& random_;
  bool leftBox_ = false;
  int depth_ = 0;
  int inCall_ = 0;
  int budget_ = 0;
};

// The host's steps of a session, with `call N` and `end` for each call.
Strings hostSteps(Random& random) {
  Strings steps;
  const int episodes = 1 + random.below(3);
  for (int e = 0; e < episodes; ++e) {
    switch (random.below(5)) {
      case 0: steps.push_back("call 10"); break;
      case 1: steps.push_back("call 20"); break;
      case 2: steps.push_back("call 30"); break;
      case 3:
        steps.push_back("open " + quoted(random.pick(kHostFiles)));
        steps.push_back("call 40");
        break;
      default:
        steps.push_back("open " + quoted(random.pick(kHostFiles)));
        if (random.chance(70)) steps.push_back("name " + quoted(random.pick(kNames)));
        steps.push_back("call 50");
        break;
    }
    const bool onFile = steps.back() == "call 40" || steps.back() == "call 50";
    steps.push_back("end");
    if (onFile && random.chance(40)) steps.push_back("commit");
    if (onFile && random.chance(60)) steps.push_back("dump");
    if (!onFile && random.chance(30)) {
      steps.push_back("open " + quoted(random.pick(kHostFiles)));
      steps.push_back("dump");
    }
  }
  return steps;
}

std::string joinLines(const Strings& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

GeneratedSession play(const std::string& skeleton, const session::HeadlessBackend::ActionSource& source,
                      const std::function<void(const std::string&)>& observe) {
  session::SessionScript script;
  session::ScriptError error;
  if (!session::ParseSessionScript(skeleton, script, error))
    throw std::logic_error("line " + std::to_string(error.line) + ": " + error.message);
  GeneratedSession result;
  FeatureFileEngine engine("samples/host");
  const session::SessionOutcome outcome = module::RunSession(script, engine, engine, [&](const std::string& line) {
    if (observe) observe(line);
    result.log += line + "\n";
  }, source);
  if (outcome.exitCode == 2) throw std::logic_error("line " + std::to_string(outcome.line) + ": " + outcome.message);
  result.exitCode = outcome.exitCode != 0 || !engine.takeProblems().empty() ? 1 : 0;
  return result;
}

}  // namespace

GeneratedSession GenerateSession(uint64_t seed, int index) {
  Random random(seed * 1000003u + static_cast<uint64_t>(index));
  const Strings steps = hostSteps(random);
  User user(random);
  GeneratedSession made = play(
      joinLines(steps), [&user](const UserFacing& f, ScriptAction& a) { return user.Next(f, a); },
      [&user](const std::string& line) { user.Log(line); });

  Strings lines = {"# Generated: seed " + std::to_string(seed) + ", session " + std::to_string(index) +
                   " (tests/win32/session_generator.h)."};
  size_t call = 0;
  for (const std::string& step : steps) {
    if (step == "end" && call < user.calls.size()) {
      for (const std::string& action : user.calls[call]) lines.push_back("  " + action);
      ++call;
    }
    lines.push_back(step);
  }
  made.script = joinLines(lines);
  made.actions = user.actions;
  return made;
}

GeneratedSession PlayScript(const std::string& script) { return play(script, {}, {}); }

}  // namespace dz::test
