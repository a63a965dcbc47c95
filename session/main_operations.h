#pragma once
// What the main window offers the other windows. They hold this interface, never the main window's controls.

#include "protocol/board_facts.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

class Prompt;

// Receivers of channel names and colours (motion editor captions, graph, teaching, options windows).
class ChannelLookListener {
public:
    virtual ~ChannelLookListener() = default;
    // name, panel colour and text colour (0x00BBGGRR) of channel 1-24
    virtual void ChannelLookChanged(int channel, const QString &name, uint32_t panelColor, uint32_t textColor) = 0;
};

class MainOperations {
public:
    virtual ~MainOperations() = default;

    // Live positions. A Teaching source leaves the value code as it was.
    virtual void SetChannel(int channel, int value, orvane::ChannelSource source) = 0;
    // The value code alone: what the next SendBoardPositions carries; value text and mode list stay.
    virtual void SetValueCode(int channel, int value) = 0;
    virtual void ShowChannelValue(int channel) = 0;
    virtual bool SendBoardPositions(int group, int speed) = 0;
    virtual bool ReadBoardPositions() = 0;
    virtual void ShowLinkStatus(orvane::FailureMask failures) = 0;
    virtual void ShowBoardMode(int modeByte) = 0;
    virtual bool EnterSleep() = 0;
    virtual bool ReleaseSleep() = 0;
    virtual bool EnsureSleep() = 0;
    virtual void ReturnToHome() = 0;
    virtual void AddCurrentPosition() = 0;
    // Appends one row per entry, each given as its 24 value texts, with the DATA NAME and speed that
    // AddCurrentPosition takes: all of them one step of the motion editor's undo.
    virtual void AddPositions(const QList<QStringList> &rows) = 0;
    virtual void OverwriteSelectedPositions() = 0;

    // State the other windows read.
    virtual int BoardId(int group) const = 0;  // 255: no board in that group
    // Takes effect for every later command of every window; written to ORV.ini at closing.
    virtual void SetBoardId(int group, int id) = 0;
    bool BoardPresent(int group) const { return BoardId(group) != orvane::kNoBoard; }
    // The board that speaks for both (asked for the mode, supplies row counts): the first present one, or -1.
    int FirstPresentGroup() const { return BoardPresent(0) ? 0 : BoardPresent(1) ? 1 : -1; }
    virtual bool SyncMode() const = 0;
    virtual int Speed() const = 0;
    // Selects the speed choice 0-7, as the user's click on it would.
    virtual void SetSpeed(int speed) = 0;
    virtual int ValueCode(int channel) const = 0;
    virtual QString ValueText(int channel) const = 0;
    virtual int HomeValue(int channel) const = 0;
    virtual void SetHomeValue(int channel, int value) = 0;
    virtual QString ProgramFolder() const = 0;
    // Where the file dialogs' dated start names point: the program folder, or the user's home folder
    // when the program runs installed.
    virtual QString StartFolder() const { return ProgramFolder(); }
    virtual Prompt &UserPrompt() = 0;

    // Channel looks, held by the panels.
    virtual QString ChannelName(int channel) const = 0;
    virtual uint32_t PanelColor(int channel) const = 0;  // as stored: may be a system colour number
    virtual uint32_t NameColor(int channel) const = 0;   // text colour of the name label
    virtual bool PanelVisible(int channel) const = 0;
    virtual bool Hold() const = 0;
    // Applies name, colours and visibility of one channel and pushes them to every listener.
    virtual void SetChannelLook(int channel, const QString &name, uint32_t panelColor, uint32_t nameColor,
                                bool visible) = 0;
    virtual void SetHold(bool on) = 0;
    virtual void AddChannelLookListener(ChannelLookListener *listener) = 0;
};
