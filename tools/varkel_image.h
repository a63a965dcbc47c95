#pragma once
// varkel backup|restore|verify FILE: the whole memory of one or two boards against a board image file.

// Runs an image command when argv names one and returns its exit code; -1 when argv is no image command.
int RunImageCommand(int argc, char **argv);
