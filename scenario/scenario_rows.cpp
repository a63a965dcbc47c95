#include "scenario/scenario_rows.h"

#include <QHash>
#include <QHashFunctions>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace orvane {

// The distinct pairs, and an open-addressed table of their numbers for finding one by its texts. A pair is
// where its texts start and how long they are; the texts are packed into blocks that are never moved or
// freed while the pool lives, so views of them stay valid, and the pool grows without a copy.
struct ScenarioRows::Pool {
    struct Texts {
        const char16_t *at = nullptr;  // the motion, then straight after it the name
        quint32 motionSize = 0;
        quint32 nameSize = 0;
    };
    // A pair's number beside its hash: a search walks neighbouring places and looks at a pair's texts only
    // when the hash matches, and the table grows without hashing any text again.
    struct Place {
        Pair pair = kNoPair;
        quint32 hash = 0;
    };
    // Characters per block; a text longer than a quarter of it gets a block of its own, so that little of
    // a block is left unused.
    static constexpr size_t kBlock = 64 * 1024;

    std::deque<Texts> pairs;  // a deque, so growing never copies what is held
    std::vector<std::unique_ptr<char16_t[]>> blocks;
    char16_t *free = nullptr;
    size_t freeLeft = 0;
    std::vector<Place> table;  // a power of two long
    // Seeded per process: a file made to collide costs no more than any other.
    size_t seed = QHashSeed::globalSeed();

    QStringView Motion(Pair pair) const
    {
        const Texts &t = pairs[pair];
        return QStringView(t.at, qsizetype(t.motionSize));
    }
    QStringView Name(Pair pair) const
    {
        const Texts &t = pairs[pair];
        return QStringView(t.at + t.motionSize, qsizetype(t.nameSize));
    }

    quint32 HashOf(QStringView motion, QStringView name) const
    {
        const size_t h = qHash(motion, seed);
        const size_t mixed = h ^ (qHash(name, seed) + size_t(0x9e3779b97f4a7c15ULL) + (h << 6) + (h >> 2));
        return quint32(mixed ^ (quint64(mixed) >> 32));
    }

    Pair Find(QStringView motion, QStringView name, quint32 hash) const
    {
        if (table.empty())
            return kNoPair;
        const size_t mask = table.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            const Place &place = table[at];
            if (place.pair == kNoPair)
                return kNoPair;
            if (place.hash == hash && Motion(place.pair) == motion && Name(place.pair) == name)
                return place.pair;
        }
    }

    void Put(Place place)
    {
        const size_t mask = table.size() - 1;
        size_t at = place.hash & mask;
        while (table[at].pair != kNoPair)
            at = (at + 1) & mask;
        table[at] = place;
    }

    char16_t *Room(size_t chars)
    {
        if (chars > kBlock / 4) {
            blocks.push_back(std::make_unique<char16_t[]>(chars));
            return blocks.back().get();
        }
        if (chars > freeLeft) {
            blocks.push_back(std::make_unique<char16_t[]>(kBlock));
            free = blocks.back().get();
            freeLeft = kBlock;
        }
        char16_t *at = free;
        free += chars;
        freeLeft -= chars;
        return at;
    }

    Pair Add(QStringView motion, QStringView name, quint32 hash)
    {
        // At most seven tenths full, so that a search ends soon at a free place.
        if ((pairs.size() + 1) * 10 > table.size() * 7) {
            std::vector<Place> old(std::max<size_t>(16, table.size() * 2));
            old.swap(table);
            for (const Place &place : old)
                if (place.pair != kNoPair)
                    Put(place);
        }
        // A file holds at most 256 MB, and a name typed or read from a board far less; anything that would
        // not fit a 32-bit length is a fault upstream.
        Q_ASSERT(quint64(motion.size()) <= UINT32_MAX && quint64(name.size()) <= UINT32_MAX);
        const size_t chars = size_t(motion.size() + name.size());
        char16_t *at = chars ? Room(chars) : nullptr;
        std::copy(motion.utf16(), motion.utf16() + motion.size(), at);
        std::copy(name.utf16(), name.utf16() + name.size(), at + motion.size());
        const Pair pair = Pair(pairs.size());
        pairs.push_back({at, quint32(motion.size()), quint32(name.size())});
        Put({pair, hash});
        return pair;
    }
};

ScenarioRows::ScenarioRows() = default;

ScenarioRows::ScenarioRows(std::initializer_list<ScenarioRow> rows)
{
    index_.reserve(qsizetype(rows.size()));
    for (const ScenarioRow &row : rows)
        Append(row);
}

ScenarioRows::ScenarioRows(const QList<ScenarioRow> &rows)
{
    index_.reserve(rows.size());
    for (const ScenarioRow &row : rows)
        Append(row);
}

ScenarioRow ScenarioRows::operator[](qsizetype i) const { return {MotionAt(i).toString(), NameAt(i).toString()}; }

ScenarioRow ScenarioRows::const_iterator::operator*() const
{
    return {pool_->Motion(*at_).toString(), pool_->Name(*at_).toString()};
}

ScenarioRows::const_iterator ScenarioRows::begin() const { return {pool_.get(), index_.constData()}; }

ScenarioRows::const_iterator ScenarioRows::end() const { return {pool_.get(), index_.constData() + index_.size()}; }

ScenarioRows ScenarioRows::Mid(qsizetype at, qsizetype count) const
{
    ScenarioRows out;
    out.pool_ = pool_;
    out.index_ = at == 0 && count == size() ? index_ : index_.mid(at, count);
    return out;
}

ScenarioRows ScenarioRows::Pick(const QList<int> &rows) const
{
    ScenarioRows out = Sharing();
    out.index_.reserve(rows.size());
    for (int r : rows)
        if (r >= 0 && r < size())
            out.index_.append(index_[r]);
    return out;
}

QList<ScenarioRow> ScenarioRows::ToList() const
{
    QList<ScenarioRow> out;
    out.reserve(size());
    for (const ScenarioRow &row : *this)
        out.append(row);
    return out;
}

QList<ScenarioRows::Pair> ScenarioRows::Adopted(const ScenarioRows &rows)
{
    if (rows.pool_ == pool_ || rows.isEmpty())
        return rows.index_;
    QList<Pair> out(rows.size());
    // Few rows out of a large pool are looked up one by one; otherwise each of their pairs once.
    if (rows.size() * 4 < rows.PairCount()) {
        for (qsizetype i = 0; i < rows.size(); ++i)
            out[i] = Intern(rows.MotionAt(i), rows.NameAt(i));
        return out;
    }
    std::vector<Pair> mine(size_t(rows.PairCount()), kNoPair);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        Pair &pair = mine[rows.index_[i]];
        if (pair == kNoPair)
            pair = Intern(rows.MotionAt(i), rows.NameAt(i));
        out[i] = pair;
    }
    return out;
}

void ScenarioRows::Insert(qsizetype at, const ScenarioRows &rows)
{
    if (rows.isEmpty())
        return;
    const QList<Pair> adopted = Adopted(rows);
    index_.insert(at, adopted.size(), Pair(0));
    std::copy(adopted.begin(), adopted.end(), index_.begin() + at);
}

void ScenarioRows::Remove(qsizetype at, qsizetype count)
{
    if (count > 0)
        index_.remove(at, count);
}

void ScenarioRows::Overwrite(qsizetype at, const ScenarioRows &rows)
{
    if (rows.isEmpty())
        return;
    const QList<Pair> adopted = Adopted(rows);
    std::copy(adopted.begin(), adopted.end(), index_.begin() + at);
}

void ScenarioRows::SetRows(const QList<int> &rows, const ScenarioRows &values)
{
    const QList<Pair> adopted = Adopted(values);
    for (qsizetype k = 0; k < rows.size(); ++k)
        index_[rows[k]] = adopted[k];
}

void ScenarioRows::Exchange(qsizetype i, qsizetype j) { std::swap(index_[i], index_[j]); }

bool ScenarioRows::SameRow(qsizetype i, const ScenarioRows &other, qsizetype j) const
{
    if (pool_ == other.pool_)
        return index_[i] == other.index_[j];
    return MotionAt(i) == other.MotionAt(j) && NameAt(i) == other.NameAt(j);
}

qsizetype ScenarioRows::PairCount() const { return pool_ ? qsizetype(pool_->pairs.size()) : 0; }

QStringView ScenarioRows::PairMotion(Pair pair) const { return pool_->Motion(pair); }

QStringView ScenarioRows::PairName(Pair pair) const { return pool_->Name(pair); }

ScenarioRows::Pair ScenarioRows::Intern(QStringView motion, QStringView name)
{
    if (!pool_)
        pool_ = std::make_shared<Pool>();
    const quint32 hash = pool_->HashOf(motion, name);
    const Pair found = pool_->Find(motion, name, hash);
    return found != kNoPair ? found : pool_->Add(motion, name, hash);
}

ScenarioRows::Pair ScenarioRows::Find(QStringView motion, QStringView name) const
{
    return pool_ ? pool_->Find(motion, name, pool_->HashOf(motion, name)) : kNoPair;
}

bool operator==(const ScenarioRows &a, const ScenarioRows &b)
{
    if (a.size() != b.size())
        return false;
    if (a.pool_ == b.pool_)
        return a.index_ == b.index_;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (!a.SameRow(i, b, i))
            return false;
    return true;
}

bool operator==(const ScenarioRows &a, const QList<ScenarioRow> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a.MotionAt(i) != b[i].motion || a.NameAt(i) != b[i].name)
            return false;
    return true;
}

}  // namespace orvane
