// Windows paths on a host folder: parsing, case-insensitive lookup, 8.3
// names and DOS wildcards.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/Codes.h"
#include "platform/sim/SimParts.h"

namespace sim {

std::string UpperCase(std::string text) {
  for (char& c : text) c = char(toupper((unsigned char)c));
  return text;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

std::string WinPath::Text() const {
  std::string text;
  text += drive;
  text += ":\\";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) text += '\\';
    text += parts[i];
  }
  return text;
}

std::string WinPath::Key() const { return UpperCase(Text()); }

WinPath WinPath::Parent() const {
  WinPath parent = *this;
  if (!parent.parts.empty()) parent.parts.pop_back();
  return parent;
}

WinPath WinPath::Child(const std::string& name) const {
  WinPath child = *this;
  child.parts.push_back(name);
  return child;
}

bool WinPath::IsInside(const WinPath& folder) const {
  if (toupper(drive) != toupper(folder.drive) ||
      parts.size() < folder.parts.size())
    return false;
  for (size_t i = 0; i < folder.parts.size(); ++i)
    if (!EqualNoCase(parts[i], folder.parts[i])) return false;
  return true;
}

bool IsValidFileName(const std::string& name) {
  if (name.empty()) return false;
  for (unsigned char c : name)
    if (c < 0x20 || strchr("<>:\"/\\|?*", c)) return false;
  return true;
}

bool ParseWinPath(const std::string& path, const std::string& currentDir,
                  WinPath* out, uint32_t* error, bool wildcards) {
  *error = ERROR_INVALID_NAME;
  std::string text = path;
  std::replace(text.begin(), text.end(), '/', '\\');
  if (text.empty()) {
    *error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  WinPath result;
  std::string rest;
  if (text.size() >= 2 && text[1] == ':') {
    if (!isalpha((unsigned char)text[0])) return false;
    result.drive = char(toupper((unsigned char)text[0]));
    rest = text.substr(2);
    if (rest.empty() || rest[0] != '\\') {
      // "C:name" is relative to the current directory when it is on C:.
      if (!currentDir.empty() && toupper(currentDir[0]) == result.drive) {
        WinPath current;
        uint32_t ignored;
        if (ParseWinPath(currentDir, "", &current, &ignored))
          result.parts = current.parts;
      }
    }
  } else if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
    // UNC names are not served by this machine.
    *error = ERROR_PATH_NOT_FOUND;
    return false;
  } else {
    WinPath current;
    uint32_t ignored;
    if (!ParseWinPath(currentDir, "", &current, &ignored)) return false;
    result.drive = current.drive;
    if (text[0] != '\\') result.parts = current.parts;
    rest = text;
  }
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    std::string name = rest.substr(start, end - start);
    start = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!result.parts.empty()) result.parts.pop_back();
      continue;
    }
    // Windows drops trailing dots and blanks from a name.
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
      name.pop_back();
    if (!IsValidFileName(name)) {
      // A wildcard in a folder name is as bad as any other invalid name;
      // the last name may hold one for FindFirstFile, which checks itself.
      if (wildcards && end == rest.size() &&
          name.find_first_of("*?") != std::string::npos) {
        std::string stripped;
        for (char c : name)
          if (c != '*' && c != '?') stripped += c;
        if (stripped.empty() || IsValidFileName(stripped)) {
          result.parts.push_back(name);
          continue;
        }
      }
      return false;
    }
    result.parts.push_back(name);
  }
  *out = result;
  *error = 0;
  return true;
}

std::vector<std::string> ListHost(const std::string& hostFolder) {
  std::vector<std::string> names;
  DIR* dir = opendir(hostFolder.c_str());
  if (!dir) return names;
  while (dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    names.push_back(name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) {
              return UpperCase(a) < UpperCase(b);
            });
  return names;
}

static bool IsFolder(const std::string& host) {
  struct stat info;
  return stat(host.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ResolveHost(const std::string& root, const WinPath& path,
                        bool* exists, bool* parentExists) {
  std::string host = root + "/" + std::string(1, path.drive);
  bool found = IsFolder(host);
  bool parentFound = found;
  for (size_t i = 0; i < path.parts.size(); ++i) {
    const std::string& name = path.parts[i];
    std::string match = name;
    if (found) {
      parentFound = IsFolder(host);
      bool hit = false;
      if (parentFound) {
        for (const std::string& entry : ListHost(host)) {
          if (EqualNoCase(entry, name)) {
            match = entry;
            hit = true;
            break;
          }
        }
      }
      found = hit;
    } else {
      parentFound = false;
    }
    host += "/" + match;
  }
  if (exists) *exists = found;
  if (parentExists) *parentExists = path.parts.empty() ? found : parentFound;
  return host;
}

static bool IsShortChar(unsigned char c) {
  return isalnum(c) || c >= 0x80 || strchr("$%'-_@~`!(){}^#&", c);
}

bool IsShortName(const std::string& name) {
  if (name == "." || name == "..") return true;
  size_t dot = name.find('.');
  std::string base = name.substr(0, dot);
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (ext.find('.') != std::string::npos) return false;
  for (unsigned char c : base + ext)
    if (!IsShortChar(c)) return false;
  return true;
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  // "*.*" and "*" match every name, as DOS wildcards do.
  if (pattern == "*" || pattern == "*.*") return true;
  std::string p = UpperCase(pattern), n = UpperCase(name);
  size_t pi = 0, ni = 0, star = std::string::npos, mark = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = ni;
    } else if (star != std::string::npos) {
      pi = star + 1;
      ni = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && (p[pi] == '*' || p[pi] == '.')) ++pi;
  return pi == p.size();
}

}  // namespace sim
