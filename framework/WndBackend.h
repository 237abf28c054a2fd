// What the portable CWnd code needs from a backend: reading the parameter
// blocks that messages point to (CREATESTRUCT, NMHDR and its kin), whose
// layout is the backend's.
#pragma once
#include "framework/Wnd.h"

struct WindowBackend {
  static void ReadCreateStruct(intptr_t lParam, CreateStruct* cs);
  static bool ReadNotifyHeader(intptr_t lParam, NotifyHeader* header);
  static void ReadListNotify(intptr_t lParam, NmListView* nm);
  static void ReadListKeyDown(intptr_t lParam, NmListKeyDown* nm);
  static void ReadToolNotify(intptr_t lParam, NmToolBar* nm);

  // Access to the private parts of CWnd for the backends.
  static WindowHandle& Handle(CWnd* w) { return w->window; }
  static uintptr_t& DefaultProcedure(CWnd* w) { return w->defaultProcedure; }
};
