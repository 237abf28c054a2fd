#include "platform/sim/ScriptedUser.h"

#include "platform/Codes.h"

namespace sim {

namespace {
struct Name {
  uint32_t value;
  const char* name;
};
const Name kButtons[] = {{MB_OK, "MB_OK"},
                         {MB_OKCANCEL, "MB_OKCANCEL"},
                         {MB_ABORTRETRYIGNORE, "MB_ABORTRETRYIGNORE"},
                         {MB_YESNOCANCEL, "MB_YESNOCANCEL"},
                         {MB_YESNO, "MB_YESNO"},
                         {MB_RETRYCANCEL, "MB_RETRYCANCEL"}};
const Name kIcons[] = {{MB_ICONHAND, "MB_ICONERROR"},
                       {MB_ICONQUESTION, "MB_ICONQUESTION"},
                       {MB_ICONEXCLAMATION, "MB_ICONWARNING"},
                       {MB_ICONASTERISK, "MB_ICONINFORMATION"}};
const Name kAnswers[] = {{IDOK, "IDOK"},         {IDCANCEL, "IDCANCEL"},
                         {IDABORT, "IDABORT"},   {IDRETRY, "IDRETRY"},
                         {IDIGNORE, "IDIGNORE"}, {IDYES, "IDYES"},
                         {IDNO, "IDNO"}};

// The button a box gets when the user closes it without choosing.
int CancelAnswer(uint32_t type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
      return IDCANCEL;
    case MB_YESNO:
      return IDNO;
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    default:
      return IDOK;
  }
}

std::string Quote(const std::string& text) {
  std::string result = "\"";
  for (char c : text) {
    if (c == '\n')
      result += "\\n";
    else if (c == '\r')
      result += "\\r";
    else if (c == '\t')
      result += "\\t";
    else if (c == '"')
      result += "\\\"";
    else
      result += c;
  }
  return result + "\"";
}
}  // namespace

std::string DescribeBoxType(uint32_t type) {
  std::string text = "?";
  for (const Name& n : kButtons)
    if ((type & MB_TYPEMASK) == n.value) text = n.name;
  if (uint32_t icon = type & MB_ICONMASK) {
    std::string name = "icon " + std::to_string(icon);
    for (const Name& n : kIcons)
      if (icon == n.value) name = n.name;
    text += "|" + name;
  }
  if (uint32_t def = type & MB_DEFMASK)
    text += "|MB_DEFBUTTON" + std::to_string((def >> 8) + 1);
  uint32_t rest = type & ~uint32_t(MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK);
  if (rest) {
    char hex[16];
    snprintf(hex, sizeof hex, "|0x%x", rest);
    text += hex;
  }
  return text;
}

std::string DescribeAnswer(int answer) {
  for (const Name& n : kAnswers)
    if (answer == int(n.value)) return n.name;
  return std::to_string(answer);
}

void ScriptedUser::Expect(const std::string& caption, const std::string& text,
                          uint32_t type, int answer) {
  queue.push_back({true, caption, text, type, answer});
}

void ScriptedUser::Answer(int answer) {
  queue.push_back({false, "", "", 0, answer});
}

bool ScriptedUser::Done() {
  bool clean = queue.empty();
  for (const Expected& e : queue) {
    std::string message = "Expected message box never shown: ";
    if (e.pinned)
      message += "caption " + Quote(e.caption) + ", text " + Quote(e.text) +
                 ", type " + DescribeBoxType(e.type);
    else
      message += "(any box)";
    message += ", to be answered " + DescribeAnswer(e.answer);
    (*onFailure)(message);
  }
  queue.clear();
  return clean;
}

int ScriptedUser::Show(WindowHandle owner, const std::string& text,
                       const std::string& caption, uint32_t type) {
  int answer;
  std::string shown = "caption " + Quote(caption) + ", text " + Quote(text) +
                      ", type " + DescribeBoxType(type);
  if (queue.empty()) {
    answer = CancelAnswer(type);
    (*onFailure)("Unexpected message box: " + shown + "; answered " +
                 DescribeAnswer(answer));
  } else {
    Expected e = queue.front();
    queue.pop_front();
    answer = e.answer;
    if (e.pinned) {
      std::string diff;
      if (e.caption != caption)
        diff += "\n  caption: expected " + Quote(e.caption) +
                "\n           got " + Quote(caption);
      if (e.text != text)
        diff += "\n  text: expected " + Quote(e.text) + "\n        got " +
                Quote(text);
      if (e.type != type)
        diff += "\n  type: expected " + DescribeBoxType(e.type) +
                "\n        got " + DescribeBoxType(type);
      if (!diff.empty()) {
        answer = CancelAnswer(type);
        (*onFailure)("Message box differs from the one expected:" + diff +
                     "\n  answered " + DescribeAnswer(answer));
      }
    }
  }
  boxes.push_back({owner, caption, text, type, answer});
  return answer;
}

}  // namespace sim
