// Reads the part of the resource-script language our .rc files use, so
// the headless dialogs run the same templates windres puts into the .exe.
#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <sstream>

#include "framework/headless/Dialogs.h"

namespace headless {

namespace {

// The <windows.h> constants a script may name.
const struct {
  const char* name;
  long value;
} kConstants[] = {
    {"WS_POPUP", 0x80000000L},
    {"WS_CHILD", 0x40000000L},
    {"WS_VISIBLE", 0x10000000L},
    {"WS_DISABLED", 0x08000000L},
    {"WS_CAPTION", 0x00C00000L},
    {"WS_BORDER", 0x00800000L},
    {"WS_SYSMENU", 0x00080000L},
    {"WS_GROUP", 0x00020000L},
    {"WS_TABSTOP", 0x00010000L},
    {"DS_3DLOOK", 0x0004L},
    {"DS_SETFONT", 0x0040L},
    {"DS_MODALFRAME", 0x0080L},
    {"DS_CENTER", 0x0800L},
    {"SS_LEFT", 0x0000L},
    {"SS_CENTER", 0x0001L},
    {"SS_RIGHT", 0x0002L},
    {"SS_BITMAP", 0x000EL},
    {"SS_ETCHEDHORZ", 0x0010L},
    {"SS_NOPREFIX", 0x0080L},
    {"SS_CENTERIMAGE", 0x0200L},
    {"SS_REALSIZEIMAGE", 0x0800L},
    {"SS_SUNKEN", 0x1000L},
    {"BS_PUSHBUTTON", 0x0000L},
    {"BS_DEFPUSHBUTTON", 0x0001L},
    {"BS_CHECKBOX", 0x0002L},
    {"BS_AUTOCHECKBOX", 0x0003L},
    {"BS_GROUPBOX", 0x0007L},
    {"BS_AUTORADIOBUTTON", 0x0009L},
    {"IDOK", 1},
    {"IDCANCEL", 2},
    {"IDC_STATIC", -1},
};

const uint32_t kChildVisible = 0x40000000u | 0x10000000u;

struct Token {
  enum Kind { kEnd, kNumber, kString, kName, kPunct } kind;
  std::string text;
  long number;
  int line;
};

class Parser {
 public:
  Parser(const std::string& path, Resources* out, std::string* error)
      : path(path), out(out), error(error) {}

  bool Run() {
    if (!Lex(path)) return false;
    while (Peek().kind != Token::kEnd) {
      if (!Statement()) return false;
    }
    return true;
  }

 private:
  bool Fail(const std::string& reason, int line) {
    *error = path + ":" + std::to_string(line) + ": " + reason;
    return false;
  }

  static bool ReadText(const std::string& file, std::string* text) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::stringstream buffer;
    buffer << in.rdbuf();
    *text = buffer.str();
    return true;
  }

  std::string Folder(const std::string& file) {
    size_t slash = file.rfind('/');
    return slash == std::string::npos ? "." : file.substr(0, slash);
  }

  // A header: only its #define lines count.
  bool ReadHeader(const std::string& file, int line) {
    std::string text;
    if (!ReadText(file, &text)) return Fail("cannot read " + file, line);
    std::istringstream lines(text);
    std::string each;
    while (std::getline(lines, each)) Directive(each, Folder(file), line);
    return true;
  }

  // #define NAME number, #include "header"; other directives are skipped.
  bool Directive(const std::string& text, const std::string& folder, int line) {
    std::istringstream words(text.substr(text.find('#') + 1));
    std::string word;
    words >> word;
    if (word == "define") {
      std::string name, value;
      words >> name >> value;
      char* end = nullptr;
      long number = strtol(value.c_str(), &end, 0);
      if (!value.empty() && end && (*end == '\0' || *end == 'L'))
        defines[name] = number;
    } else if (word == "include") {
      std::string file;
      words >> file;
      if (file.size() > 2 && file[0] == '"')
        return ReadHeader(folder + "/" + file.substr(1, file.size() - 2), line);
    }
    return true;
  }

  bool Lex(const std::string& file) {
    std::string text;
    if (!ReadText(file, &text)) return Fail("cannot read the file", 0);
    int line = 1;
    size_t i = 0;
    bool lineStart = true;
    while (i < text.size()) {
      char c = text[i];
      if (c == '\n') {
        ++line;
        ++i;
        lineStart = true;
        continue;
      }
      if (c == ' ' || c == '\t' || c == '\r') {
        ++i;
        continue;
      }
      if (lineStart && c == '#') {
        size_t end = text.find('\n', i);
        if (end == std::string::npos) end = text.size();
        if (!Directive(text.substr(i, end - i), Folder(file), line))
          return false;
        i = end;
        continue;
      }
      lineStart = false;
      if (text.compare(i, 2, "//") == 0) {
        while (i < text.size() && text[i] != '\n') ++i;
        continue;
      }
      if (text.compare(i, 2, "/*") == 0) {
        size_t end = text.find("*/", i + 2);
        if (end == std::string::npos) return Fail("unended comment", line);
        for (size_t k = i; k < end; ++k) line += text[k] == '\n';
        i = end + 2;
        continue;
      }
      if (c == '"') {
        std::string value;
        ++i;
        for (;;) {
          if (i >= text.size() || text[i] == '\n')
            return Fail("unended string", line);
          char d = text[i++];
          if (d == '"') {
            // "" inside a string is one quote.
            if (i < text.size() && text[i] == '"') {
              value += '"';
              ++i;
              continue;
            }
            break;
          }
          if (d == '\\' && i < text.size()) {
            char e = text[i++];
            value += e == 'n' ? '\n' : e == 't' ? '\t' : e;
            continue;
          }
          value += d;
        }
        tokens.push_back({Token::kString, value, 0, line});
        continue;
      }
      if (isdigit((unsigned char)c)) {
        char* end = nullptr;
        long number = strtol(text.c_str() + i, &end, 0);
        i = size_t(end - text.c_str());
        if (i < text.size() && (text[i] == 'L' || text[i] == 'l')) ++i;
        tokens.push_back({Token::kNumber, "", number, line});
        continue;
      }
      if (isalpha((unsigned char)c) || c == '_') {
        size_t start = i;
        while (i < text.size() &&
               (isalnum((unsigned char)text[i]) || text[i] == '_'))
          ++i;
        tokens.push_back(
            {Token::kName, text.substr(start, i - start), 0, line});
        continue;
      }
      if (strchr(",|+-()", c)) {
        tokens.push_back({Token::kPunct, std::string(1, c), 0, line});
        ++i;
        continue;
      }
      return Fail(std::string("unexpected character '") + c + "'", line);
    }
    tokens.push_back({Token::kEnd, "", 0, line});
    return true;
  }

  const Token& Peek() const { return tokens[position]; }
  Token Take() {
    Token token = tokens[position];
    if (token.kind != Token::kEnd) ++position;
    return token;
  }
  bool IsName(const char* name) const {
    return Peek().kind == Token::kName && Peek().text == name;
  }
  bool IsPunct(char c) const {
    return Peek().kind == Token::kPunct && Peek().text[0] == c;
  }
  void SkipComma() {
    if (IsPunct(',')) Take();
  }
  bool Comma() {
    if (!IsPunct(',')) return Fail("',' expected", Peek().line);
    Take();
    return true;
  }

  bool Term(long* value) {
    Token token = Take();
    if (token.kind == Token::kNumber) {
      *value = token.number;
      return true;
    }
    if (token.kind == Token::kPunct && token.text == "-") {
      if (!Term(value)) return false;
      *value = -*value;
      return true;
    }
    if (token.kind == Token::kPunct && token.text == "(") {
      if (!Expression(value)) return false;
      if (!IsPunct(')')) return Fail("')' expected", Peek().line);
      Take();
      return true;
    }
    if (token.kind == Token::kName) {
      auto defined = defines.find(token.text);
      if (defined != defines.end()) {
        *value = defined->second;
        return true;
      }
      for (const auto& constant : kConstants) {
        if (token.text == constant.name) {
          *value = constant.value;
          return true;
        }
      }
      return Fail("unknown name " + token.text, token.line);
    }
    return Fail("number expected", token.line);
  }

  // a | b + c, and NOT x to take bits away, as rc reads styles.
  bool Expression(long* value) {
    bool negate = IsName("NOT");
    if (negate) Take();
    long term;
    if (!Term(&term)) return false;
    *value = negate ? ~term : term;
    while (IsPunct('|') || IsPunct('+')) {
      Take();
      negate = IsName("NOT");
      if (negate) Take();
      if (!Term(&term)) return false;
      if (negate)
        *value &= ~term;
      else
        *value |= term;
    }
    return true;
  }

  bool Int(int* value) {
    long number;
    if (!Expression(&number)) return false;
    *value = int(number);
    return true;
  }

  bool String(std::string* value) {
    if (Peek().kind != Token::kString)
      return Fail("string expected", Peek().line);
    *value = Take().text;
    return true;
  }

  bool Statement() {
    if (IsName("STRINGTABLE")) return StringTable();
    int line = Peek().line;
    int id;
    if (!Int(&id)) return false;
    if (IsName("DIALOG") || IsName("DIALOGEX")) {
      Take();
      return Dialog(id);
    }
    if (IsName("BITMAP")) {
      Take();
      return String(&out->bitmaps[id]);
    }
    return Fail("unsupported resource statement", line);
  }

  bool StringTable() {
    Take();
    while (!IsName("BEGIN")) {
      if (Peek().kind == Token::kEnd)
        return Fail("BEGIN expected", Peek().line);
      Take();  // options such as DISCARDABLE
    }
    Take();
    while (!IsName("END")) {
      int id;
      if (!Int(&id)) return false;
      SkipComma();
      if (!String(&out->strings[unsigned(id)])) return false;
    }
    Take();
    return true;
  }

  bool Dialog(int id) {
    DialogTemplate dialog{id, "", 0, 0, 0, 0, 0, 0, "", {}};
    if (!Int(&dialog.x) || !Comma() || !Int(&dialog.y) || !Comma() ||
        !Int(&dialog.width) || !Comma() || !Int(&dialog.height))
      return false;
    while (!IsName("BEGIN")) {
      Token option = Take();
      long value;
      if (option.kind != Token::kName)
        return Fail("dialog option expected", option.line);
      if (option.text == "STYLE") {
        if (!Expression(&value)) return false;
        dialog.style = uint32_t(value);
      } else if (option.text == "EXSTYLE") {
        if (!Expression(&value)) return false;
      } else if (option.text == "CAPTION") {
        if (!String(&dialog.caption)) return false;
      } else if (option.text == "FONT") {
        if (!Int(&dialog.fontSize) || !Comma() || !String(&dialog.fontName))
          return false;
        while (IsPunct(',')) {
          Take();
          if (!Expression(&value)) return false;
        }
      } else {
        return Fail("unsupported dialog option " + option.text, option.line);
      }
    }
    Take();
    while (!IsName("END")) {
      if (Peek().kind == Token::kEnd) return Fail("END expected", Peek().line);
      DialogControl control;
      if (!Control(&control)) return false;
      dialog.controls.push_back(control);
    }
    Take();
    out->dialogs[id] = dialog;
    return true;
  }

  bool ControlText(std::string* text) {
    if (Peek().kind == Token::kString) return String(text);
    int ordinal;
    if (!Int(&ordinal)) return false;
    *text = "#" + std::to_string(ordinal);
    return true;
  }

  bool Control(DialogControl* control) {
    Token keyword = Take();
    if (keyword.kind != Token::kName)
      return Fail("control statement expected", keyword.line);
    long style = 0;
    if (keyword.text == "CONTROL") {
      if (!ControlText(&control->text) || !Comma() || !Int(&control->id) ||
          !Comma() || !String(&control->className) || !Comma() ||
          !Expression(&style) || !Comma() || !Int(&control->x) || !Comma() ||
          !Int(&control->y) || !Comma() || !Int(&control->width) || !Comma() ||
          !Int(&control->height))
        return false;
    } else {
      // The short forms: class and style by keyword, an optional style.
      static const struct {
        const char* keyword;
        const char* className;
        long style;
      } kShort[] = {
          {"LTEXT", "Static", 0x0000L | 0x00020000L},
          {"CTEXT", "Static", 0x0001L | 0x00020000L},
          {"RTEXT", "Static", 0x0002L | 0x00020000L},
          {"PUSHBUTTON", "Button", 0x0000L | 0x00010000L},
          {"DEFPUSHBUTTON", "Button", 0x0001L | 0x00010000L},
          {"AUTOCHECKBOX", "Button", 0x0003L | 0x00010000L},
      };
      bool known = false;
      for (const auto& form : kShort) {
        if (keyword.text == form.keyword) {
          control->className = form.className;
          style = form.style;
          known = true;
        }
      }
      if (!known)
        return Fail("unsupported control " + keyword.text, keyword.line);
      if (!ControlText(&control->text) || !Comma() || !Int(&control->id) ||
          !Comma() || !Int(&control->x) || !Comma() || !Int(&control->y) ||
          !Comma() || !Int(&control->width) || !Comma() ||
          !Int(&control->height))
        return false;
      if (IsPunct(',')) {
        Take();
        long extra;
        if (!Expression(&extra)) return false;
        style = extra | (style & 0x0000000FL);
      }
    }
    // An extended style may follow; rc ignores it for our purposes.
    if (IsPunct(',')) {
      Take();
      long ignored;
      if (!Expression(&ignored)) return false;
    }
    control->style = uint32_t(style) | kChildVisible;
    return true;
  }

  std::string path;
  Resources* out;
  std::string* error;
  std::map<std::string, long> defines;
  std::vector<Token> tokens;
  size_t position = 0;
};

}  // namespace

bool ParseResourceScript(const std::string& path, Resources* resources,
                         std::string* error) {
  Resources parsed;
  Parser parser(path, &parsed, error);
  if (!parser.Run()) return false;
  *resources = parsed;
  return true;
}

}  // namespace headless
