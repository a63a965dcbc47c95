#include "sim/hand_script.h"

#include "sim/faults.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace orvane::sim {

namespace {

constexpr unsigned kLongestScriptMs = 3600000;

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t' || line[pos] == '\r'))
            ++pos;
        const std::size_t start = pos;
        while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t' && line[pos] != '\r')
            ++pos;
        if (pos > start)
            fields.push_back(line.substr(start, pos - start));
    }
    return fields;
}

}  // namespace

std::optional<HandScript> HandScript::Parse(std::string_view text, std::string &error)
{
    HandScript script;
    int lineNo = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        if (const auto hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        const auto fields = Fields(line);
        if (fields.empty())
            continue;
        auto fail = [&](const std::string &why) {
            error = "line " + std::to_string(lineNo) + ": " + why;
            return std::nullopt;
        };
        if (fields.size() != 3)
            return fail("expected TIME_MS CHANNEL VALUE");
        const auto ms = ParseNumber(fields[0]);
        const auto channel = ParseNumber(fields[1]);
        const auto value = ParseNumber(fields[2]);
        if (!ms || *ms > kLongestScriptMs)
            return fail("time '" + std::string(fields[0]) + "' is not 0 to 3600000 ms");
        if (!channel || *channel < 1 || *channel > kChannelCount)
            return fail("channel '" + std::string(fields[1]) + "' is not 1 to 24");
        if (!value || *value > kPositionMax)
            return fail("value '" + std::string(fields[2]) + "' is not 0 to 180");
        script.Add(*ms, int(*channel), int(*value));
    }
    return script;
}

std::optional<HandScript> HandScript::Load(const std::string &path, std::string &error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return std::nullopt;
    }
    std::stringstream text;
    text << in.rdbuf();
    auto script = Parse(text.str(), error);
    if (!script)
        error = path + ": " + error;
    return script;
}

void HandScript::Add(std::int64_t ms, int channel, int value)
{
    if (channel < 1 || channel > kChannelCount)
        return;
    auto &keys = keys_[std::size_t(channel - 1)];
    // After every key of the same time, so the later one is where the step lands.
    const auto at =
        std::upper_bound(keys.begin(), keys.end(), ms, [](std::int64_t t, const Key &k) { return t < k.ms; });
    keys.insert(at, Key{ms, value});
}

bool HandScript::Empty() const
{
    return std::all_of(keys_.begin(), keys_.end(), [](const auto &k) { return k.empty(); });
}

bool HandScript::Moves(int channel) const
{
    return channel >= 1 && channel <= kChannelCount && !keys_[std::size_t(channel - 1)].empty();
}

std::int64_t HandScript::EndMs() const
{
    std::int64_t end = 0;
    for (const auto &keys : keys_)
        if (!keys.empty())
            end = std::max(end, keys.back().ms);
    return end;
}

int HandScript::At(int channel, std::int64_t ms) const
{
    if (!Moves(channel))
        return 0;
    const auto &keys = keys_[std::size_t(channel - 1)];
    const auto next =
        std::upper_bound(keys.begin(), keys.end(), ms, [](std::int64_t t, const Key &k) { return t < k.ms; });
    if (next == keys.begin())
        return keys.front().value;
    const Key &before = *(next - 1);
    if (next == keys.end())
        return before.value;
    const double f = double(ms - before.ms) / double(next->ms - before.ms);
    return int(std::lround(before.value + f * (next->value - before.value)));
}

}  // namespace orvane::sim
