// The user in front of the simulated machine: answers message boxes from a
// queue of expected boxes and records every box shown.
#pragma once
#include <stdint.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace sim {

// Reports a test failure; the test fixture routes it to GoogleTest.
using FailureHandler = std::function<void(const std::string&)>;

// One message box as shown.
struct Box {
  WindowHandle owner;
  std::string caption;
  std::string text;
  uint32_t type;  // MB_ buttons | icon | default button | modality
  int answer;
};

class ScriptedUser {
 public:
  explicit ScriptedUser(const FailureHandler* onFailure)
      : onFailure(onFailure) {}

  // The next box must have exactly this caption, text and type; the user
  // presses `answer` (IDOK, IDYES ...).
  void Expect(const std::string& caption, const std::string& text,
              uint32_t type, int answer);
  // The next box, whatever it shows, is answered with `answer`.
  void Answer(int answer);
  // Every box shown so far, in order.
  const std::vector<Box>& Boxes() const { return boxes; }
  // Forgets the boxes shown so far (long runs that check each step).
  void ClearBoxes() { boxes.clear(); }
  // Reports each expectation never met; true when none is left.
  bool Done();
  // Drops the expectations not yet met.
  void Forget() { queue.clear(); }

  // For the simulator: shows a box and returns the button pressed. A box
  // that differs from the expected one, or one nobody expected, is reported
  // and answered with the box's cancel-like button.
  int Show(WindowHandle owner, const std::string& text,
           const std::string& caption, uint32_t type);

 private:
  struct Expected {
    bool pinned;
    std::string caption;
    std::string text;
    uint32_t type;
    int answer;
  };
  const FailureHandler* onFailure;
  std::deque<Expected> queue;
  std::vector<Box> boxes;
};

// Readable names for a box type and an answer ("MB_YESNO|MB_ICONQUESTION",
// "IDYES"), for failure reports.
std::string DescribeBoxType(uint32_t type);
std::string DescribeAnswer(int answer);

}  // namespace sim
