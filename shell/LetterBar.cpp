#include "shell/LetterBar.h"

#include "framework/Gdi.h"
#include "framework/ImageList.h"
#include "framework/System.h"
#include "framework/WindowCodes.h"

namespace {

const unsigned letterBarBitmap = 130;
// A press becomes a drag at this mouse move; before it, it is a click.
const int movesToDrag = 5;

intptr_t PackPoint(CPoint p) {
  return static_cast<intptr_t>(
      (static_cast<uint32_t>(static_cast<uint16_t>(p.y)) << 16) |
      static_cast<uint16_t>(p.x));
}

}  // namespace

intptr_t LetterBar::OnBeginDrag(const NmToolBar& notify) {
  const unsigned id = static_cast<unsigned>(notify.item);
  if (!IsButtonEnabled(id)) return 0;
  dragArmed = 1;
  draggedCommand = notify.item;
  moveCount = 0;
  AfxGetCursorPos(&pressPoint);
  ScreenToClient(&pressPoint);
  return 0;
}

intptr_t LetterBar::OnEndDrag(const NmToolBar&) {
  dragArmed = 0;
  return 0;
}

// The toolbar holds the mouse while its button is down, so the moves come
// here even outside the bar.
void LetterBar::OnMouseMove(unsigned, CPoint) {
  if (dragArmed && ++moveCount >= movesToDrag) HandOver();
  Default();
}

void LetterBar::HandOver() {
  const int i = draggedCommand - ID_LETTER_A;
  if (i < 0 || i > 25 || targetView == nullptr) {
    dragArmed = 0;
    return;
  }
  CImageList letters;
  letters.Create(letterBarBitmap, 16, 1, RGB(0, 0, 0));
  CImageList cursors;
  if (cursors.Create(AfxGetSystemMetrics(kSmCxCursor),
                     AfxGetSystemMetrics(kSmCyCursor), ILC_MASK, 2, 0)) {
    cursors.Add(AfxLoadStandardCursor(kIdcArrow));
    cursors.Add(AfxLoadStandardCursor(kIdcNo));
  }
  // The arrow's tip lies at (16, 8) in the accepting picture: the hot spot.
  CImageList* dropImages = new CImageList;
  dropImages->CreateMerged(letters, i, cursors, 0, 16, 8);
  CImageList* noDropImages = new CImageList;
  noDropImages->CreateMerged(letters, i, cursors, 1, 8, 8);

  // The release below issues the button's command; the view drops it.
  targetView->ignoreNextLetterCommand = true;
  SendMessage(WM_LBUTTONUP, 0, PackPoint(pressPoint));
  ReleaseCapture();
  SendMessage(WM_MOUSELEAVE);
  CRect button;
  GetItemRect(i, &button);
  InvalidateRect(&button, false);
  UpdateWindow();
  dragArmed = 0;
  targetView->BeginLetterDrag(dropImages, noDropImages, 16, 8,
                              static_cast<char>('A' + i));
}

const MessageMap* LetterBar::GetMessageMap() const {
  static const MessageMapEntry entries[] = {
      Map::ToolNotify(TBN_BEGINDRAG, &LetterBar::OnBeginDrag),
      Map::ToolNotify(TBN_ENDDRAG, &LetterBar::OnEndDrag),
      Map::Mouse(WM_MOUSEMOVE, &LetterBar::OnMouseMove), Map::End()};
  static const MessageMap map = {CToolBar::GetMessageMap(), entries};
  return &map;
}
