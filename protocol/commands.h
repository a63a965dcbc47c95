#pragma once
// The twenty board commands. Each takes the attempt counter by reference (allowed in, made out),
// the board ID and its data, runs one transaction and returns whether the reply was valid.
// None of them raises.

#include <QByteArray>
#include <array>
#include <cstdint>

using ChannelValues = std::array<uint8_t, 12>;

namespace Cmd {
constexpr uint8_t SendPositions = 0xFD;
constexpr uint8_t GetPositions = 0xFC;
constexpr uint8_t SetHomePosition = 0xFB;
constexpr uint8_t GetHomePosition = 0xFA;
constexpr uint8_t WriteMotionRow = 0xF9;
constexpr uint8_t ReadMotionRow = 0xF8;
constexpr uint8_t SetMotionLength = 0xF7;
constexpr uint8_t GetMotionLength = 0xF6;
constexpr uint8_t WriteScenarioItem = 0xF5;
constexpr uint8_t ReadScenarioItem = 0xF4;
constexpr uint8_t SetScenarioLength = 0xF3;
constexpr uint8_t GetScenarioLength = 0xF2;
constexpr uint8_t SetMode = 0xF1;
constexpr uint8_t GetMode = 0xF0;
constexpr uint8_t PlayMotion = 0xEF;
constexpr uint8_t PlayScenario = 0xEE;
constexpr uint8_t WriteAssignment = 0xED;
constexpr uint8_t ReadAssignment = 0xEC;
constexpr uint8_t WriteTrim = 0xE9;
constexpr uint8_t ReadTrim = 0xE8;
}  // namespace Cmd

// The command's name as the protocol calls it ("GetMode"); null for a byte that is no command.
const char *CommandName(uint8_t command);

// Live control. Replies of GetPositions/GetHomePosition: 14 bytes, values in bytes 1 to 12.
bool SendPositions(int &retry, uint8_t id, uint8_t speed, const ChannelValues &values);
bool GetPositions(int &retry, uint8_t id, QByteArray &reply);
bool SetHomePosition(int &retry, uint8_t id);
bool GetHomePosition(int &retry, uint8_t id, QByteArray &reply);
bool SetMode(int &retry, uint8_t id, uint8_t mode);
// The mode is handed out whenever 3 bytes came, even with a bad checksum.
bool GetMode(int &retry, uint8_t id, uint8_t &mode);
// Every board takes a play-motion frame addressed to this ID, and none answers it.
constexpr uint8_t kBroadcastId = 99;
// The broadcast ID only sends: the frame goes out and the result is false without waiting.
bool PlayMotion(int &retry, uint8_t id, uint8_t slot);
bool PlayScenario(int &retry, uint8_t id, uint8_t slot);

// Board memory. Reply of ReadMotionRow: 15 bytes (ID, speed, 12 values, checksum).
bool WriteMotionRow(int &retry, uint8_t id, uint8_t slot, uint8_t row, uint8_t speed, const ChannelValues &values);
bool ReadMotionRow(int &retry, uint8_t id, uint8_t slot, uint8_t row, QByteArray &reply);
bool SetMotionLength(int &retry, uint8_t id, uint8_t slot, uint8_t rows);
// The counts and the motion slot below are handed out whenever 3 bytes came.
bool GetMotionLength(int &retry, uint8_t id, uint8_t slot, int &rows);
bool WriteScenarioItem(int &retry, uint8_t id, uint8_t slot, uint8_t item, uint8_t motion);
bool ReadScenarioItem(int &retry, uint8_t id, uint8_t slot, uint8_t item, int &motion);
bool SetScenarioLength(int &retry, uint8_t id, uint8_t slot, uint8_t count);
bool GetScenarioLength(int &retry, uint8_t id, uint8_t slot, int &count);
bool WriteAssignment(int &retry, uint8_t id, uint8_t entry, uint8_t pattern, uint8_t target);
bool ReadAssignment(int &retry, uint8_t id, uint8_t entry, int &pattern, int &target);
// Trims go out even to ID 255 (the command then fails).
bool WriteTrim(int &retry, uint8_t id, const ChannelValues &trims);
bool ReadTrim(int &retry, uint8_t id, QByteArray &reply);

// Request frames with their checksum, as the commands send them.
QByteArray BuildFrame(uint8_t command, uint8_t id, std::initializer_list<uint8_t> data);
QByteArray BuildFrame(uint8_t command, uint8_t id, const uint8_t *data, int count);
