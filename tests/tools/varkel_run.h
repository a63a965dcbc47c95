#pragma once
// Runs the varkel program and keeps what it said; VarkelOnBoards runs it against two virtual boards
// (IDs 0 and 1) that live for the whole suite.

#include "built_program.h"
#include "sim/virtual_boards.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

struct VarkelOutcome {
    int exitCode;  // -1: it did not end normally
    QString out;
    QString err;
};

inline VarkelOutcome RunVarkel(const QStringList &args, int timeoutMs = 10000)
{
    QProcess process;
    process.start(QString::fromStdString(BuiltProgram(VARKEL_PATH)), args);
    process.waitForFinished(timeoutMs);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

class VarkelOnBoards : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        orvane::sim::Options options;
        options.ids = {0, 1};
        boards = new orvane::sim::VirtualBoards(options);
    }
    static void TearDownTestSuite()
    {
        delete boards;
        boards = nullptr;
    }
    // varkel --port <the boards> args
    static VarkelOutcome On(const QStringList &args, int timeoutMs = 10000)
    {
        return RunVarkel(QStringList{"--port", QString::fromStdString(boards->SlavePath())} + args, timeoutMs);
    }
    static inline orvane::sim::VirtualBoards *boards = nullptr;
};
