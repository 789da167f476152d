#pragma once
// A folder tree in memory for the store's tests, whose mutating operations are counted, so
// a test can stop a save at any of them, refuse one, or tear a write in half as a power
// cut would.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "store/files.h"

namespace ks::test {

struct Crash {};

class MemFs : public FileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  // Files that cannot be written or removed, files that cannot be read, and folders in
  // which nothing can be written, made or removed (as one without the rights).
  std::set<std::string> readOnly, unreadable, readOnlyFolders;
  int steps = 0;
  int crashAt = -1;
  bool tornCrash = false;
  int refuseAt = -1;

  ReadResult ReadAll(const std::string& path) override {
    if (unreadable.count(path)) return {ReadStatus::Failed, {}};
    auto it = files.find(path);
    if (it == files.end()) return {ReadStatus::Missing, {}};
    return {ReadStatus::Ok, it->second};
  }
  bool Exists(const std::string& path) override { return files.count(path) > 0; }
  bool WriteDurable(const std::string& path, std::string_view bytes) override {
    if (!Step([&] { files[path] = std::string(bytes.substr(0, bytes.size() / 2)); }))
      return false;
    if (readOnly.count(path) || Locked(path)) return false;
    files[path] = std::string(bytes);
    return true;
  }
  bool Replace(const std::string& from, const std::string& to) override {
    if (!Step([] {})) return false;
    if (readOnly.count(to) || Locked(to) || !files.count(from)) return false;
    files[to] = files[from];
    files.erase(from);
    return true;
  }
  bool Remove(const std::string& path) override {
    if (!Step([] {})) return false;
    if (readOnly.count(path) || (files.count(path) && Locked(path))) return false;
    files.erase(path);
    return true;
  }
  bool CanReplace(const std::string& path) override { return !readOnly.count(path); }
  bool MakeFolder(const std::string& path) override {
    if (folders.count(path)) return true;
    if (files.count(path) || Locked(path)) return false;
    folders.insert(path);
    return true;
  }
  std::vector<std::string> FileNames(const std::string& folder) override {
    std::vector<std::string> names;
    for (const auto& [path, bytes] : files)
      if (Parent(path) == folder) names.push_back(path.substr(folder.size() + 1));
    return names;
  }

 private:
  static std::string Parent(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
  }
  // In a folder without the rights, or in one that is a file.
  bool Locked(const std::string& path) const {
    const std::string parent = Parent(path);
    return readOnlyFolders.count(parent) || files.count(parent);
  }
  template <class Tear>
  bool Step(Tear tear) {
    int n = steps++;
    if (n == crashAt) {
      if (tornCrash) tear();
      throw Crash{};
    }
    return n != refuseAt;
  }
};

}  // namespace ks::test
