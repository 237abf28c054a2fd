// advapi32's registry over the machine's trees, with Windows 9x's rules.
#include <string.h>

#include "platform/Codes.h"
#include "platform/sim/MachineImpl.h"

namespace sim {

namespace {
const char* RootName(RegKey key) {
  for (const RegRoot& root : kRegRoots)
    if (root.key == key) return root.name;
  return nullptr;
}

void MarkDeleted(RegNode* node) {
  node->deleted = true;
  for (auto& child : node->children) MarkDeleted(child.get());
}

std::vector<std::string> SplitSubKey(const char* subKey) {
  std::vector<std::string> names;
  if (!subKey) return names;
  std::string path = subKey;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

// Copies a name out with the Win32 in/out size convention: *size holds the
// buffer's size in characters and comes back as the length written.
int32_t CopyName(const std::string& name, char* buffer, uint32_t* size) {
  if (!size) return ERROR_INVALID_PARAMETER;
  if (!buffer || *size < name.size() + 1) {
    *size = uint32_t(name.size());
    return ERROR_MORE_DATA;
  }
  memcpy(buffer, name.c_str(), name.size() + 1);
  *size = uint32_t(name.size());
  return ERROR_SUCCESS;
}

int32_t CopyData(const RegValue& value, uint32_t* type, uint8_t* data,
                 uint32_t* dataSize) {
  if (type) *type = value.type;
  if (!dataSize) return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
  uint32_t needed = uint32_t(value.data.size());
  if (!data) {
    *dataSize = needed;
    return ERROR_SUCCESS;
  }
  if (*dataSize < needed) {
    *dataSize = needed;
    return ERROR_MORE_DATA;
  }
  memcpy(data, value.data.data(), needed);
  *dataSize = needed;
  return ERROR_SUCCESS;
}
}  // namespace

SimRegistry::SimRegistry(MachineImpl& machine) : m(machine) {
  for (const RegRoot& root : kRegRoots) {
    auto node = std::make_shared<RegNode>();
    node->name = root.name;
    roots[root.key] = node;
  }
}

int32_t SimRegistry::Lookup(RegKey key, std::shared_ptr<RegNode>* node) {
  auto root = roots.find(key);
  if (root != roots.end()) {
    *node = root->second;
    return ERROR_SUCCESS;
  }
  auto handle = handles.find(key);
  if (handle == handles.end()) return ERROR_INVALID_HANDLE;
  *node = handle->second;
  return handle->second->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

std::string SimRegistry::Describe(RegKey key, const char* subKey) {
  std::string path;
  if (const char* root = RootName(key)) {
    path = root;
  } else {
    auto handle = handles.find(key);
    char number[32];
    snprintf(number, sizeof number, "<invalid key %#lx>", (unsigned long)key);
    path = handle == handles.end() ? number : handle->second->Path();
  }
  if (subKey && *subKey) path += std::string("\\") + subKey;
  return path;
}

std::shared_ptr<RegNode> SimRegistry::Share(RegNode* node) {
  if (!node->parent) {
    for (auto& root : roots)
      if (root.second.get() == node) return root.second;
    return nullptr;
  }
  for (auto& child : node->parent->children)
    if (child.get() == node) return child;
  return nullptr;
}

RegKey SimRegistry::NewHandle(const std::shared_ptr<RegNode>& node) {
  RegKey handle = nextHandle;
  nextHandle += 4;
  handles[handle] = node;
  return handle;
}

int32_t SimRegistry::RegOpenKeyExA(RegKey key, const char* subKey,
                                   uint32_t options, uint32_t samDesired,
                                   RegKey* result) {
  (void)options;
  (void)samDesired;
  uint32_t code;
  if (m.Enter("RegOpenKeyExA", Describe(key, subKey), &code))
    return int32_t(code);
  if (!result) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<RegNode> node;
  if (int32_t error = Lookup(key, &node)) return error;
  RegNode* found = node.get();
  for (const std::string& name : SplitSubKey(subKey)) {
    found = found->FindChild(name);
    if (!found) return ERROR_FILE_NOT_FOUND;
  }
  // Opening a root key with no subkey gives the root itself, as Windows
  // does; anything else gets a new handle.
  if (found->parent == nullptr && (!subKey || !*subKey) && RootName(key)) {
    *result = key;
    return ERROR_SUCCESS;
  }
  *result = NewHandle(Share(found));
  return ERROR_SUCCESS;
}

int32_t SimRegistry::RegCreateKeyExA(RegKey key, const char* subKey,
                                     uint32_t options, uint32_t samDesired,
                                     RegKey* result, uint32_t* disposition) {
  (void)options;
  (void)samDesired;
  uint32_t code;
  if (m.Enter("RegCreateKeyExA", Describe(key, subKey), &code))
    return int32_t(code);
  if (!result) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<RegNode> node;
  if (int32_t error = Lookup(key, &node)) return error;
  RegNode* found = node.get();
  bool created = false;
  for (const std::string& name : SplitSubKey(subKey)) {
    RegNode* child = found->FindChild(name);
    if (!child) {
      child = found->AddChild(name);
      created = true;
    }
    found = child;
  }
  if (disposition)
    *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  if (found->parent == nullptr && (!subKey || !*subKey) && RootName(key)) {
    *result = key;
    return ERROR_SUCCESS;
  }
  *result = NewHandle(Share(found));
  return ERROR_SUCCESS;
}

int32_t SimRegistry::RegCloseKey(RegKey key) {
  uint32_t code;
  if (m.Enter("RegCloseKey", Describe(key, nullptr), &code))
    return int32_t(code);
  if (RootName(key)) return ERROR_SUCCESS;
  if (!handles.erase(key)) return ERROR_INVALID_HANDLE;
  return ERROR_SUCCESS;
}

int32_t SimRegistry::RegQueryValueExA(RegKey key, const char* valueName,
                                      uint32_t* type, uint8_t* data,
                                      uint32_t* dataSize) {
  uint32_t code;
  std::string name = valueName ? valueName : "";
  if (m.Enter("RegQueryValueExA", Describe(key, nullptr) + " " + name, &code))
    return int32_t(code);
  std::shared_ptr<RegNode> node;
  if (int32_t error = Lookup(key, &node)) return error;
  RegValue* value = node->FindValue(name);
  if (!value) return ERROR_FILE_NOT_FOUND;
  return CopyData(*value, type, data, dataSize);
}

int32_t SimRegistry::RegSetValueExA(RegKey key, const char* valueName,
                                    uint32_t type, const uint8_t* data,
                                    uint32_t dataSize) {
  uint32_t code;
  std::string name = valueName ? valueName : "";
  if (m.Enter("RegSetValueExA", Describe(key, nullptr) + " " + name, &code))
    return int32_t(code);
  std::shared_ptr<RegNode> node;
  if (int32_t error = Lookup(key, &node)) return error;
  if (dataSize && !data) return ERROR_INVALID_PARAMETER;
  RegValue value;
  value.type = type;
  value.data.assign(reinterpret_cast<const char*>(data), dataSize);
  node->SetValue(name, value);
  return ERROR_SUCCESS;
}

int32_t SimRegistry::RegDeleteValueA(RegKey key, const char* valueName) {
  uint32_t code;
  std::string name = valueName ? valueName : "";
  if (m.Enter("RegDeleteValueA", Describe(key, nullptr) + " " + name, &code))
    return int32_t(code);
  std::shared_ptr<RegNode> node;
  if (int32_t error = Lookup(key, &node)) return error;
  return node->RemoveValue(name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

// Windows 9x deletes the key with every subkey below it (NT refuses a key
// that has subkeys).
int32_t SimRegistry::RegDeleteKeyA(RegKey key, const char* subKey) {
  uint32_t code;
  if (m.Enter("RegDeleteKeyA", Describe(key, subKey), &code))
    return int32_t(code);
  std::shared_ptr<RegNode> node;
  if (int32_t error = Lookup(key, &node)) return error;
  std::vector<std::string> names = SplitSubKey(subKey);
  if (names.empty()) return ERROR_BADKEY;
  RegNode* found = node.get();
  for (const std::string& name : names) {
    found = found->FindChild(name);
    if (!found) return ERROR_FILE_NOT_FOUND;
  }
  auto& siblings = found->parent->children;
  for (size_t i = 0; i < siblings.size(); ++i) {
    if (siblings[i].get() == found) {
      MarkDeleted(found);
      // Handles may still reach into the subtree; it stays in memory.
      deletedKeys.push_back(siblings[i]);
      siblings.erase(siblings.begin() + long(i));
      break;
    }
  }
  return ERROR_SUCCESS;
}

int32_t SimRegistry::RegEnumKeyExA(RegKey key, uint32_t index, char* name,
                                   uint32_t* nameSize) {
  uint32_t code;
  if (m.Enter("RegEnumKeyExA",
              Describe(key, nullptr) + " " + std::to_string(index), &code))
    return int32_t(code);
  std::shared_ptr<RegNode> node;
  if (int32_t error = Lookup(key, &node)) return error;
  if (index >= node->children.size()) return ERROR_NO_MORE_ITEMS;
  return CopyName(node->children[index]->name, name, nameSize);
}

int32_t SimRegistry::RegEnumValueA(RegKey key, uint32_t index, char* name,
                                   uint32_t* nameSize, uint32_t* type,
                                   uint8_t* data, uint32_t* dataSize) {
  uint32_t code;
  if (m.Enter("RegEnumValueA",
              Describe(key, nullptr) + " " + std::to_string(index), &code))
    return int32_t(code);
  std::shared_ptr<RegNode> node;
  if (int32_t error = Lookup(key, &node)) return error;
  if (index >= node->values.size()) return ERROR_NO_MORE_ITEMS;
  const auto& entry = node->values[index];
  if (int32_t error = CopyName(entry.first, name, nameSize)) return error;
  return CopyData(entry.second, type, data, dataSize);
}

int32_t SimRegistry::RegQueryInfoKeyA(RegKey key, uint32_t* subKeys,
                                      uint32_t* maxSubKeyLength,
                                      uint32_t* values,
                                      uint32_t* maxValueNameLength,
                                      uint32_t* maxValueLength) {
  uint32_t code;
  if (m.Enter("RegQueryInfoKeyA", Describe(key, nullptr), &code))
    return int32_t(code);
  std::shared_ptr<RegNode> node;
  if (int32_t error = Lookup(key, &node)) return error;
  uint32_t longestKey = 0, longestName = 0, longestData = 0;
  for (const auto& child : node->children)
    longestKey = std::max(longestKey, uint32_t(child->name.size()));
  for (const auto& value : node->values) {
    longestName = std::max(longestName, uint32_t(value.first.size()));
    longestData = std::max(longestData, uint32_t(value.second.data.size()));
  }
  if (subKeys) *subKeys = uint32_t(node->children.size());
  if (maxSubKeyLength) *maxSubKeyLength = longestKey;
  if (values) *values = uint32_t(node->values.size());
  if (maxValueNameLength) *maxValueNameLength = longestName;
  if (maxValueLength) *maxValueLength = longestData;
  return ERROR_SUCCESS;
}

}  // namespace sim
