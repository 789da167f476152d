#include "store/files.h"

namespace ks {

namespace {

constexpr std::string_view kMarkerContent = "keystrum save committed\r\n";

std::string Refused(const std::string& path) { return "Unable to write to " + path; }

bool MarkerValid(FileSystem& fs, const StorePaths& p) {
  FileSystem::ReadResult r = fs.ReadAll(p.marker);
  return r.status == FileSystem::ReadStatus::Ok && r.bytes == kMarkerContent;
}

// Drops the temporary files of a save that never committed, then a marker that did not
// come out whole; in this order, so that a marker only ever vouches for complete files.
void RollBack(FileSystem& fs, const StorePaths& p) {
  for (const std::string* path : {&p.iniNew, &p.datNew, &p.marker})
    if (fs.Exists(*path)) fs.Remove(*path);
}

}  // namespace

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string out(dir);
  if (!out.empty() && out.back() != '\\' && out.back() != '/')
    out += out.find('\\') != std::string::npos || out.find('/') == std::string::npos ? '\\' : '/';
  out += name;
  return out;
}

std::string IniPath(std::string_view dir) { return JoinPath(dir, kIniName); }
std::string DatPath(std::string_view dir) { return JoinPath(dir, kDatName); }

StorePaths::StorePaths(std::string_view dir)
    : ini(IniPath(dir)),
      dat(DatPath(dir)),
      iniNew(ini + ".new"),
      datNew(dat + ".new"),
      marker(JoinPath(dir, "keystrum.commit")) {}

std::optional<std::string> Recover(FileSystem& fs, std::string_view dir) {
  StorePaths p(dir);
  if (!fs.Exists(p.marker)) {
    RollBack(fs, p);  // leftovers of a save that never committed; harmless if they stay
    return std::nullopt;
  }
  if (!MarkerValid(fs, p)) {
    RollBack(fs, p);
    return fs.Exists(p.marker) ? std::optional<std::string>(p.marker) : std::nullopt;
  }
  // Committed: every temporary file still there replaces its file, in the save's order.
  if (fs.Exists(p.iniNew) && !fs.Replace(p.iniNew, p.ini)) return p.ini;
  if (fs.Exists(p.datNew) && !fs.Replace(p.datNew, p.dat)) return p.dat;
  if (!fs.Remove(p.marker)) return p.marker;
  return std::nullopt;
}

LoadOutcome LoadFiles(FileSystem& fs, std::string_view dir, const LoadContext& ctx,
                      const AnsiCodePage& ansi) {
  StorePaths p(dir);
  std::string iniPath = p.ini, datPath = p.dat;
  if (Recover(fs, dir) && MarkerValid(fs, p)) {
    if (fs.Exists(p.iniNew)) iniPath = p.iniNew;
    if (fs.Exists(p.datNew)) datPath = p.datNew;
  }
  LoadOutcome out;
  auto read = [&](const std::string& path) -> std::optional<std::string> {
    FileSystem::ReadResult r = fs.ReadAll(path);
    if (r.status == FileSystem::ReadStatus::Ok) return std::move(r.bytes);
    if (r.status == FileSystem::ReadStatus::Failed && !out.unreadable) out.unreadable = path;
    return std::nullopt;
  };
  std::optional<std::string> ini = read(iniPath);
  std::optional<std::string> dat = read(datPath);
  out.loaded = LoadSettings(ini, dat, ctx, ansi);
  if (out.loaded.missingTexts > 0) out.shortDat = std::move(dat);
  return out;
}

std::optional<std::string> SaveFiles(FileSystem& fs, std::string_view dir, const Store& store,
                                     const Settings& settings, const AnsiCodePage& ansi,
                                     const BeforeWrite& beforeWrite) {
  StorePaths p(dir);
  // A save left half done must be finished first: its marker vouches for the temporary
  // files that this save is about to overwrite.
  if (auto stuck = Recover(fs, dir)) return Refused(*stuck);

  FileSystem::ReadResult old = fs.ReadAll(p.ini);
  if (old.status == FileSystem::ReadStatus::Failed) return Refused(p.ini);
  std::optional<std::string> oldIni;
  if (old.status == FileSystem::ReadStatus::Ok) oldIni = std::move(old.bytes);
  SavedFiles files = SaveSettings(store, settings, oldIni, ansi);
  // Saves come a second after every change and at exit: files that would come out as
  // they are stay untouched, their time stamps too.
  if (oldIni == files.ini) {
    const FileSystem::ReadResult oldDat = fs.ReadAll(p.dat);
    if (oldDat.status == FileSystem::ReadStatus::Ok && oldDat.bytes == files.dat)
      return std::nullopt;
  }
  // Refuse before anything is written, while the old files are sure to be untouched.
  if (!fs.CanReplace(p.ini)) return Refused(p.ini);
  if (!fs.CanReplace(p.dat)) return Refused(p.dat);
  if (beforeWrite)
    if (std::optional<std::string> stop = beforeWrite()) return stop;

  if (!fs.WriteDurable(p.iniNew, files.ini)) {
    RollBack(fs, p);
    return Refused(p.ini);
  }
  if (!fs.WriteDurable(p.datNew, files.dat)) {
    RollBack(fs, p);
    return Refused(p.dat);
  }
  if (!fs.WriteDurable(p.marker, kMarkerContent)) {
    RollBack(fs, p);
    return Refused(p.marker);
  }
  // Committed. If the first replace is refused nothing has changed yet: undo the commit.
  if (!fs.Replace(p.iniNew, p.ini)) {
    fs.Remove(p.marker);  // first: what is left is then an uncommitted save's litter
    RollBack(fs, p);
    return Refused(p.ini);
  }
  // From here the new pair must win: a refusal leaves the marker for the next start.
  if (!fs.Replace(p.datNew, p.dat)) return Refused(p.dat);
  fs.Remove(p.marker);
  return std::nullopt;
}

}  // namespace ks
