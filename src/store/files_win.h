#pragma once
// The store's files on Windows: the file system the safe save runs on, and the two calls
// the program makes, at start and at exit.
#include <functional>
#include <optional>
#include <string>

#include "store/backup.h"
#include "store/files.h"

namespace ks {

// Paths are UTF-8, as every text of the core.
class WinFileSystem : public FileSystem {
 public:
  // Called before every primitive call that changes the disk (create, write, flush, close,
  // replace, remove), with its name; lets a test program stop itself at any of them.
  std::function<void(const char* step)> beforeStep;

  ReadResult ReadAll(const std::string& path) override;
  bool Exists(const std::string& path) override;
  bool WriteDurable(const std::string& path, std::string_view bytes) override;
  bool Replace(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& path) override;
  bool CanReplace(const std::string& path) override;
  bool MakeFolder(const std::string& path) override;
  std::vector<std::string> FileNames(const std::string& path) override;

 private:
  void Step(const char* name) {
    if (beforeStep) beforeStep(name);
  }
};

// Today by the local clock.
Date LocalDate();

}  // namespace ks
