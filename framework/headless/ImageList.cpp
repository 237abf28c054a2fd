// CImageList over headless image-list records; the drag calls are logged
// in the world for tests to compare with the expected order.
#include "framework/ImageList.h"

#include <stdio.h>

#include <algorithm>
#include <string>

#include "framework/WindowCodes.h"
#include "framework/headless/Dialogs.h"
#include "framework/headless/Windows.h"

using headless::DragCall;
using headless::ImageListRecord;
using headless::Windows;

namespace {

ImageListRecord* RecordOf(uintptr_t handle) {
  std::vector<ImageListRecord*>& lists = Windows::Get().imageLists;
  ImageListRecord* record = reinterpret_cast<ImageListRecord*>(handle);
  return std::find(lists.begin(), lists.end(), record) != lists.end() ? record
                                                                      : nullptr;
}

uintptr_t NewList(int cx, int cy, unsigned flags) {
  ImageListRecord* record = new ImageListRecord;
  record->cx = cx;
  record->cy = cy;
  record->flags = flags;
  Windows::Get().imageLists.push_back(record);
  return reinterpret_cast<uintptr_t>(record);
}

void Log(const char* name, uintptr_t list, int image, WindowHandle window,
         CPoint point) {
  DragCall call;
  call.name = name;
  call.list = list;
  call.image = image;
  call.window = window;
  call.point = point;
  Windows::Get().dragCalls.push_back(call);
}

}  // namespace

CImageList::~CImageList() { DeleteImageList(); }

bool CImageList::Create(int cx, int cy, unsigned flags, int, int) {
  if (handle != 0 || cx <= 0 || cy <= 0) return false;
  handle = NewList(cx, cy, flags);
  return true;
}

// The images of a bitmap resource: as many as fit its width.
bool CImageList::Create(unsigned bitmapId, int cx, int, uint32_t) {
  const headless::Resources& resources = headless::GetResources();
  auto found = resources.bitmaps.find(static_cast<int>(bitmapId));
  if (handle != 0 || cx <= 0 || found == resources.bitmaps.end()) return false;
  std::string path = found->second;
  if (!path.empty() && path[0] != '/' && !headless::ResourceFolder().empty())
    path = headless::ResourceFolder() + "/" + path;
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  unsigned char header[26];
  const size_t read = fread(header, 1, sizeof header, file);
  fclose(file);
  if (read != sizeof header || header[0] != 'B' || header[1] != 'M')
    return false;
  const int width =
      header[18] | (header[19] << 8) | (header[20] << 16) | (header[21] << 24);
  const int height = header[22] | (header[23] << 8);
  handle = NewList(cx, height, ILC_MASK);
  for (int i = 0; i < width / cx; ++i)
    RecordOf(handle)->images.push_back(0xB0000 + bitmapId * 64 + i);
  return true;
}

bool CImageList::CreateMerged(const CImageList& first, int firstImage,
                              const CImageList& second, int secondImage, int,
                              int) {
  ImageListRecord* a = RecordOf(first.handle);
  ImageListRecord* b = RecordOf(second.handle);
  if (handle != 0 || a == nullptr || b == nullptr || firstImage < 0 ||
      firstImage >= static_cast<int>(a->images.size()) || secondImage < 0 ||
      secondImage >= static_cast<int>(b->images.size()))
    return false;
  handle = NewList(a->cx, a->cy, a->flags);
  RecordOf(handle)->images.push_back(a->images[firstImage]);
  return true;
}

int CImageList::Add(IconHandle icon) {
  ImageListRecord* record = RecordOf(handle);
  if (record == nullptr || icon == 0) return -1;
  record->images.push_back(icon);
  return static_cast<int>(record->images.size()) - 1;
}

int CImageList::GetImageCount() const {
  ImageListRecord* record = RecordOf(handle);
  return record ? static_cast<int>(record->images.size()) : 0;
}

bool CImageList::GetIconSize(int* cx, int* cy) const {
  ImageListRecord* record = RecordOf(handle);
  if (record == nullptr) return false;
  *cx = record->cx;
  *cy = record->cy;
  return true;
}

void CImageList::Attach(uintptr_t list) {
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
  const bool destroyed = Destroy(handle);
  handle = 0;
  return destroyed;
}

bool CImageList::Destroy(uintptr_t list) {
  ImageListRecord* record = RecordOf(list);
  if (record == nullptr) return false;
  std::vector<ImageListRecord*>& lists = Windows::Get().imageLists;
  lists.erase(std::find(lists.begin(), lists.end(), record));
  delete record;
  return true;
}

bool CImageList::BeginDrag(int image, CPoint hotSpot) {
  if (RecordOf(handle) == nullptr) return false;
  Windows::Get().dragList = handle;
  Log("BeginDrag", handle, image, 0, hotSpot);
  return true;
}

bool CImageList::DragEnter(CWnd* lock, CPoint point) {
  Windows& world = Windows::Get();
  Log("DragEnter", world.dragList, 0, lock ? lock->GetSafeHwnd() : 0, point);
  return world.dragList != 0;
}

bool CImageList::DragMove(CPoint point) {
  Windows& world = Windows::Get();
  Log("DragMove", world.dragList, 0, 0, point);
  return world.dragList != 0;
}

bool CImageList::DragLeave(CWnd* lock) {
  Windows& world = Windows::Get();
  Log("DragLeave", world.dragList, 0, lock ? lock->GetSafeHwnd() : 0, CPoint());
  return world.dragList != 0;
}

void CImageList::EndDrag() {
  Windows& world = Windows::Get();
  Log("EndDrag", world.dragList, 0, 0, CPoint());
  world.dragList = 0;
}
