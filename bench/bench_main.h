#pragma once
// What the benchmarks put in place of the main window: both boards present, the program's own sleep
// operations over the line, every question answered OK or Yes unless another prompt is set.

#include "protocol/transaction.h"
#include "session/board_operations.h"
#include "session/main_operations.h"
#include "session/prompt.h"

#include <QString>

#include <cstdint>

// Every question answered OK or Yes.
class AgreeingPrompt : public Prompt {
public:
    PromptAnswer Message(PromptIcon, const QString &, const QString &, PromptButtons buttons) override
    {
        return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    bool Input(const QString &, const QString &, QString &) override { return false; }
    QString OpenFile(const QString &, const QString &, const QString &) override { return {}; }
    QString SaveFile(const QString &, const QString &, const QString &) override { return {}; }
    QString SaveFileReplacing(const QString &, const QString &, const QString &) override { return {}; }
    bool Color(uint32_t &) override { return false; }
};

// A main window of both boards whose sleep operations are the program's own.
class BenchMain : public MainOperations {
public:
    BenchMain() { boards_.SetIds(0, 1); }
    // Another prompt for the questions, or nullptr for the agreeing one.
    void Use(Prompt *prompt) { prompt_ = prompt ? prompt : &agreeing_; }

    bool EnsureSleep() override { return boards_.EnsureSleep({}); }
    bool ReleaseSleep() override { return boards_.ReleaseSleep() == 0; }
    bool EnterSleep() override { return boards_.EnterSleep() == 0; }
    int BoardId(int group) const override { return boards_.Id(group); }
    void SetBoardId(int, int) override {}
    Prompt &UserPrompt() override { return *prompt_; }

    void SetChannel(int, int, orvane::ChannelSource) override {}
    void SetValueCode(int, int) override {}
    void ShowChannelValue(int) override {}
    bool SendBoardPositions(int, int) override { return true; }
    bool ReadBoardPositions() override { return true; }
    void ShowLinkStatus(orvane::FailureMask) override {}
    void ShowBoardMode(int) override {}
    void ReturnToHome() override {}
    void AddCurrentPosition() override {}
    void AddPositions(const QList<QStringList> &) override {}
    void OverwriteSelectedPositions() override {}
    bool SyncMode() const override { return false; }
    int Speed() const override { return 0; }
    void SetSpeed(int) override {}
    int ValueCode(int) const override { return 90; }
    QString ValueText(int) const override { return QStringLiteral("90"); }
    int HomeValue(int) const override { return 90; }
    void SetHomeValue(int, int) override {}
    QString ProgramFolder() const override { return {}; }
    QString ChannelName(int channel) const override { return QStringLiteral("CH%1").arg(channel); }
    uint32_t PanelColor(int) const override { return 0x8000000F; }
    uint32_t NameColor(int) const override { return 0; }
    bool PanelVisible(int) const override { return true; }
    bool Hold() const override { return false; }
    void SetChannelLook(int, const QString &, uint32_t, uint32_t, bool) override {}
    void SetHold(bool) override {}
    void AddChannelLookListener(ChannelLookListener *) override {}

private:
    orvane::BoardOperations boards_{MainRetryCount};
    AgreeingPrompt agreeing_;
    Prompt *prompt_ = &agreeing_;
};
