// Scripts of user sessions: what the host does (open a file, hand over a
// point name, call a command, commit, dump) and, for each call, what the
// user does in the dialogs it opens. Parsed here, once, for every player:
// `dobrenz run` on the headless backend and qelhost on real windows, which
// play the host's steps alike (host_steps.h), refuse the same actions
// (refusals.h) and print the same log (session_log.h).
//
//   open "FILE.qel"            name "K12"  |  name-hex <24 hex digits>
//   call N                     (an ordinal of command_table.h) ... end
//     type ID "TEXT"   click ID   check ID on|off   select ID INDEX
//     file "PATH"   file-cancel   answer ok|yes|no   show ID   close
//   end
//   commit                     dump
//
// '#' outside quotes starts a comment. Texts are in double quotes, UTF-8,
// with \" and \\ as the only escapes (any other backslash stays, so Windows
// paths read naturally).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dz::session {

struct ScriptError {
  int line = 0;
  std::string message;  // UTF-8
};

struct ScriptAction {
  enum class Kind { Type, Click, Check, Select, File, FileCancel, Answer, Show, Close };
  Kind kind = Kind::Click;
  int line = 0;
  int id = 0;          // control id (type, click, check, select, show)
  int index = 0;       // select
  bool on = false;     // check
  int answer = 0;      // answer: ui::kIdOk, ui::kIdYes or ui::kIdNo
  std::string text;    // type: GBK; file: the path in the platform's narrow form
  std::string utf8;    // the quoted text as written
};

struct ScriptStep {
  enum class Kind { Open, Name, Call, Commit, Dump };
  Kind kind = Kind::Dump;
  int line = 0;
  std::string text;    // open: the path in the platform's narrow form; name: exactly 12 bytes
  std::string utf8;    // open, name: the quoted text as written
  int ordinal = 0;     // call
  std::vector<ScriptAction> actions;  // call: the user's actions, in order
  int endLine = 0;     // call: the line of its `end`
};

struct SessionScript {
  std::vector<ScriptStep> steps;
};

// Parses a whole script (UTF-8, optionally with a byte order mark; LF or
// CR LF lines). False with the first error's line and reason.
bool ParseSessionScript(std::string_view text, SessionScript& script, ScriptError& error);

// A script's path text in the platform's own narrow form: GBK on Windows,
// UTF-8 elsewhere. False for a path GBK cannot hold, which no dialog could
// show or take back from its box.
bool ScriptPathToPlatform(const std::string& utf8, std::string& path);

}  // namespace dz::session
