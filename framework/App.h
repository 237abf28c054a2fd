// The program's side of start-up: the framework's entry point installs the
// platform and calls this once; its result is the exit code.
#pragma once

int RunApplication(const char* commandLine, int showCommand);
