// CWinApp: the application object, with MFC's names. One instance exists
// for the program's run; the framework's entry calls InitInstance and then
// runs the message loop until the main window is gone.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "framework/CmdTarget.h"
#include "framework/Wnd.h"

class CWinApp : public CCmdTarget {
 public:
  explicit CWinApp(const char* appName);
  ~CWinApp() override;

  // True when the main window is up; false ends the program at once.
  virtual bool InitInstance();
  // The program's exit code.
  virtual int ExitInstance();
  // The message loop: runs until WM_QUIT, updating the main frame's bars
  // when the queue runs empty; then ExitInstance.
  virtual int Run();

  // The per-user profile under HKEY_CURRENT_USER\Software\<company>\<app>.
  void SetRegistryKey(const char* company);
  // A binary value of the profile's section: false when it is missing or
  // larger than *size (which then holds the size needed).
  bool GetProfileBinary(const char* section, const char* entry, uint8_t* data,
                        uint32_t* size) const;
  bool WriteProfileBinary(const char* section, const char* entry,
                          const uint8_t* data, uint32_t size);

  const char* m_pszAppName;
  // The main window; the application ends when it is destroyed.
  CWnd* m_pMainWnd = nullptr;

 private:
  // "Software\<company>\<app>", empty until SetRegistryKey.
  char profileKey[128];
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// Posts WM_QUIT to the thread, which ends Run.
void AfxPostQuitMessage(int exitCode);
// What the framework's entry runs for a windowed program with an
// application object: InitInstance, then Run, or ExitInstance when the
// start failed.
int AfxWinMain();
