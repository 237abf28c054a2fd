// The registry's trees and their REGEDIT4 text, the format Windows 9x's
// regedit reads and writes.
#include <stdio.h>

#include <stdexcept>

#include "platform/Codes.h"
#include "platform/sim/SimParts.h"

namespace sim {

const RegRoot kRegRoots[6] = {
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
    {HKEY_USERS, "HKEY_USERS"},
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
    {HKEY_DYN_DATA, "HKEY_DYN_DATA"},
};

RegNode* RegNode::FindChild(const std::string& childName) const {
  for (const auto& child : children)
    if (EqualNoCase(child->name, childName)) return child.get();
  return nullptr;
}

RegNode* RegNode::AddChild(const std::string& childName) {
  if (RegNode* found = FindChild(childName)) return found;
  auto child = std::make_shared<RegNode>();
  child->name = childName;
  child->parent = this;
  children.push_back(child);
  return child.get();
}

RegValue* RegNode::FindValue(const std::string& valueName) {
  for (auto& value : values)
    if (EqualNoCase(value.first, valueName)) return &value.second;
  return nullptr;
}

void RegNode::SetValue(const std::string& valueName, const RegValue& value) {
  if (RegValue* found = FindValue(valueName))
    *found = value;
  else
    values.push_back({valueName, value});
}

bool RegNode::RemoveValue(const std::string& valueName) {
  for (size_t i = 0; i < values.size(); ++i) {
    if (EqualNoCase(values[i].first, valueName)) {
      values.erase(values.begin() + long(i));
      return true;
    }
  }
  return false;
}

std::string RegNode::Path() const {
  return parent ? parent->Path() + "\\" + name : name;
}

static std::vector<std::string> SplitKeyPath(const std::string& path) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

RegNode* FindRegPath(const std::map<RegKey, std::shared_ptr<RegNode>>& roots,
                     const std::string& path, bool create) {
  std::vector<std::string> names = SplitKeyPath(path);
  if (names.empty()) return nullptr;
  RegNode* node = nullptr;
  for (const RegRoot& root : kRegRoots)
    if (EqualNoCase(names[0], root.name)) node = roots.at(root.key).get();
  for (size_t i = 1; node && i < names.size(); ++i)
    node = create ? node->AddChild(names[i]) : node->FindChild(names[i]);
  return node;
}

namespace {

class RegParser {
 public:
  RegParser(const std::string& fileName,
            std::map<RegKey, std::shared_ptr<RegNode>>* roots)
      : fileName(fileName), roots(roots) {}

  void Parse(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      start = end + 1;
    }
    bool header = false;
    for (size_t i = 0; i < lines.size(); ++i) {
      lineNumber = int(i) + 1;
      std::string line = Trim(lines[i]);
      if (i == 0 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
        line = line.substr(3);
      if (line.empty() || line[0] == ';') continue;
      if (!header) {
        if (line != "REGEDIT4")
          Error("the first line must be REGEDIT4, not \"" + line + "\"");
        header = true;
        continue;
      }
      // A value's data may go on over lines that end with a backslash.
      while (line[0] != '[' && !line.empty() && line.back() == '\\' &&
             i + 1 < lines.size() && EndsHexList(line)) {
        line.pop_back();
        line += Trim(lines[++i]);
      }
      if (line[0] == '[')
        Section(line);
      else
        Value(line);
    }
    if (!header) {
      lineNumber = 1;
      Error("the file is empty; it must begin with REGEDIT4");
    }
  }

 private:
  [[noreturn]] void Error(const std::string& message) {
    throw std::runtime_error(fileName + " line " + std::to_string(lineNumber) +
                             ": " + message);
  }

  static std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
  }

  // A continued line is hex data: "...=hex:01,02,\".
  static bool EndsHexList(const std::string& line) {
    size_t equals = line.rfind("=hex");
    return equals != std::string::npos;
  }

  void Section(const std::string& line) {
    if (line.back() != ']') Error("a key line must end with ']'");
    std::string path = line.substr(1, line.size() - 2);
    bool remove = !path.empty() && path[0] == '-';
    if (remove) path = path.substr(1);
    std::vector<std::string> names = SplitKeyPath(path);
    bool rootKnown = false;
    for (const RegRoot& root : kRegRoots)
      if (!names.empty() && EqualNoCase(names[0], root.name)) rootKnown = true;
    if (!rootKnown)
      Error("unknown root key in [" + path +
            "]; expected HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS, "
            "HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG or HKEY_DYN_DATA");
    if (remove) {
      RegNode* node = FindRegPath(*roots, path, false);
      if (node && node->parent) {
        auto& siblings = node->parent->children;
        for (size_t i = 0; i < siblings.size(); ++i)
          if (siblings[i].get() == node) {
            siblings[i]->deleted = true;
            siblings.erase(siblings.begin() + long(i));
            break;
          }
      }
      current = nullptr;
      return;
    }
    current = FindRegPath(*roots, path, true);
  }

  // A quoted string starting at text[*pos] (the quote); *pos ends past it.
  std::string Quoted(const std::string& text, size_t* pos) {
    std::string result;
    size_t i = *pos + 1;
    for (; i < text.size() && text[i] != '"'; ++i) {
      if (text[i] == '\\') {
        if (i + 1 >= text.size()) break;
        char next = text[++i];
        if (next != '\\' && next != '"')
          Error(std::string("unknown escape \\") + next +
                " in a string; only \\\\ and \\\" are allowed");
        result += next;
      } else {
        result += text[i];
      }
    }
    if (i >= text.size()) Error("a string has no closing quote");
    *pos = i + 1;
    return result;
  }

  void Value(const std::string& line) {
    if (!current) Error("a value must follow a [key] line");
    size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
      pos = 1;
    } else if (line[0] == '"') {
      name = Quoted(line, &pos);
    } else {
      Error("a value line must begin with \"name\" or @");
    }
    if (pos >= line.size() || line[pos] != '=')
      Error("expected '=' after the value name");
    std::string data = Trim(line.substr(pos + 1));
    if (data == "-") {
      current->RemoveValue(name);
      return;
    }
    RegValue value;
    if (!data.empty() && data[0] == '"') {
      size_t end = 0;
      value.type = REG_SZ;
      value.data = Quoted(data, &end);
      value.data += '\0';
      if (Trim(data.substr(end)) != "")
        Error("unexpected text after the string");
    } else if (data.compare(0, 6, "dword:") == 0) {
      std::string digits = data.substr(6);
      if (digits.size() != 8 ||
          digits.find_first_not_of("0123456789abcdefABCDEF") !=
              std::string::npos)
        Error("dword: needs exactly 8 hex digits, not \"" + digits + "\"");
      uint32_t number = uint32_t(std::stoul(digits, nullptr, 16));
      value.type = REG_DWORD;
      for (int i = 0; i < 4; ++i)
        value.data += char((number >> (8 * i)) & 0xFF);
    } else if (data.compare(0, 4, "hex:") == 0 ||
               data.compare(0, 4, "hex(") == 0) {
      size_t colon = data.find(':');
      value.type = REG_BINARY;
      if (data[3] == '(') {
        std::string type = data.substr(4, colon - 5);
        if (colon == std::string::npos || data[colon - 1] != ')' ||
            type.empty() ||
            type.find_first_not_of("0123456789abcdefABCDEF") !=
                std::string::npos)
          Error("bad hex(type): in \"" + data + "\"");
        value.type = uint32_t(std::stoul(type, nullptr, 16));
      }
      value.data = HexBytes(data.substr(colon + 1));
    } else {
      Error("unknown data \"" + data +
            "\"; expected \"string\", dword:, hex: or hex(type):");
    }
    current->SetValue(name, value);
  }

  std::string HexBytes(const std::string& list) {
    std::string bytes;
    size_t start = 0;
    std::string text = Trim(list);
    if (text.empty()) return bytes;
    while (start <= text.size()) {
      size_t end = text.find(',', start);
      if (end == std::string::npos) end = text.size();
      std::string item = Trim(text.substr(start, end - start));
      if (item.empty() && end == text.size() && start > 0) break;
      if (item.size() < 1 || item.size() > 2 ||
          item.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        Error("bad hex byte \"" + item + "\"");
      bytes += char(std::stoul(item, nullptr, 16));
      start = end + 1;
    }
    return bytes;
  }

  std::string fileName;
  std::map<RegKey, std::shared_ptr<RegNode>>* roots;
  RegNode* current = nullptr;
  int lineNumber = 0;
};

std::string Escape(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\\' || c == '"') result += '\\';
    result += c;
  }
  return result;
}

// A REG_SZ that reads back the same from "quoted" text.
bool IsPlainString(const RegValue& value) {
  const std::string& d = value.data;
  if (d.empty() || d.back() != '\0') return false;
  for (size_t i = 0; i + 1 < d.size(); ++i)
    if (d[i] == '\0' || d[i] == '\r' || d[i] == '\n') return false;
  return true;
}

void WriteValue(const std::string& name, const RegValue& value,
                std::string* out) {
  std::string line = name.empty() ? "@=" : "\"" + Escape(name) + "\"=";
  if (value.type == REG_SZ && IsPlainString(value)) {
    *out += line + "\"" + Escape(value.data.substr(0, value.data.size() - 1)) +
            "\"\n";
    return;
  }
  if (value.type == REG_DWORD && value.data.size() == 4) {
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
      number = (number << 8) | (unsigned char)value.data[size_t(i)];
    char digits[16];
    snprintf(digits, sizeof digits, "%08x", number);
    *out += line + "dword:" + digits + "\n";
    return;
  }
  if (value.type == REG_BINARY) {
    line += "hex:";
  } else {
    char type[24];
    snprintf(type, sizeof type, "hex(%x):", value.type);
    line += type;
  }
  // regedit's layout: lines of at most 80 characters, continued with a
  // backslash and indented by two blanks.
  for (size_t i = 0; i < value.data.size(); ++i) {
    char byte[4];
    snprintf(byte, sizeof byte, "%02x", (unsigned char)value.data[i]);
    line += byte;
    if (i + 1 < value.data.size()) {
      line += ',';
      if (line.size() > 75) {
        *out += line + "\\\n";
        line = "  ";
      }
    }
  }
  *out += line + "\n";
}

void WriteNode(const RegNode& node, bool isRoot, std::string* out) {
  if (!isRoot || !node.values.empty()) {
    *out += "[" + node.Path() + "]\n";
    for (const auto& value : node.values)
      WriteValue(value.first, value.second, out);
    *out += "\n";
  }
  for (const auto& child : node.children) WriteNode(*child, false, out);
}

}  // namespace

void ParseRegText(const std::string& text, const std::string& fileName,
                  std::map<RegKey, std::shared_ptr<RegNode>>* roots) {
  RegParser(fileName, roots).Parse(text);
}

std::string WriteRegText(
    const std::map<RegKey, std::shared_ptr<RegNode>>& roots) {
  std::string out = "REGEDIT4\n\n";
  for (const RegRoot& root : kRegRoots)
    WriteNode(*roots.at(root.key), true, &out);
  return out;
}

}  // namespace sim
