// Reads the built DobrenzData.dll as Windows does: its version resource, its
// resources and their language, and its exports by ordinal.
// Usage: plugin_image_check.exe PATH\DobrenzData.dll
#include <windows.h>

#include <string>
#include <vector>

#include "session/command_table.h"
#include "tests/win32/check.h"

using dz::wincheck::check;

namespace {

std::wstring versionString(const std::vector<char>& block, const wchar_t* name) {
  const std::wstring key = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), key.c_str(), &value, &length) || !value) return L"(missing)";
  return std::wstring(static_cast<const wchar_t*>(value));
}

BOOL CALLBACK addLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list) {
  reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
  return TRUE;
}

BOOL CALLBACK addName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) {
  reinterpret_cast<std::vector<int>*>(list)->push_back(
      IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1);
  return TRUE;
}

std::vector<WORD> languagesOf(HMODULE module, LPCWSTR type, LPCWSTR name) {
  std::vector<WORD> languages;
  EnumResourceLanguagesW(module, type, name, &addLanguage, reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

std::vector<int> namesOf(HMODULE module, LPCWSTR type) {
  std::vector<int> names;
  EnumResourceNamesW(module, type, &addName, reinterpret_cast<LONG_PTR>(&names));
  return names;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::printf("usage: plugin_image_check PATH\\DobrenzData.dll\n");
    return 2;
  }
  const wchar_t* path = argv[1];

  // The version resource.
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  check(size > 0, "the library has a version resource");
  std::vector<char> block(size ? size : 1);
  if (size && GetFileVersionInfoW(path, 0, size, block.data())) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    check(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed,
          "the version resource has its fixed part");
    if (fixed) {
      check(fixed->dwFileVersionMS == 0x00010000 && fixed->dwFileVersionLS == 0x00000001, "file version 1.0.0.1");
      check(fixed->dwProductVersionMS == 0x00010000 && fixed->dwProductVersionLS == 0x00000001,
            "product version 1.0.0.1");
      check(fixed->dwFileType == VFT_DLL, "the file type is a library");
    }
    WORD* translation = nullptr;
    check(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                         &length) &&
              length == 4 && translation[0] == 0x0804 && translation[1] == 1200,
          "translation: Chinese (PRC), Unicode code page");
    check(versionString(block, L"FileDescription") == L"DobrenzData DLL", "FileDescription");
    check(versionString(block, L"InternalName") == L"DobrenzData", "InternalName");
    check(versionString(block, L"ProductName") == L"DobrenzData Dynamic Link Library", "ProductName");
  }

  // The resources, as data: loading the image does not run the library.
  HMODULE image = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  check(image != nullptr, "the library loads as data");
  if (image) {
    check(namesOf(image, MAKEINTRESOURCEW(5)) == std::vector<int>({1002, 1003, 2004, 4052}), "dialogs 1002, 1003, 2004, 4052");
    for (int id : {1002, 1003, 2004, 4052})
      check(languagesOf(image, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(id)) == std::vector<WORD>({0x0804}),
            "dialog " + std::to_string(id) + " in Chinese (PRC) only");
    check(namesOf(image, MAKEINTRESOURCEW(240)) == std::vector<int>({2004, 4052}),
          "list initialisations of 2004 and 4052");
    check(namesOf(image, MAKEINTRESOURCEW(6)).empty(), "no string table");
    check(languagesOf(image, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1)) == std::vector<WORD>({0x0804}),
          "the version resource in Chinese (PRC)");
    FreeLibrary(image);
  }

  // The exports, as the host binds them: the ordinals of the command table,
  // nothing by name.
  HMODULE library = LoadLibraryW(path);
  check(library != nullptr, "the library loads (its DllMain succeeds)");
  if (library) {
    for (int ordinal = 1; ordinal <= 60; ++ordinal) {
      const bool command = dz::session::FindCommand(ordinal) != nullptr;
      const bool found = GetProcAddress(library, MAKEINTRESOURCEA(ordinal)) != nullptr;
      check(found == command, "ordinal " + std::to_string(ordinal) + (command ? " is exported" : " is not exported"));
    }
    std::vector<std::string> names = {"DllMain"};
    for (const dz::session::Command& c : dz::session::kCommands) names.push_back(c.name);
    for (const std::string& name : names)
      check(GetProcAddress(library, name.c_str()) == nullptr, "no export named " + name);
    check(FreeLibrary(library) != 0, "the library unloads");
    // Unloading leaves the heaps whole: nothing of the library is written
    // after the runtime freed it.
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    bool whole = count > 0;
    for (DWORD i = 0; i < count && i < 64; ++i) whole = HeapValidate(heaps[i], 0, nullptr) && whole;
    check(whole, "the heaps are whole after the library unloaded");
  }
  return dz::wincheck::finish("plugin_image_check");
}
