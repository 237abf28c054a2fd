// CImageList over comctl32's image lists (the functions of comctl32 4.00,
// Windows 95's).
#include "framework/ImageList.h"

#include "framework/win32/Win32Wnd.h"

namespace {

HIMAGELIST ToList(uintptr_t list) { return reinterpret_cast<HIMAGELIST>(list); }

}  // namespace

CImageList::~CImageList() { DeleteImageList(); }

// A list already held is kept: creating over it fails.
bool CImageList::Create(int cx, int cy, unsigned flags, int initial, int grow) {
  if (handle != 0) return false;
  handle = reinterpret_cast<uintptr_t>(
      ImageList_Create(cx, cy, flags, initial, grow));
  return handle != 0;
}

bool CImageList::Create(unsigned bitmapId, int cx, int grow,
                        uint32_t maskColor) {
  if (handle != 0) return false;
  handle = reinterpret_cast<uintptr_t>(ImageList_LoadImageA(
      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId), cx, grow,
      maskColor, IMAGE_BITMAP, 0));
  return handle != 0;
}

bool CImageList::CreateMerged(const CImageList& first, int firstImage,
                              const CImageList& second, int secondImage, int dx,
                              int dy) {
  if (handle != 0) return false;
  handle = reinterpret_cast<uintptr_t>(
      ImageList_Merge(ToList(first.handle), firstImage, ToList(second.handle),
                      secondImage, dx, dy));
  return handle != 0;
}

int CImageList::Add(IconHandle icon) {
  if (handle == 0) return -1;
  return ImageList_ReplaceIcon(ToList(handle), -1,
                               reinterpret_cast<HICON>(icon));
}

int CImageList::GetImageCount() const {
  return handle != 0 ? ImageList_GetImageCount(ToList(handle)) : 0;
}

bool CImageList::GetIconSize(int* cx, int* cy) const {
  int width = 0, height = 0;
  const bool ok =
      handle != 0 && ImageList_GetIconSize(ToList(handle), &width, &height);
  if (cx != nullptr) *cx = width;
  if (cy != nullptr) *cy = height;
  return ok;
}

void CImageList::Attach(uintptr_t list) {
  if (list == handle) return;
  // The object owns one list at a time; the one it held goes.
  DeleteImageList();
  handle = list;
}

uintptr_t CImageList::Detach() {
  const uintptr_t list = handle;
  handle = 0;
  return list;
}

bool CImageList::DeleteImageList() {
  if (handle == 0) return false;
  const bool ok = Destroy(handle);
  handle = 0;
  return ok;
}

bool CImageList::Destroy(uintptr_t list) {
  return list != 0 && ImageList_Destroy(ToList(list)) != 0;
}

bool CImageList::BeginDrag(int image, CPoint hotSpot) {
  return handle != 0 &&
         ImageList_BeginDrag(ToList(handle), image, hotSpot.x, hotSpot.y) != 0;
}

bool CImageList::DragEnter(CWnd* lock, CPoint point) {
  return ImageList_DragEnter(HwndOf(lock), point.x, point.y) != 0;
}

bool CImageList::DragMove(CPoint point) {
  return ImageList_DragMove(point.x, point.y) != 0;
}

bool CImageList::DragLeave(CWnd* lock) {
  return ImageList_DragLeave(HwndOf(lock)) != 0;
}

void CImageList::EndDrag() { ImageList_EndDrag(); }
