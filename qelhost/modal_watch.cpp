#include "qelhost/modal_watch.h"

#include <commdlg.h>

#include <cstring>

#include "session/session_log.h"
#include "ui/win32/win32_text.h"

namespace dz::qelhost {
namespace {

ModalWatch* gWatch = nullptr;

using DialogBoxParamWFn = INT_PTR(WINAPI*)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);
using MessageBoxWFn = int(WINAPI*)(HWND, LPCWSTR, LPCWSTR, UINT);
using FileNameFn = BOOL(WINAPI*)(LPOPENFILENAMEW);

DialogBoxParamWFn realDialogBoxParamW = nullptr;
MessageBoxWFn realMessageBoxW = nullptr;
FileNameFn realGetOpenFileNameW = nullptr;
FileNameFn realGetSaveFileNameW = nullptr;

// Pops the entry however the wrapped call ends.
class Opened {
 public:
  explicit Opened(ModalEntry entry) : serial_(gWatch->Push(std::move(entry))) {}
  ~Opened() { gWatch->Pop(serial_); }
  int Serial() const { return serial_; }

 private:
  int serial_;
};

INT_PTR WINAPI watchedDialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param) {
  ModalEntry entry;
  entry.kind = ModalEntry::Kind::Dialog;
  entry.owner = owner;
  entry.templateId = IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : 0;
  const int id = entry.templateId;
  gWatch->Output().Line(session::LogDialogOpened(id));
  INT_PTR result;
  {
    Opened opened(std::move(entry));
    result = realDialogBoxParamW(instance, name, owner, proc, param);
  }
  gWatch->Output().Line(session::LogDialogClosed(id, static_cast<int>(result)));
  return result;
}

int WINAPI watchedMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  ModalEntry entry;
  entry.kind = ModalEntry::Kind::MessageBox;
  entry.owner = owner;
  entry.text = text ? text : L"";
  entry.caption = caption ? caption : L"";
  entry.type = type;
  const std::string gbk = ui::win32::Narrow(entry.text);
  int answer;
  {
    Opened opened(std::move(entry));
    answer = realMessageBoxW(owner, text, caption, type);
  }
  gWatch->Output().Line(session::LogMessageBox(gWatch->Output().AsScriptWrote(gbk), answer));
  return answer;
}

// The filter as the plug-in wrote it ("text|pattern|...||") from the list
// the common dialog takes (parts ended by zeros, the list by another).
std::wstring filterText(const wchar_t* list) {
  std::wstring text;
  if (!list || !*list) return text;
  while (*list) {
    text += list;
    text += L'|';
    list += wcslen(list) + 1;
  }
  return text + L'|';
}

BOOL watchedFileDialog(LPOPENFILENAMEW ofn, bool open) {
  ModalEntry entry;
  entry.kind = ModalEntry::Kind::FileDialog;
  entry.owner = ofn ? ofn->hwndOwner : nullptr;
  entry.open = open;
  entry.flags = ofn ? ofn->Flags : 0;
  entry.filter = filterText(ofn ? ofn->lpstrFilter : nullptr);
  Opened opened(std::move(entry));
  const BOOL chosen = open ? realGetOpenFileNameW(ofn) : realGetSaveFileNameW(ofn);
  if (chosen && ofn && ofn->lpstrFile) gWatch->Chose(opened.Serial(), ofn->lpstrFile);
  return chosen;
}

BOOL WINAPI watchedGetOpenFileNameW(LPOPENFILENAMEW ofn) { return watchedFileDialog(ofn, true); }
BOOL WINAPI watchedGetSaveFileNameW(LPOPENFILENAMEW ofn) { return watchedFileDialog(ofn, false); }

// Replaces the import `function` of `dll` in the module's import address
// table with `replacement`; the previous target goes to `original`.
bool wrapImport(HMODULE module, const char* dll, const char* function, void* replacement, void** original) {
  auto* base = reinterpret_cast<unsigned char*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return false;
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) != 0 || !d->OriginalFirstThunk) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD protection = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection)) return false;
      *original = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      return true;
    }
  }
  return false;
}

}  // namespace

bool ModalWatch::Install(HMODULE plugin, std::string& error) {
  gWatch = this;
  struct Wrap {
    const char* dll;
    const char* function;
    void* replacement;
    void** original;
  };
  const Wrap wraps[] = {
      {"user32.dll", "DialogBoxParamW", reinterpret_cast<void*>(&watchedDialogBoxParamW),
       reinterpret_cast<void**>(&realDialogBoxParamW)},
      {"user32.dll", "MessageBoxW", reinterpret_cast<void*>(&watchedMessageBoxW),
       reinterpret_cast<void**>(&realMessageBoxW)},
      {"comdlg32.dll", "GetOpenFileNameW", reinterpret_cast<void*>(&watchedGetOpenFileNameW),
       reinterpret_cast<void**>(&realGetOpenFileNameW)},
      {"comdlg32.dll", "GetSaveFileNameW", reinterpret_cast<void*>(&watchedGetSaveFileNameW),
       reinterpret_cast<void**>(&realGetSaveFileNameW)},
  };
  for (const Wrap& w : wraps)
    if (!wrapImport(plugin, w.dll, w.function, w.replacement, w.original)) {
      error = std::string("the plug-in does not import ") + w.function + " from " + w.dll;
      return false;
    }
  return true;
}

bool ModalWatch::Top(ModalEntry& entry) const {
  CriticalSection::Hold hold(lock_);
  if (open_.empty()) return false;
  entry = open_.back();
  return true;
}

std::wstring ModalWatch::ChosenPath(int serial) const {
  CriticalSection::Hold hold(lock_);
  return serial == chosenSerial_ ? chosen_ : std::wstring();
}

void ModalWatch::Chose(int serial, std::wstring path) {
  CriticalSection::Hold hold(lock_);
  chosenSerial_ = serial;
  chosen_ = std::move(path);
}

size_t ModalWatch::Depth() const {
  CriticalSection::Hold hold(lock_);
  return open_.size();
}

int ModalWatch::Push(ModalEntry entry) {
  CriticalSection::Hold hold(lock_);
  entry.serial = nextSerial_++;
  open_.push_back(std::move(entry));
  return open_.back().serial;
}

void ModalWatch::Pop(int serial) {
  CriticalSection::Hold hold(lock_);
  for (auto it = open_.begin(); it != open_.end(); ++it)
    if (it->serial == serial) {
      open_.erase(it);
      return;
    }
}

}  // namespace dz::qelhost
