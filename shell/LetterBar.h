// The letter bar: 26 buttons A to Z. A click assigns the letter to the
// drive list's target row (the frame routes the command to the view); a
// press that moves on turns into a drag, which the view runs to its end.
#pragma once
#include "assign/DriveListView.h"
#include "framework/ControlBars.h"

class LetterBar : public CToolBar {
 public:
  // The view that receives drags; set once by the frame.
  void SetTargetView(DriveListView* view) { targetView = view; }

  DriveListView* targetView = nullptr;
  int dragArmed = 0;  // a button is down and may still become a drag
  int draggedCommand = 0;
  int moveCount = 0;
  CPoint pressPoint;  // client coordinates

 protected:
  intptr_t OnBeginDrag(const NmToolBar& notify);
  intptr_t OnEndDrag(const NmToolBar& notify);
  void OnMouseMove(unsigned keyFlags, CPoint point);
  const MessageMap* GetMessageMap() const override;

 private:
  // Builds the drag images and hands the drag over to the view.
  void HandOver();
};
