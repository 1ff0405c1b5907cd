#include "session/session_script.h"

#include <cstring>

#include "base/fixed_field.h"
#include "base/gbk.h"
#include "session/command_table.h"
#include "ui/message_service.h"

namespace dz::session {
namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

class LineParser {
 public:
  LineParser(int line, ScriptError& error) : line_(line), error_(error) {}

  bool fail(const std::string& message) {
    error_.line = line_;
    error_.message = message;
    return false;
  }

  // Splits one line into words and quoted texts; a '#' outside quotes ends it.
  bool tokenize(std::string_view text, std::vector<Token>& tokens) {
    size_t i = 0;
    while (i < text.size()) {
      const char c = text[i];
      if (c == ' ' || c == '\t') {
        ++i;
      } else if (c == '#') {
        break;
      } else if (c == '"') {
        Token t;
        t.quoted = true;
        ++i;
        bool closed = false;
        while (i < text.size()) {
          const char d = text[i];
          if (d == '"') {
            closed = true;
            ++i;
            break;
          }
          if (d == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
            t.text += text[i + 1];
            i += 2;
            continue;
          }
          t.text += d;
          ++i;
        }
        if (!closed) return fail("the quoted text has no closing quote");
        if (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '#')
          return fail("a quoted text must be followed by a space");
        tokens.push_back(std::move(t));
      } else {
        Token t;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '#' && text[i] != '"')
          t.text += text[i++];
        tokens.push_back(std::move(t));
      }
    }
    return true;
  }

  bool count(const std::vector<Token>& tokens, size_t expected, const char* usage) {
    if (tokens.size() != expected) return fail(std::string("expected: ") + usage);
    return true;
  }

  bool quoted(const Token& t, const char* usage, std::string& utf8) {
    if (!t.quoted) return fail(std::string("the text must stand in double quotes: ") + usage);
    utf8 = t.text;
    return true;
  }

  // The one quoted path of a `usage` line with two words: as written, and in
  // the platform's form (never empty: `ifEmpty` says what to do instead).
  bool path(const std::vector<Token>& t, const char* usage, const char* ifEmpty, std::string& utf8,
            std::string& platform) {
    if (!count(t, 2, usage) || !quoted(t[1], usage, utf8)) return false;
    if (!ScriptPathToPlatform(utf8, platform)) return fail("the path has characters that GBK cannot hold");
    if (platform.empty()) return fail(ifEmpty);
    return true;
  }

  bool gbk(const std::string& utf8, std::string& out) {
    if (!dz::utf8ToGbk(utf8, out)) return fail("the text has characters that GBK cannot hold");
    return true;
  }

  bool number(const Token& t, const char* what, int maxValue, int& value) {
    if (t.quoted || t.text.empty() || t.text.size() > 9) return fail(std::string("expected ") + what + ", not '" + t.text + "'");
    int v = 0;
    for (char c : t.text) {
      if (c < '0' || c > '9') return fail(std::string("expected ") + what + ", not '" + t.text + "'");
      v = v * 10 + (c - '0');
    }
    if (v > maxValue) return fail(std::string(what) + " " + t.text + " is out of range");
    value = v;
    return true;
  }

 private:
  int line_;
  ScriptError& error_;
};

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isActionVerb(const std::string& verb) {
  static const char* const kVerbs[] = {"type", "click", "check", "select", "file", "file-cancel", "answer", "show", "close"};
  for (const char* v : kVerbs)
    if (verb == v) return true;
  return false;
}

bool isStepVerb(const std::string& verb) {
  return verb == "open" || verb == "name" || verb == "name-hex" || verb == "call" || verb == "commit" ||
         verb == "dump";
}

bool parseAction(LineParser& p, const std::vector<Token>& t, int line, ScriptAction& a) {
  const std::string& verb = t[0].text;
  a.line = line;
  if (verb == "type") {
    a.kind = ScriptAction::Kind::Type;
    return p.count(t, 3, "type ID \"TEXT\"") && p.number(t[1], "a control id", 65535, a.id) &&
           p.quoted(t[2], "type ID \"TEXT\"", a.utf8) && p.gbk(a.utf8, a.text);
  }
  if (verb == "click") {
    a.kind = ScriptAction::Kind::Click;
    return p.count(t, 2, "click ID") && p.number(t[1], "a control id", 65535, a.id);
  }
  if (verb == "check") {
    a.kind = ScriptAction::Kind::Check;
    if (!p.count(t, 3, "check ID on|off") || !p.number(t[1], "a control id", 65535, a.id)) return false;
    if (t[2].quoted || (t[2].text != "on" && t[2].text != "off")) return p.fail("expected on or off, not '" + t[2].text + "'");
    a.on = t[2].text == "on";
    return true;
  }
  if (verb == "select") {
    a.kind = ScriptAction::Kind::Select;
    return p.count(t, 3, "select ID INDEX") && p.number(t[1], "a control id", 65535, a.id) &&
           p.number(t[2], "an item index", 1 << 30, a.index);
  }
  if (verb == "file") {
    a.kind = ScriptAction::Kind::File;
    return p.path(t, "file \"PATH\"", "a file dialog cannot be answered with an empty path: use file-cancel", a.utf8,
                  a.text);
  }
  if (verb == "file-cancel") {
    a.kind = ScriptAction::Kind::FileCancel;
    return p.count(t, 1, "file-cancel");
  }
  if (verb == "answer") {
    a.kind = ScriptAction::Kind::Answer;
    if (!p.count(t, 2, "answer ok|yes|no")) return false;
    if (!t[1].quoted && t[1].text == "ok") a.answer = ui::kIdOk;
    else if (!t[1].quoted && t[1].text == "yes") a.answer = ui::kIdYes;
    else if (!t[1].quoted && t[1].text == "no") a.answer = ui::kIdNo;
    else return p.fail("expected ok, yes or no, not '" + t[1].text + "'");
    return true;
  }
  if (verb == "show") {
    a.kind = ScriptAction::Kind::Show;
    return p.count(t, 2, "show ID") && p.number(t[1], "a control id", 65535, a.id);
  }
  a.kind = ScriptAction::Kind::Close;
  return p.count(t, 1, "close");
}

bool parseStep(LineParser& p, const std::vector<Token>& t, int line, ScriptStep& s) {
  const std::string& verb = t[0].text;
  s.line = line;
  if (verb == "open") {
    s.kind = ScriptStep::Kind::Open;
    return p.path(t, "open \"FILE.qel\"", "open needs a file name", s.utf8, s.text);
  }
  if (verb == "name") {
    s.kind = ScriptStep::Kind::Name;
    std::string gbk;
    if (!p.count(t, 2, "name \"NAME\"") || !p.quoted(t[1], "name \"NAME\"", s.utf8) || !p.gbk(s.utf8, gbk)) return false;
    if (gbk.size() > dz::kNameWidth) return p.fail("a point name has at most 12 bytes; this one has " + std::to_string(gbk.size()));
    s.text.assign(dz::kNameWidth, '\0');
    dz::copyName(&s.text[0], gbk);
    return true;
  }
  if (verb == "name-hex") {
    s.kind = ScriptStep::Kind::Name;
    if (!p.count(t, 2, "name-hex <24 hex digits>")) return false;
    const std::string& hex = t[1].text;
    if (t[1].quoted || hex.size() != 2 * dz::kNameWidth) return p.fail("name-hex needs exactly 24 hex digits");
    s.text.assign(dz::kNameWidth, '\0');
    for (size_t i = 0; i < dz::kNameWidth; ++i) {
      const int hi = hexDigit(hex[2 * i]), lo = hexDigit(hex[2 * i + 1]);
      if (hi < 0 || lo < 0) return p.fail("name-hex needs exactly 24 hex digits");
      s.text[i] = static_cast<char>(hi * 16 + lo);
    }
    return true;
  }
  if (verb == "call") {
    s.kind = ScriptStep::Kind::Call;
    if (!p.count(t, 2, "call N") || !p.number(t[1], "a command ordinal", 65535, s.ordinal)) return false;
    if (!FindCommand(s.ordinal)) {
      std::string ordinals;
      for (const Command& c : kCommands) ordinals += (ordinals.empty() ? "" : ", ") + std::to_string(c.ordinal);
      return p.fail("there is no command " + t[1].text + " (" + ordinals + ")");
    }
    return true;
  }
  s.kind = verb == "commit" ? ScriptStep::Kind::Commit : ScriptStep::Kind::Dump;
  return p.count(t, 1, verb.c_str());
}

}  // namespace

bool ScriptPathToPlatform(const std::string& utf8, std::string& path) {
  // Only a path GBK can hold: the dialogs show and take paths as GBK texts.
  std::string gbk;
  if (!dz::utf8ToGbk(utf8, gbk)) return false;
#ifdef _WIN32
  path = gbk;
#else
  path = utf8;
#endif
  return true;
}

bool ParseSessionScript(std::string_view text, SessionScript& script, ScriptError& error) {
  script.steps.clear();
  if (text.size() >= 3 && std::memcmp(text.data(), "\xEF\xBB\xBF", 3) == 0) text.remove_prefix(3);
  ScriptStep* openCall = nullptr;
  int lineNumber = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    LineParser p(lineNumber, error);
    std::vector<Token> tokens;
    if (!p.tokenize(line, tokens)) return false;
    if (tokens.empty()) continue;
    if (tokens[0].quoted) return p.fail("a line starts with a word, not a quoted text");
    const std::string& verb = tokens[0].text;

    if (verb == "end") {
      if (!openCall) return p.fail("end without call");
      if (!p.count(tokens, 1, "end")) return false;
      openCall->endLine = lineNumber;
      openCall = nullptr;
    } else if (isActionVerb(verb)) {
      if (!openCall) return p.fail(verb + " is a user's action: it belongs between call N and end");
      ScriptAction action;
      if (!parseAction(p, tokens, lineNumber, action)) return false;
      openCall->actions.push_back(std::move(action));
    } else if (isStepVerb(verb)) {
      if (openCall)
        return p.fail(verb + " cannot stand inside call " + std::to_string(openCall->ordinal) + " (line " +
                      std::to_string(openCall->line) + "): end it first");
      ScriptStep step;
      if (!parseStep(p, tokens, lineNumber, step)) return false;
      script.steps.push_back(std::move(step));
      if (script.steps.back().kind == ScriptStep::Kind::Call) openCall = &script.steps.back();
    } else {
      return p.fail("unknown word '" + verb + "'");
    }
  }
  if (openCall) {
    error.line = openCall->line;
    error.message = "call " + std::to_string(openCall->ordinal) + " has no end";
    return false;
  }
  return true;
}

}  // namespace dz::session
