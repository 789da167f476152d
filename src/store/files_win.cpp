#include "store/files_win.h"

#include <windows.h>

#include <algorithm>

#include "text/codepage_win.h"
#include "win/window.h"

namespace ks {

namespace {

using win::UniqueHandle;

UniqueHandle Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  HANDLE h = CreateFileW(Wide(path).c_str(), access, share, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  return UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

}  // namespace

FileSystem::ReadResult WinFileSystem::ReadAll(const std::string& path) {
  UniqueHandle f = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  if (!f) {
    DWORD err = GetLastError();
    bool missing = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
    return {missing ? ReadStatus::Missing : ReadStatus::Failed, {}};
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(f.get(), &size) || size.QuadPart > 0x7FFFFFFF)
    return {ReadStatus::Failed, {}};
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(f.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                  nullptr))
      return {ReadStatus::Failed, {}};
    if (got == 0) break;  // the file shrank under us: what was there is what we have
    done += got;
  }
  bytes.resize(done);
  return {ReadStatus::Ok, std::move(bytes)};
}

bool WinFileSystem::Exists(const std::string& path) {
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFileSystem::WriteDurable(const std::string& path, std::string_view bytes) {
  Step("create");
  UniqueHandle f = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  if (!f) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    Step("write");
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    DWORD put = 0;
    if (!WriteFile(f.get(), bytes.data() + done, chunk, &put, nullptr) || put == 0) return false;
    done += put;
  }
  Step("flush");
  if (!FlushFileBuffers(f.get())) return false;
  Step("close");
  return CloseHandle(f.release()) != 0;
}

bool WinFileSystem::Replace(const std::string& from, const std::string& to) {
  Step("replace");
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool WinFileSystem::Remove(const std::string& path) {
  Step("remove");
  if (DeleteFileW(Wide(path).c_str())) return true;
  DWORD err = GetLastError();
  return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
}

bool WinFileSystem::CanReplace(const std::string& path) {
  DWORD a = GetFileAttributesW(Wide(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) {
    DWORD err = GetLastError();
    return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
  }
  if (a & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
  // A replace needs to write and to delete the old file: a program holding it open without
  // sharing either is found here, before anything has been changed.
  return static_cast<bool>(Open(path, GENERIC_WRITE | DELETE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                OPEN_EXISTING));
}

bool WinFileSystem::MakeFolder(const std::string& path) {
  const std::wstring wide = Wide(path);
  Step("folder");
  if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
  const DWORD a = GetFileAttributesW(wide.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> WinFileSystem::FileNames(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found{};
  HANDLE find = FindFirstFileW(Wide(JoinPath(path, "*")).c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Utf8(found.cFileName));
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

Date LocalDate() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return Date{now.wYear, now.wMonth, now.wDay};
}

}  // namespace ks
