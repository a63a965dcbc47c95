#pragma once
// Opening the port for a varkel command.

#include <string>

// Opens port `portNo` (named `port` on the command line) and purges it. When it cannot be opened, says why
// on standard error, releases the port and returns false.
bool OpenVarkelPort(const std::string &port, int portNo);
