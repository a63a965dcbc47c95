#pragma once
// Every message box, input box, file dialog and colour dialog goes through this interface, so that
// windows and the port check can be driven by a scripted prompt in tests.
// It sits in the protocol layer because opening the port is the lowest place that talks to the user.

#include <QString>
#include <cstdint>

enum class PromptIcon { Question, Information, Warning, Error };
enum class PromptButtons { Ok, OkCancel, YesNo };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class Prompt {
public:
    virtual ~Prompt() = default;
    virtual PromptAnswer Message(PromptIcon icon, const QString &title, const QString &text, PromptButtons buttons) = 0;
    // A box that does not wait for the user: whatever runs below the caller (a board transfer) goes on.
    // A prompt that has no such box shows an ordinary one.
    virtual void Notice(PromptIcon icon, const QString &title, const QString &text)
    {
        Message(icon, title, text, PromptButtons::Ok);
    }
    // One line of at most 255 characters; false when cancelled (value unchanged then).
    virtual bool Input(const QString &caption, const QString &prompt, QString &value) = 0;
    // Filters as "description|*.ext"; an empty result means cancelled.
    virtual QString OpenFile(const QString &title, const QString &filter, const QString &initial) = 0;
    // Asks before overwriting an existing file.
    virtual QString SaveFile(const QString &title, const QString &filter, const QString &initial) = 0;
    // The same without that question: the caller replaces whatever file the user names.
    virtual QString SaveFileReplacing(const QString &title, const QString &filter, const QString &initial) = 0;
    // Colour as 0x00BBGGRR; false when cancelled.
    virtual bool Color(uint32_t &color) = 0;
};
