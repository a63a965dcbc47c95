#pragma once
// varkel backup|restore|verify FILE: the whole memory of one or two boards against a board image file.

#include <functional>
#include <string>

// The port number a --port value stands for, or -1 with `why` set.
using PortResolver = std::function<int(const std::string &port, std::string &why)>;

// Runs an image command when argv names one and returns its exit code; -1 when argv is no image command.
int RunImageCommand(int argc, char **argv, const PortResolver &portNumber);
