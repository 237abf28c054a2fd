// The program's HTML pages in the folder Help beside it, opened in
// whatever program the system associates with them.
#pragma once

// Command ids of the two help commands.
enum HelpCommand { ID_HELP_CONTENTS = 32950, ID_HELP_OPINION = 32957 };

extern const char helpContentsPage[];  // "Help.html"
extern const char helpOpinionPage[];   // "Opinion.html"

// Opens Help\<page> below the current directory; reports a failure.
bool OpenHelpPage(const char* page);
