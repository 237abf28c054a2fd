// The world the seam's contract tests run in: the simulated machine in the
// native build, the real Win32 implementation under Wine in the wine build.
// The same tests run in both, so where they disagree the simulator is wrong.
#pragma once
#include <string>

#include "platform/Platform.h"

class ContractWorld {
 public:
  virtual ~ContractWorld() {}
  // Called around every test: SetUp installs the world's platform and
  // prepares an empty scratch folder and an empty scratch registry key;
  // TearDown removes both and uninstalls the platform.
  virtual void SetUp() = 0;
  virtual void TearDown() = 0;
  // The scratch folder as a Windows path without a trailing backslash, on a
  // fixed drive (for example "C:\\pelmora-contract").
  virtual std::string ScratchDir() = 0;
  // The scratch key as a path below HKEY_CURRENT_USER.
  virtual std::string ScratchKey() = 0;
  // A short name for test output: "sim" or "win32".
  virtual const char* Name() = 0;
  // An empty popup menu of the world (a SimMenu, or a real HMENU), for the
  // shell to add its context-menu entries to; the entries it holds now; and
  // its end.
  virtual MenuHandle CreateTestMenu() = 0;
  virtual int TestMenuCount(MenuHandle menu) = 0;
  virtual void DestroyTestMenu(MenuHandle menu) = 0;
};

// Defined once per build.
ContractWorld& TheContractWorld();
