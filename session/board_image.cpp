#include "session/board_image.h"

#include "protocol/commands.h"
#include "protocol/transaction.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace orvane {

namespace {

const QString kFormat = QStringLiteral("orvane-board-image");

template <size_t N>
QJsonArray Bytes(const std::array<std::uint8_t, N> &bytes)
{
    QJsonArray out;
    for (std::uint8_t b : bytes)
        out.append(int(b));
    return out;
}

// Refusals are thrown and caught once at the top: the first fault names the place.
struct Refusal {
    QString why;
};

[[noreturn]] void Refuse(const QString &where, const QString &what)
{
    throw Refusal{where + QStringLiteral(": ") + what};
}

void ExpectKeys(const QJsonObject &object, const QStringList &keys, const QString &where)
{
    for (const QString &key : object.keys())
        if (!keys.contains(key))
            Refuse(where, QStringLiteral("unknown field \"%1\"").arg(key));
    for (const QString &key : keys)
        if (!object.contains(key))
            Refuse(where, QStringLiteral("field \"%1\" missing").arg(key));
}

int Integer(const QJsonValue &value, int low, int high, const QString &where)
{
    const double d = value.toDouble(-1);
    if (!value.isDouble() || d != std::floor(d) || d < low || d > high)
        Refuse(where, QStringLiteral("not a whole number from %1 to %2").arg(low).arg(high));
    return int(d);
}

QJsonArray Array(const QJsonValue &value, qsizetype minSize, qsizetype maxSize, const QString &where)
{
    if (!value.isArray())
        Refuse(where, QStringLiteral("not a list"));
    const QJsonArray array = value.toArray();
    if (array.size() < minSize || array.size() > maxSize)
        Refuse(where, minSize == maxSize ? QStringLiteral("not %1 entries").arg(minSize)
                                         : QStringLiteral("not %1 to %2 entries").arg(minSize).arg(maxSize));
    return array;
}

template <size_t N>
std::array<std::uint8_t, N> ByteArray(const QJsonValue &value, const QString &where)
{
    const QJsonArray array = Array(value, qsizetype(N), qsizetype(N), where);
    std::array<std::uint8_t, N> out{};
    for (size_t i = 0; i < N; ++i)
        out[i] = std::uint8_t(Integer(array[qsizetype(i)], 0, 255, where));
    return out;
}

ImageBoard BoardFromJson(const QJsonValue &value, const QString &where)
{
    if (!value.isObject())
        Refuse(where, QStringLiteral("not an object"));
    const QJsonObject object = value.toObject();
    ExpectKeys(object, {"id", "home", "trims", "motions", "scenarios", "assignments"}, where);
    ImageBoard board;
    board.id = std::uint8_t(Integer(object["id"], 0, 254, where + QStringLiteral(" id")));
    board.home = ByteArray<kChannelsPerBoard>(object["home"], where + QStringLiteral(" home"));
    board.trims = ByteArray<kChannelsPerBoard>(object["trims"], where + QStringLiteral(" trims"));
    const QJsonArray motions = Array(object["motions"], kMotionSlotCount, kMotionSlotCount, where + " motions");
    for (int slot = 0; slot < kMotionSlotCount; ++slot) {
        const QString at = where + QStringLiteral(" motion %1").arg(slot);
        for (const QJsonValue &row : Array(motions[slot], 0, kMotionRowsPerSlot, at)) {
            const auto bytes = ByteArray<kChannelsPerBoard + 1>(row, at + QStringLiteral(" row"));
            ImageMotionRow made;
            made.speed = bytes[0];
            std::copy(bytes.begin() + 1, bytes.end(), made.values.begin());
            board.motions[size_t(slot)].push_back(made);
        }
    }
    const QJsonArray scenarios =
        Array(object["scenarios"], kScenarioSlotCount, kScenarioSlotCount, where + " scenarios");
    for (int slot = 0; slot < kScenarioSlotCount; ++slot) {
        const QString at = where + QStringLiteral(" scenario %1").arg(slot);
        for (const QJsonValue &item : Array(scenarios[slot], 0, kScenarioItemsPerSlot, at))
            board.scenarios[size_t(slot)].push_back(std::uint8_t(Integer(item, 0, 255, at)));
    }
    const QJsonArray assignments =
        Array(object["assignments"], kAssignmentEntryCount, kAssignmentEntryCount, where + " assignments");
    for (int entry = 0; entry < kAssignmentEntryCount; ++entry) {
        const auto pair = ByteArray<2>(assignments[entry], where + QStringLiteral(" assignment %1").arg(entry));
        board.assignments[size_t(entry)] = {pair[0], pair[1]};
    }
    return board;
}

// What a command writes or reads, put into words only when it failed: a whole board is ten thousand
// commands.
struct What {
    What(const char *format, int a = -1, int b = -1) : format(format), a(a), b(b) {}
    QString Text() const
    {
        QString text = QString::fromLatin1(format);
        return b >= 0 ? text.arg(a).arg(b) : a >= 0 ? text.arg(a) : text;
    }
    const char *format;
    int a, b;
};

// Runs the board commands of one read or write in turn, counting them, and keeps what failed.
class Steps {
public:
    Steps(int total, const ImageProgress &progress) : total_(total), progress_(progress) {}
    template <typename F>
    bool Run(const What &what, F &&command)
    {
        int retry = RetryCount;
        if (!command(retry)) {
            failed_ = what.Text();
            return false;
        }
        ++done_;
        if (progress_)
            progress_(done_, total_);
        return true;
    }
    int Done() const { return done_; }
    void SetTotal(int total) { total_ = total; }
    const QString &Failed() const { return failed_; }

private:
    int total_;
    int done_ = 0;
    const ImageProgress &progress_;
    QString failed_;
};

// One count over several runs of commands, each of which reports its own done of total.
class Parts {
public:
    Parts(const std::vector<int> &totals, const ImageProgress &progress) : progress_(progress)
    {
        for (int total : totals)
            parts_.push_back({0, total});
    }
    ImageProgress Part(size_t index)
    {
        return [this, index](int done, int total) {
            parts_[index] = {done, total};
            if (!progress_)
                return;
            int allDone = 0;
            int allTotal = 0;
            for (const auto &[d, t] : parts_) {
                allDone += d;
                allTotal += t;
            }
            progress_(allDone, allTotal);
        };
    }

private:
    std::vector<std::pair<int, int>> parts_;
    const ImageProgress &progress_;
};

constexpr int kFullBoardReadCommands = 2 + kMotionSlotCount * (1 + kMotionRowsPerSlot)
                                       + kScenarioSlotCount * (1 + kScenarioItemsPerSlot) + kAssignmentEntryCount;

// The pose, default mode so that the servos take it, the pose stored as home, and the stored home read back.
constexpr int kHomeCommands = 4;

bool WriteHome(const ImageBoard &board, const ImageProgress &progress, RestoreOutcome &out)
{
    const std::uint8_t id = board.id;
    Steps steps(kHomeCommands, progress);
    QByteArray reply;
    const bool sent =
        steps.Run("the home pose", [&](int &r) { return SendPositions(r, id, 0, board.home); })
        && steps.Run("the default mode", [&](int &r) { return SetMode(r, id, 0); })
        && steps.Run("the home position", [&](int &r) { return SetHomePosition(r, id); })
        && steps.Run("the home position read back", [&](int &r) { return GetHomePosition(r, id, reply); });
    if (!sent) {
        out.error = QStringLiteral("board %1: no valid answer sending %2; the rest of the image was written and "
                                   "checked before it")
                        .arg(id)
                        .arg(steps.Failed());
        return false;
    }
    if (!std::equal(board.home.begin(), board.home.end(), reply.constData() + 1))
        out.differences << QStringLiteral("board %1: home position").arg(id);
    return true;
}

}  // namespace

QByteArray BoardImageToJson(const BoardImage &image)
{
    QJsonArray boards;
    for (const ImageBoard &board : image.boards) {
        QJsonArray motions;
        for (const auto &slot : board.motions) {
            QJsonArray rows;
            for (const ImageMotionRow &row : slot) {
                QJsonArray bytes = Bytes(row.values);
                bytes.prepend(int(row.speed));
                rows.append(bytes);
            }
            motions.append(rows);
        }
        QJsonArray scenarios;
        for (const auto &slot : board.scenarios) {
            QJsonArray items;
            for (std::uint8_t item : slot)
                items.append(int(item));
            scenarios.append(items);
        }
        QJsonArray assignments;
        for (const ImageAssignment &a : board.assignments)
            assignments.append(QJsonArray{int(a.pattern), int(a.target)});
        boards.append(QJsonObject{{"id", int(board.id)},
                                  {"home", Bytes(board.home)},
                                  {"trims", Bytes(board.trims)},
                                  {"motions", motions},
                                  {"scenarios", scenarios},
                                  {"assignments", assignments}});
    }
    const QJsonObject root{{"format", kFormat}, {"version", kImageVersion}, {"boards", boards}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<BoardImage> BoardImageFromJson(const QByteArray &json, QString *error)
{
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parse);
    try {
        if (parse.error != QJsonParseError::NoError)
            Refuse(QStringLiteral("offset %1").arg(parse.offset), parse.errorString());
        if (!document.isObject())
            Refuse(QStringLiteral("image"), QStringLiteral("not an object"));
        const QJsonObject root = document.object();
        ExpectKeys(root, {"format", "version", "boards"}, QStringLiteral("image"));
        if (root["format"].toString() != kFormat)
            Refuse(QStringLiteral("image"), QStringLiteral("not a board image"));
        if (root["version"] != QJsonValue(kImageVersion))
            Refuse(QStringLiteral("image"),
                   QStringLiteral("version %1 is not understood").arg(root["version"].toVariant().toString()));
        BoardImage image;
        const QJsonArray boards = Array(root["boards"], 1, 2, QStringLiteral("boards"));
        for (qsizetype b = 0; b < boards.size(); ++b)
            image.boards.push_back(BoardFromJson(boards[b], QStringLiteral("board %1").arg(b + 1)));
        if (image.boards.size() == 2 && image.boards[0].id == image.boards[1].id)
            Refuse(QStringLiteral("boards"), QStringLiteral("the same ID twice"));
        return image;
    } catch (const Refusal &refusal) {
        if (error)
            *error = refusal.why;
        return std::nullopt;
    }
}

int BoardReadCommands(const ImageBoard &board)
{
    int n = 2 + kMotionSlotCount + kScenarioSlotCount + kAssignmentEntryCount;  // home, trims, lengths, entries
    for (const auto &slot : board.motions)
        n += int(slot.size());
    for (const auto &slot : board.scenarios)
        n += int(slot.size());
    return n;
}

int BoardWriteCommands(const ImageBoard &board)
{
    // Sleep, trims, rows, items, entries, lengths.
    return BoardReadCommands(board);
}

std::optional<ImageBoard> ReadBoardImage(std::uint8_t id, const ImageProgress &progress, QString *error)
{
    ImageBoard board;
    board.id = id;
    std::array<int, kMotionSlotCount> motionLengths{};
    std::array<int, kScenarioSlotCount> scenarioLengths{};
    // The total is known once the lengths are: count them as a full board until then.
    Steps steps(kFullBoardReadCommands, progress);
    const auto fail = [&] {
        if (error)
            *error = QStringLiteral("board %1: no valid answer reading %2").arg(id).arg(steps.Failed());
        return std::nullopt;
    };
    QByteArray reply;
    if (!steps.Run("the home position", [&](int &r) { return GetHomePosition(r, id, reply); }))
        return fail();
    std::copy_n(reply.constData() + 1, kChannelsPerBoard, board.home.begin());
    if (!steps.Run("the trims", [&](int &r) { return ReadTrim(r, id, reply); }))
        return fail();
    std::copy_n(reply.constData() + 1, kChannelsPerBoard, board.trims.begin());
    for (int slot = 0; slot < kMotionSlotCount; ++slot) {
        if (!steps.Run({"the length of motion %1", slot},
                       [&](int &r) { return GetMotionLength(r, id, std::uint8_t(slot), motionLengths[size_t(slot)]); }))
            return fail();
    }
    for (int slot = 0; slot < kScenarioSlotCount; ++slot) {
        if (!steps.Run({"the length of scenario %1", slot}, [&](int &r) {
                return GetScenarioLength(r, id, std::uint8_t(slot), scenarioLengths[size_t(slot)]);
            }))
            return fail();
    }
    int total = 2 + kMotionSlotCount + kScenarioSlotCount + kAssignmentEntryCount;
    for (int n : motionLengths)
        total += std::clamp(n, 0, kMotionRowsPerSlot);
    for (int n : scenarioLengths)
        total += std::clamp(n, 0, kScenarioItemsPerSlot);
    steps.SetTotal(total);
    for (int slot = 0; slot < kMotionSlotCount; ++slot) {
        const int length = std::clamp(motionLengths[size_t(slot)], 0, kMotionRowsPerSlot);
        for (int row = 0; row < length; ++row) {
            if (!steps.Run({"motion %1 row %2", slot, row},
                           [&](int &r) { return ReadMotionRow(r, id, std::uint8_t(slot), std::uint8_t(row), reply); }))
                return fail();
            ImageMotionRow made;
            made.speed = std::uint8_t(reply[1]);
            std::copy_n(reply.constData() + 2, kChannelsPerBoard, made.values.begin());
            board.motions[size_t(slot)].push_back(made);
        }
    }
    for (int slot = 0; slot < kScenarioSlotCount; ++slot) {
        const int length = std::clamp(scenarioLengths[size_t(slot)], 0, kScenarioItemsPerSlot);
        for (int item = 0; item < length; ++item) {
            int motion = 0;
            if (!steps.Run({"scenario %1 item %2", slot, item}, [&](int &r) {
                    return ReadScenarioItem(r, id, std::uint8_t(slot), std::uint8_t(item), motion);
                }))
                return fail();
            board.scenarios[size_t(slot)].push_back(std::uint8_t(motion));
        }
    }
    for (int entry = 0; entry < kAssignmentEntryCount; ++entry) {
        int pattern = 0;
        int target = 0;
        if (!steps.Run({"assignment %1", entry},
                       [&](int &r) { return ReadAssignment(r, id, std::uint8_t(entry), pattern, target); }))
            return fail();
        board.assignments[size_t(entry)] = {std::uint8_t(pattern), std::uint8_t(target)};
    }
    return board;
}

bool WriteBoardImage(const ImageBoard &board, const ImageProgress &progress, QString *error)
{
    const std::uint8_t id = board.id;
    Steps steps(BoardWriteCommands(board), progress);
    QString written = QStringLiteral("nothing");
    const auto fail = [&] {
        if (error)
            *error = QStringLiteral("board %1: no valid answer writing %2; written before it: %3")
                         .arg(id)
                         .arg(steps.Failed(), written);
        return false;
    };
    if (!steps.Run("the sleep mode", [&](int &r) { return SetMode(r, id, 1); }))
        return fail();
    if (!steps.Run("the trims", [&](int &r) { return WriteTrim(r, id, board.trims); }))
        return fail();
    written = QStringLiteral("the trims");
    for (int slot = 0; slot < kMotionSlotCount; ++slot) {
        const auto &rows = board.motions[size_t(slot)];
        for (int row = 0; row < int(rows.size()); ++row) {
            const ImageMotionRow &r = rows[size_t(row)];
            if (!steps.Run({"motion %1 row %2", slot, row}, [&](int &retry) {
                    return WriteMotionRow(retry, id, std::uint8_t(slot), std::uint8_t(row), r.speed, r.values);
                }))
                return fail();
        }
        written = QStringLiteral("the trims, the rows of motions 0 to %1").arg(slot);
    }
    for (int slot = 0; slot < kScenarioSlotCount; ++slot) {
        const auto &items = board.scenarios[size_t(slot)];
        for (int item = 0; item < int(items.size()); ++item) {
            if (!steps.Run({"scenario %1 item %2", slot, item}, [&](int &retry) {
                    return WriteScenarioItem(retry, id, std::uint8_t(slot), std::uint8_t(item), items[size_t(item)]);
                }))
                return fail();
        }
        written = QStringLiteral("the trims, every motion row, the items of scenarios 0 to %1").arg(slot);
    }
    for (int entry = 0; entry < kAssignmentEntryCount; ++entry) {
        const ImageAssignment &a = board.assignments[size_t(entry)];
        if (!steps.Run({"assignment %1", entry}, [&](int &retry) {
                return WriteAssignment(retry, id, std::uint8_t(entry), a.pattern, a.target);
            }))
            return fail();
    }
    written = QStringLiteral("the trims, every motion row, scenario item and assignment");
    for (int slot = 0; slot < kMotionSlotCount; ++slot) {
        const int length = int(board.motions[size_t(slot)].size());
        if (!steps.Run({"the length of motion %1", slot}, [&](int &retry) {
                return SetMotionLength(retry, id, std::uint8_t(slot), std::uint8_t(length));
            }))
            return fail();
    }
    for (int slot = 0; slot < kScenarioSlotCount; ++slot) {
        const int length = int(board.scenarios[size_t(slot)].size());
        if (!steps.Run({"the length of scenario %1", slot}, [&](int &retry) {
                return SetScenarioLength(retry, id, std::uint8_t(slot), std::uint8_t(length));
            }))
            return fail();
    }
    return true;
}

QStringList CompareBoardImages(const ImageBoard &wanted, const ImageBoard &found, bool withHome)
{
    QStringList out;
    const QString board = QStringLiteral("board %1: ").arg(wanted.id);
    if (withHome && wanted.home != found.home)
        out << board + QStringLiteral("home position");
    if (wanted.trims != found.trims)
        out << board + QStringLiteral("trims");
    for (int slot = 0; slot < kMotionSlotCount; ++slot) {
        const auto &a = wanted.motions[size_t(slot)];
        const auto &b = found.motions[size_t(slot)];
        if (a.size() != b.size())
            out << board + QStringLiteral("motion %1 length %2, found %3").arg(slot).arg(a.size()).arg(b.size());
        for (size_t row = 0; row < std::min(a.size(), b.size()); ++row)
            if (a[row] != b[row])
                out << board + QStringLiteral("motion %1 row %2").arg(slot).arg(row);
    }
    for (int slot = 0; slot < kScenarioSlotCount; ++slot) {
        const auto &a = wanted.scenarios[size_t(slot)];
        const auto &b = found.scenarios[size_t(slot)];
        if (a.size() != b.size())
            out << board + QStringLiteral("scenario %1 length %2, found %3").arg(slot).arg(a.size()).arg(b.size());
        for (size_t item = 0; item < std::min(a.size(), b.size()); ++item)
            if (a[item] != b[item])
                out << board + QStringLiteral("scenario %1 item %2").arg(slot).arg(item);
    }
    for (int entry = 0; entry < kAssignmentEntryCount; ++entry)
        if (wanted.assignments[size_t(entry)] != found.assignments[size_t(entry)])
            out << board + QStringLiteral("assignment %1").arg(entry);
    return out;
}

std::optional<BoardImage> BackupBoards(const std::vector<std::uint8_t> &ids, const ImageProgress &progress,
                                       QString *error)
{
    // A board's count is known once its lengths are read: until then it counts as a full one.
    Parts parts(std::vector<int>(ids.size(), kFullBoardReadCommands), progress);
    BoardImage image;
    for (size_t i = 0; i < ids.size(); ++i) {
        std::optional<ImageBoard> board = ReadBoardImage(ids[i], parts.Part(i), error);
        if (!board)
            return std::nullopt;
        image.boards.push_back(std::move(*board));
    }
    return image;
}

int RestoreCommands(const BoardImage &image, bool withHome)
{
    int total = 0;
    for (const ImageBoard &board : image.boards)
        total += BoardWriteCommands(board) + BoardReadCommands(board) + (withHome ? kHomeCommands : 0);
    return total;
}

RestoreOutcome RestoreBoards(const BoardImage &image, bool withHome, const ImageProgress &progress)
{
    std::vector<int> totals;
    for (const ImageBoard &board : image.boards)
        totals.push_back(BoardWriteCommands(board));
    for (const ImageBoard &board : image.boards)
        totals.push_back(BoardReadCommands(board));
    if (withHome)
        totals.insert(totals.end(), image.boards.size(), kHomeCommands);
    Parts parts(totals, progress);
    size_t part = 0;

    RestoreOutcome out;
    for (const ImageBoard &board : image.boards)
        if (!WriteBoardImage(board, parts.Part(part++), &out.error))
            return out;
    // Read back while the boards still sleep: the home pose wakes them.
    for (const ImageBoard &board : image.boards) {
        QString error;
        const std::optional<ImageBoard> found = ReadBoardImage(board.id, parts.Part(part++), &error);
        if (!found) {
            out.error = error + QStringLiteral("; the whole image was written, only its check did not finish");
            return out;
        }
        out.differences += CompareBoardImages(board, *found, false);
    }
    if (withHome)
        for (const ImageBoard &board : image.boards)
            if (!WriteHome(board, parts.Part(part++), out))
                return out;
    out.completed = true;
    return out;
}

}  // namespace orvane
