#pragma once

class Prompt;

// Opens the port and tells the user the outcome; the port is left closed on failure.
void OpenPortChecked(Prompt &prompt);
