// Stands in for the program Windows opens a document with: a window of class KsDocViewer
// whose title is the document it was started with, open until it is closed. Tests
// register it for a file type, so opening a help file under test starts no real browser
// and shows which file was opened.
#include <windows.h>

namespace {

LRESULT CALLBACK ViewerProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const char* document = argc > 1 ? argv[1] : "";
  WNDCLASSA wc{};
  wc.lpfnWndProc = ViewerProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "KsDocViewer";
  RegisterClassA(&wc);
  HWND h = CreateWindowExA(0, "KsDocViewer", document, WS_OVERLAPPEDWINDOW, 600, 100, 300, 200,
                           nullptr, nullptr, instance, nullptr);
  if (!h) return 1;
  ShowWindow(h, SW_SHOWNOACTIVATE);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
