// Reads the stopwatch window as a screen reader on Windows does, through Active Accessibility
// (oleacc): the window's name, then each control's role and name, one line each ("window NAME",
// "child ROLE NAME"), written as UTF-8 to the file given. Each control is read from its own
// window's standard accessible object, the object Windows hands out as the client area's child
// (Wine's client object counts its children but hands none out).
// Usage: accessibility_client OUTPUT_FILE. Exit status 0 if the window was found and read.
#include <windows.h>
// After windows.h, which it needs.
#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

constexpr wchar_t windowClass[] = L"Tempulix.Form1";

std::string utf8(const wchar_t* text) {
  if (!text) {
    return {};
  }
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), length, nullptr, nullptr);
  return result;
}

// The standard accessible object of a window part.
IAccessible* accessibleOf(HWND window, LONG part) {
  IAccessible* accessible = nullptr;
  if (FAILED(CreateStdAccessibleObject(window, part, IID_IAccessible,
                                       reinterpret_cast<void**>(&accessible)))) {
    return nullptr;
  }
  return accessible;
}

std::string nameOf(IAccessible* accessible, const VARIANT& child) {
  BSTR name = nullptr;
  std::string result = SUCCEEDED(accessible->get_accName(child, &name)) ? utf8(name) : "";
  SysFreeString(name);
  return result;
}

long roleOf(IAccessible* accessible, const VARIANT& child) {
  VARIANT role;
  VariantInit(&role);
  const long result =
      SUCCEEDED(accessible->get_accRole(child, &role)) && role.vt == VT_I4 ? role.lVal : -1;
  VariantClear(&role);
  return result;
}

VARIANT self() {
  VARIANT child;
  VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = CHILDID_SELF;
  return child;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    return 2;
  }
  FILE* out = _wfopen(argv[1], L"wb");
  if (!out) {
    return 2;
  }
  CoInitialize(nullptr);
  int status = 1;
  HWND window = FindWindowW(windowClass, nullptr);
  IAccessible* client = window ? accessibleOf(window, OBJID_CLIENT) : nullptr;
  if (client) {
    // The client area is named by the window's title, as the window itself is.
    std::fprintf(out, "window %s\n", nameOf(client, self()).c_str());
    for (HWND control = GetWindow(window, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
      if (IAccessible* object = accessibleOf(control, OBJID_CLIENT)) {
        std::fprintf(out, "child %ld %s\n", roleOf(object, self()), nameOf(object, self()).c_str());
        object->Release();
      }
    }
    status = 0;
  }
  if (client) {
    client->Release();
  }
  CoUninitialize();
  std::fclose(out);
  return status;
}
