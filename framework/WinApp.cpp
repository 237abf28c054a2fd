// The portable part of CWinApp: the one application object and its
// per-user profile in the registry.
#include "framework/WinApp.h"

#include "framework/AppWindow.h"
#include "platform/Codes.h"
#include "platform/Platform.h"

namespace {
CWinApp* application = nullptr;

// Opens (creating) the profile's key of a section; false without a profile.
bool OpenSection(const char* profileKey, const char* section, bool create,
                 RegKey* key) {
  if (profileKey[0] == '\0') return false;
  char path[256];
  platform::Format(path, sizeof path, "%s\\%s", profileKey, section);
  platform::Registry& registry = platform::registry();
  const int32_t error =
      create
          ? registry.RegCreateKeyExA(HKEY_CURRENT_USER, path,
                                     REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                     key, nullptr)
          : registry.RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, key);
  return error == ERROR_SUCCESS;
}
}  // namespace

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) {
  profileKey[0] = '\0';
  application = this;
}

CWinApp::~CWinApp() {
  if (application == this) application = nullptr;
}

bool CWinApp::InitInstance() { return true; }

int CWinApp::ExitInstance() { return 0; }

void CWinApp::SetRegistryKey(const char* company) {
  platform::Format(profileKey, sizeof profileKey, "Software\\%s\\%s", company,
                   m_pszAppName);
}

bool CWinApp::GetProfileBinary(const char* section, const char* entry,
                               uint8_t* data, uint32_t* size) const {
  RegKey key;
  if (!OpenSection(profileKey, section, false, &key)) return false;
  uint32_t type = 0;
  const bool read = platform::registry().RegQueryValueExA(
                        key, entry, &type, data, size) == ERROR_SUCCESS &&
                    type == REG_BINARY;
  platform::registry().RegCloseKey(key);
  return read;
}

bool CWinApp::WriteProfileBinary(const char* section, const char* entry,
                                 const uint8_t* data, uint32_t size) {
  RegKey key;
  if (!OpenSection(profileKey, section, true, &key)) return false;
  const bool written = platform::registry().RegSetValueExA(
                           key, entry, REG_BINARY, data, size) == ERROR_SUCCESS;
  platform::registry().RegCloseKey(key);
  return written;
}

CWinApp* AfxGetApp() { return application; }

CWnd* AfxGetMainWnd() {
  return application != nullptr ? application->m_pMainWnd : nullptr;
}

int AfxWinMain() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return -1;
  if (!app->InitInstance()) {
    if (app->m_pMainWnd != nullptr) app->m_pMainWnd->DestroyWindow();
    return app->ExitInstance();
  }
  return app->Run();
}
