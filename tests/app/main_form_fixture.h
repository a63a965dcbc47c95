#pragma once
// Main window fixtures: a temporary program folder with an ORV.ini, a scripted prompt, and for the line
// tests two virtual boards (IDs 0 and 1) behind one port that stays open for the whole suite.

#include "app/main_form.h"
#include "modal_wait.h"
#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "scripted_prompt.h"
#include "sim/virtual_boards.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using orvane::sim::Bytes;

inline Bytes WithSum(Bytes frame)
{
    unsigned sum = 0;
    for (uint8_t v : frame)
        sum += v;
    frame.push_back(uint8_t(sum & 0x7F));
    return frame;
}

inline void SendMouse(QWidget *target, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), button, buttons, modifiers);
    QApplication::sendEvent(target, &event);
}

class MainFormTest : public ::testing::Test {
protected:
    QString IniPath() const { return QDir(dir.path()).filePath(QStringLiteral("ORV.ini")); }

    QByteArray IniBytes() const
    {
        QFile f(IniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    void WriteIni(const QByteArray &bytes) const
    {
        QFile f(IniPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    // A window created on an ORV.ini whose [Orvane] section holds `keys` (one "key=value" a line);
    // a null `keys` means no ORV.ini at all.
    std::unique_ptr<TMainForm> Open(const QString &keys)
    {
        if (keys.isNull())
            QFile::remove(IniPath());
        else
            WriteIni("[Orvane]\r\n" + keys.toUtf8().replace("\n", "\r\n"));
        prompt.boxes.clear();
        prompt.answers.clear();
        auto form = std::make_unique<TMainForm>(dir.path(), prompt);
        prompt.dialogs.clear();
        return form;
    }

    QTemporaryDir dir;
    ScriptedPrompt prompt;
};

// Virtual boards on port `Port` for a whole suite; each test finds the port open.
template <int Port>
class MainFormBoards : public MainFormTest {
protected:
    static void OpenBoards(const orvane::sim::Options &options)
    {
        boards = new orvane::sim::VirtualBoards(options);
        SetDevicePath(Port, QString::fromStdString(boards->SlavePath()));
    }
    static void TearDownTestSuite()
    {
        ReleasePort();
        delete boards;
        boards = nullptr;
    }
    void SetUp() override
    {
        CreateSerialPort(nullptr);
        if (!SerialPort->IsOpen()) {
            SetupPort(Port, 115200);
            SerialPort->Open();
        }
        ASSERT_TRUE(SerialPort->IsOpen());
    }

    static inline orvane::sim::VirtualBoards *boards = nullptr;
};

class MainFormOnBoards : public MainFormBoards<903> {
protected:
    static void SetUpTestSuite()
    {
        orvane::sim::Options options;
        options.ids = {0, 1};
        OpenBoards(options);
    }
    void SetUp() override
    {
        MainFormBoards::SetUp();
        if (HasFatalFailure())
            return;
        boards->ClearFaults();
        for (uint8_t id : {0, 1})
            boards->SetBoard(id, orvane::sim::BoardMemory(id));
        boards->ClearFrames();
    }
    std::unique_ptr<TMainForm> Open(const QString &keys)
    {
        auto form = MainFormTest::Open(keys);
        boards->ClearFrames();
        return form;
    }
};
