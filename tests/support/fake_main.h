#pragma once
// Main windows for tests. FakeMain keeps the state other windows read and records every operation called;
// its sleep operations send nothing. Board positions really go out, so tests can assert the frames;
// BoardFakeMain also sends its sleep operations. Both go through the program's own BoardOperations.

#include "protocol/commands.h"
#include "protocol/transaction.h"
#include "scripted_prompt.h"
#include "session/board_operations.h"
#include "session/main_operations.h"
#include "sleep_on_boards.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

class FakeMain : public MainOperations {
public:
    static constexpr uint32_t kButtonFace = 0x8000000F;

    FakeMain()
    {
        for (int n = 1; n <= 24; ++n) {
            value[n] = 90;
            text[n] = QStringLiteral("90");
            home[n] = 90;
            name[n] = QStringLiteral("CH%1").arg(n);
            panelColor[n] = kButtonFace;
            nameColor[n] = 0;
            visible[n] = true;
        }
    }

    void SetChannel(int channel, int v, orvane::ChannelSource source) override
    {
        calls << QStringLiteral("SetChannel(%1,%2,%3)").arg(channel).arg(v).arg(int(source));
        text[channel] = QString::number(v);
        if (source != orvane::ChannelSource::Teaching)
            value[channel] = v;
    }
    void SetValueCode(int channel, int v) override
    {
        calls << QStringLiteral("SetValueCode(%1,%2)").arg(channel).arg(v);
        value[channel] = v;
    }
    void ShowChannelValue(int channel) override { calls << QStringLiteral("ShowChannelValue(%1)").arg(channel); }
    bool SendBoardPositions(int group, int speed) override
    {
        calls << QStringLiteral("SendBoardPositions(%1,%2)").arg(group).arg(speed);
        return Boards().SendPositions(group, speed, value);
    }
    bool ReadBoardPositions() override { return Record("ReadBoardPositions"); }
    void ShowLinkStatus(orvane::FailureMask failureMask) override
    {
        calls << QStringLiteral("ShowLinkStatus(%1)").arg(failureMask);
        linkStatus = failureMask;
    }
    void ShowBoardMode(int modeByte) override { calls << QStringLiteral("ShowBoardMode(%1)").arg(modeByte); }
    bool EnterSleep() override { return Record("EnterSleep"); }
    bool ReleaseSleep() override { return Record("ReleaseSleep"); }
    bool EnsureSleep() override { return Record("EnsureSleep"); }
    void ReturnToHome() override { Record("ReturnToHome"); }
    void AddCurrentPosition() override { Record("AddCurrentPosition"); }
    void AddPositions(const QList<QStringList> &rows) override
    {
        calls << QStringLiteral("AddPositions(%1)").arg(rows.size());
        added.append(rows);
    }
    void OverwriteSelectedPositions() override { Record("OverwriteSelectedPositions"); }

    int BoardId(int group) const override { return ids[group]; }
    void SetBoardId(int group, int id) override
    {
        calls << QStringLiteral("SetBoardId(%1,%2)").arg(group).arg(id);
        ids[group] = id;
    }
    bool SyncMode() const override { return sync; }
    int Speed() const override { return speed; }
    void SetSpeed(int s) override
    {
        calls << QStringLiteral("SetSpeed(%1)").arg(s);
        speed = s;
    }
    int ValueCode(int channel) const override { return value[channel]; }
    QString ValueText(int channel) const override { return text[channel]; }
    int HomeValue(int channel) const override { return home[channel]; }
    void SetHomeValue(int channel, int v) override
    {
        calls << QStringLiteral("SetHomeValue(%1,%2)").arg(channel).arg(v);
        home[channel] = v;
    }
    QString ProgramFolder() const override { return folder; }
    Prompt &UserPrompt() override { return *prompt; }

    QString ChannelName(int channel) const override { return name[channel]; }
    uint32_t PanelColor(int channel) const override { return panelColor[channel]; }
    uint32_t NameColor(int channel) const override { return nameColor[channel]; }
    bool PanelVisible(int channel) const override { return visible[channel]; }
    bool Hold() const override { return hold; }
    void SetChannelLook(int channel, const QString &n, uint32_t panel, uint32_t nameCol, bool shown) override
    {
        calls << QStringLiteral("SetChannelLook(%1,%2,%3,%4,%5)")
                     .arg(channel)
                     .arg(n)
                     .arg(panel, 0, 16)
                     .arg(nameCol, 0, 16)
                     .arg(shown ? 1 : 0);
        name[channel] = n;
        panelColor[channel] = panel;
        nameColor[channel] = nameCol;
        visible[channel] = shown;
    }
    void SetHold(bool on) override
    {
        calls << QStringLiteral("SetHold(%1)").arg(on ? 1 : 0);
        hold = on;
    }
    void AddChannelLookListener(ChannelLookListener *) override {}

    // Calls whose text starts with the prefix, in order.
    QStringList Calls(const QString &prefix) const
    {
        QStringList out;
        for (const QString &c : calls)
            if (c.startsWith(prefix))
                out << c;
        return out;
    }

    std::array<int, 2> ids{0, 255};
    bool sync = false;
    int speed = 7;
    std::array<int, 25> value{};
    std::array<QString, 25> text;
    std::array<int, 25> home{};
    std::array<QString, 25> name;
    std::array<uint32_t, 25> panelColor{};
    std::array<uint32_t, 25> nameColor{};
    std::array<bool, 25> visible{};
    bool hold = true;
    int linkStatus = -1;
    QString folder;
    ScriptedPrompt ownPrompt;
    Prompt *prompt = &ownPrompt;
    QStringList calls;
    QList<QList<QStringList>> added;  // the rows of each AddPositions call

private:
    bool Record(const char *call)
    {
        calls << QLatin1String(call);
        return true;
    }
    // The board operations on the IDs as the test last set them.
    orvane::BoardOperations &Boards()
    {
        boards_.SetIds(ids[0], ids[1]);
        return boards_;
    }
    orvane::BoardOperations boards_{MainRetryCount};
};

// A main window whose sleep operations talk to the boards as the main window's own do.
using BoardFakeMain = SleepOnBoards<FakeMain>;
