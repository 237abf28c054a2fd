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
    {"SS_ICON", 0x0003L},
    {"SS_BITMAP", 0x000EL},
    {"SS_ETCHEDHORZ", 0x0010L},
    {"SS_NOPREFIX", 0x0080L},
    {"SS_CENTERIMAGE", 0x0200L},
    {"SS_REALSIZEIMAGE", 0x0800L},
    {"SS_SUNKEN", 0x1000L},
    {"ES_UPPERCASE", 0x0008L},
    {"ES_AUTOHSCROLL", 0x0080L},
    {"ES_READONLY", 0x0800L},
    {"ES_NUMBER", 0x2000L},
    {"UDS_WRAP", 0x0001L},
    {"UDS_SETBUDDYINT", 0x0002L},
    {"UDS_ALIGNRIGHT", 0x0004L},
    {"UDS_ALIGNLEFT", 0x0008L},
    {"UDS_AUTOBUDDY", 0x0010L},
    {"UDS_ARROWKEYS", 0x0020L},
    {"UDS_HORZ", 0x0040L},
    {"UDS_NOTHOUSANDS", 0x0080L},
    {"UDS_HOTTRACK", 0x0100L},
    {"BS_PUSHBUTTON", 0x0000L},
    {"BS_DEFPUSHBUTTON", 0x0001L},
    {"BS_CHECKBOX", 0x0002L},
    {"BS_AUTOCHECKBOX", 0x0003L},
    {"BS_GROUPBOX", 0x0007L},
    {"BS_AUTORADIOBUTTON", 0x0009L},
    {"IDOK", 1},
    {"IDCANCEL", 2},
    {"IDC_STATIC", -1},
    {"VK_DELETE", 0x2E},
    {"VK_F1", 0x70},
    {"VS_VERSION_INFO", 1},
    {"VS_FFI_FILEFLAGSMASK", 0x3FL},
    {"VOS__WINDOWS32", 0x0004L},
    {"VFT_APP", 0x0001L},
};

// The option words of MENUITEM and POPUP, and of an accelerator.
const struct {
  const char* name;
  unsigned flag;
} kMenuOptions[] =
    {
        {"GRAYED", 0x0001},       {"INACTIVE", 0x0002},  {"CHECKED", 0x0008},
        {"MENUBARBREAK", 0x0020}, {"MENUBREAK", 0x0040}, {"HELP", 0x4000},
},
  kAcceleratorOptions[] = {
      {"ASCII", 0x00}, {"VIRTKEY", 0x01}, {"NOINVERT", 0x02},
      {"SHIFT", 0x04}, {"CONTROL", 0x08}, {"ALT", 0x10},
};

// The type of a toolbar resource and the version of its layout.
const int kToolbarType = 241;
const long kToolbarVersion = 1;

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
    if (IsName("ICON")) {
      Take();
      return String(&out->icons[id]);
    }
    if (IsName("MENU")) {
      Take();
      return SkipToBegin() && MenuItems(&out->menus[id]);
    }
    if (IsName("ACCELERATORS")) {
      Take();
      return SkipToBegin() && Accelerators(&out->accelerators[id]);
    }
    if (IsName("VERSIONINFO")) {
      Take();
      return Version();
    }
    // A user-defined resource: a numeric type and its data.
    if (Peek().kind == Token::kNumber ||
        (Peek().kind == Token::kName && defines.count(Peek().text))) {
      int type;
      if (!Int(&type)) return false;
      if (type == kToolbarType) return Toolbar(id, line);
      return Fail("unsupported resource type " + std::to_string(type), line);
    }
    return Fail("unsupported resource statement", line);
  }

  // Load options such as DISCARDABLE, up to and including BEGIN.
  bool SkipToBegin() {
    while (!IsName("BEGIN")) {
      if (Peek().kind == Token::kEnd)
        return Fail("BEGIN expected", Peek().line);
      Take();
    }
    Take();
    return true;
  }

  bool Begin() {
    if (!IsName("BEGIN")) return Fail("BEGIN expected", Peek().line);
    Take();
    return true;
  }

  // True at END (which it takes); a failure at the end of the file.
  bool AtEnd(bool* end) {
    *end = IsName("END");
    if (*end) Take();
    if (Peek().kind == Token::kEnd && !*end)
      return Fail("END expected", Peek().line);
    return true;
  }

  // Adds the flag of option word `name` (of a menu entry or of an
  // accelerator); false for a word that is no such option.
  bool Option(const char* name, unsigned* flags, bool menu) {
    const auto* options = menu ? kMenuOptions : kAcceleratorOptions;
    const size_t count =
        menu ? sizeof kMenuOptions / sizeof *kMenuOptions
             : sizeof kAcceleratorOptions / sizeof *kAcceleratorOptions;
    for (size_t i = 0; i < count; ++i) {
      if (strcmp(options[i].name, name) == 0) {
        *flags |= options[i].flag;
        return true;
      }
    }
    return false;
  }

  // MENUITEM "text", id [options], MENUITEM SEPARATOR and POPUP "text"
  // [options] BEGIN ... END, after the menu's BEGIN up to its END.
  bool MenuItems(std::vector<MenuEntry>* items) {
    for (;;) {
      bool end;
      if (!AtEnd(&end)) return false;
      if (end) return true;
      Token keyword = Take();
      MenuEntry entry;
      if (keyword.kind == Token::kName && keyword.text == "MENUITEM" &&
          IsName("SEPARATOR")) {
        Take();
        entry.separator = true;
        items->push_back(entry);
        continue;
      }
      bool popup = keyword.kind == Token::kName && keyword.text == "POPUP";
      if (!popup &&
          !(keyword.kind == Token::kName && keyword.text == "MENUITEM"))
        return Fail("menu item expected", keyword.line);
      if (!String(&entry.text)) return false;
      if (!popup) {
        int id;
        if (!Comma() || !Int(&id)) return false;
        entry.id = unsigned(id);
      }
      for (;;) {
        if (IsPunct(',')) Take();
        if (Peek().kind != Token::kName ||
            !Option(Peek().text.c_str(), &entry.flags, true))
          break;
        Take();
      }
      if (popup) {
        entry.popup = true;
        if (!Begin() || !MenuItems(&entry.items)) return false;
      }
      items->push_back(entry);
    }
  }

  // key, id [, options]: the key a string ("S", "^C") or a number.
  bool Accelerators(std::vector<Accelerator>* table) {
    for (;;) {
      bool end;
      if (!AtEnd(&end)) return false;
      if (end) return true;
      int line = Peek().line;
      Accelerator accelerator{0, 0, 0};
      if (Peek().kind == Token::kString) {
        std::string key = Take().text;
        if (key.size() == 2 && key[0] == '^')
          accelerator.key = unsigned(toupper((unsigned char)key[1]) - '@');
        else if (key.size() == 1)
          accelerator.key = (unsigned char)key[0];
        else
          return Fail("accelerator key expected", line);
      } else {
        int key;
        if (!Int(&key)) return false;
        accelerator.key = unsigned(key);
      }
      int id;
      if (!Comma() || !Int(&id)) return false;
      accelerator.id = unsigned(id);
      while (IsPunct(',')) {
        Take();
        Token option = Take();
        if (option.kind != Token::kName ||
            !Option(option.text.c_str(), &accelerator.flags, false))
          return Fail("accelerator option expected", option.line);
      }
      table->push_back(accelerator);
    }
  }

  // The fixed part (FILEVERSION a, b, c, d ...), then BLOCK and VALUE
  // statements; string values are kept by name.
  bool Version() {
    VersionInfo& info = out->version;
    info.present = true;
    while (!IsName("BEGIN")) {
      Token field = Take();
      if (field.kind != Token::kName)
        return Fail("version field expected", field.line);
      if (field.text == "FILEVERSION" || field.text == "PRODUCTVERSION") {
        unsigned* parts = field.text == "FILEVERSION" ? info.fileVersion
                                                      : info.productVersion;
        for (int i = 0; i < 4; ++i) {
          int part;
          if ((i > 0 && !Comma()) || !Int(&part)) return false;
          parts[i] = unsigned(part);
        }
        continue;
      }
      long value;
      if (field.text != "FILEFLAGSMASK" && field.text != "FILEFLAGS" &&
          field.text != "FILEOS" && field.text != "FILETYPE" &&
          field.text != "FILESUBTYPE")
        return Fail("unsupported version field " + field.text, field.line);
      if (!Expression(&value)) return false;
      if (field.text == "FILEOS") info.fileOs = unsigned(value);
      if (field.text == "FILETYPE") info.fileType = unsigned(value);
    }
    Take();
    return VersionBlock();
  }

  bool VersionBlock() {
    for (;;) {
      bool end;
      if (!AtEnd(&end)) return false;
      if (end) return true;
      Token keyword = Take();
      std::string name;
      if (keyword.kind == Token::kName && keyword.text == "BLOCK") {
        if (!String(&name) || !Begin() || !VersionBlock()) return false;
        continue;
      }
      if (!(keyword.kind == Token::kName && keyword.text == "VALUE"))
        return Fail("BLOCK or VALUE expected", keyword.line);
      if (!String(&name)) return false;
      while (IsPunct(',')) {
        Take();
        if (Peek().kind == Token::kString) {
          out->version.strings[name] = Take().text;
        } else {
          long ignored;
          if (!Expression(&ignored)) return false;
        }
      }
    }
  }

  // BEGIN version, width, height, count, the commands END, all WORDs.
  bool Toolbar(int id, int line) {
    if (!Begin()) return false;
    std::vector<long> words;
    for (;;) {
      bool end;
      if (!AtEnd(&end)) return false;
      if (end) break;
      if (!words.empty() && !Comma()) return false;
      long word;
      if (!Expression(&word)) return false;
      if (word < 0 || word > 0xFFFF)
        return Fail("toolbar data holds WORDs only", line);
      words.push_back(word);
    }
    if (words.size() < 4 || words[0] != kToolbarVersion ||
        words.size() != size_t(4 + words[3]))
      return Fail(
          "toolbar data is not version, width, height, count and "
          "that many commands",
          line);
    ToolbarTemplate& toolbar = out->toolbars[id];
    toolbar.width = int(words[1]);
    toolbar.height = int(words[2]);
    toolbar.ids.assign(words.begin() + 4, words.end());
    return true;
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
