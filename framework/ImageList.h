// CImageList: an image list (HIMAGELIST) that the object owns; the
// destructor destroys it unless it was detached. The drag calls are the
// image list's drag support (ImageList_BeginDrag ...), which draws on the
// desktop when DragEnter is given no window.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "framework/Wnd.h"

class CImageList {
 public:
  CImageList() {}
  ~CImageList();
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  // ILC_ flags (ILC_MASK ...), the initial size and the growth.
  bool Create(int cx, int cy, unsigned flags, int initial, int grow);
  // ImageList_LoadBitmap: the images of bitmap resource `bitmapId`, each
  // `cx` pixels wide, masked by `maskColor` (a COLORREF).
  bool Create(unsigned bitmapId, int cx, int grow, uint32_t maskColor);
  // ImageList_Merge: one image of `first` with `second`'s image drawn on
  // it at (dx, dy).
  bool CreateMerged(const CImageList& first, int firstImage,
                    const CImageList& second, int secondImage, int dx, int dy);
  // Appends an icon (copied): the new image's index, -1 on failure.
  int Add(IconHandle icon);
  int GetImageCount() const;
  bool GetIconSize(int* cx, int* cy) const;

  uintptr_t GetSafeHandle() const { return handle; }
  void Attach(uintptr_t list);
  // Gives up ownership: the handle, which the caller now owns.
  uintptr_t Detach();
  bool DeleteImageList();
  // Destroys a list by its handle (one detached from a control, say).
  static bool Destroy(uintptr_t list);

  // The drag image: begin with one of this list's images and the hot spot,
  // enter at a point (screen coordinates when `lock` is null), move, leave,
  // end.
  bool BeginDrag(int image, CPoint hotSpot);
  static bool DragEnter(CWnd* lock, CPoint point);
  static bool DragMove(CPoint point);
  static bool DragLeave(CWnd* lock);
  static void EndDrag();

 private:
  uintptr_t handle = 0;
};
