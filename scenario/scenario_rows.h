#pragma once
// The rows of a scenario, held compactly: a scenario repeats few (MOTION, DATA NAME) pairs, so each row is a
// small number into a pool of the distinct pairs. Ten million rows cost 40 MB instead of half a gigabyte.
// The pairs' texts sit side by side in large blocks, not in two strings each: a file whose every row
// brings a name of its own costs its characters and 16 bytes a pair, not twice a string's overhead.
//
// Lists cut from one another (a range kept by an undo step, the copy buffer) share the pool, so they cost
// their row numbers only; the pool grows while rows are added and never loses or moves a pair, so a view
// of a pair's text stays valid as long as any list holding the pool lives. Changing a row gives it another
// pair; the rows that shared the old one keep it.

#include <QList>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>

namespace orvane {

struct ScenarioRow {
    QString motion;  // "M7"; only the part after the first character counts
    QString name;
    friend bool operator==(const ScenarioRow &, const ScenarioRow &) = default;
};

class ScenarioRows {
    struct Pool;

public:
    using Pair = quint32;
    static constexpr Pair kNoPair = ~Pair(0);

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = ScenarioRow;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = ScenarioRow;  // made from the pool's texts

        const_iterator() = default;
        ScenarioRow operator*() const;
        const_iterator &operator++()
        {
            ++at_;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator was = *this;
            ++at_;
            return was;
        }
        friend bool operator==(const const_iterator &a, const const_iterator &b) { return a.at_ == b.at_; }

    private:
        friend class ScenarioRows;
        const_iterator(const Pool *pool, const Pair *at) : pool_(pool), at_(at) {}
        const Pool *pool_ = nullptr;
        const Pair *at_ = nullptr;
    };
    using iterator = const_iterator;
    using value_type = ScenarioRow;
    using size_type = qsizetype;

    ScenarioRows();
    ScenarioRows(std::initializer_list<ScenarioRow> rows);
    // Implicit: a list of rows is a scenario wherever one is asked for.
    ScenarioRows(const QList<ScenarioRow> &rows);  // NOLINT(google-explicit-constructor)

    qsizetype size() const { return index_.size(); }
    bool isEmpty() const { return index_.isEmpty(); }
    // A copy of row i's texts; MotionAt and NameAt look without copying.
    ScenarioRow operator[](qsizetype i) const;
    QStringView MotionAt(qsizetype i) const { return PairMotion(index_[i]); }
    QStringView NameAt(qsizetype i) const { return PairName(index_[i]); }
    const_iterator begin() const;
    const_iterator end() const;
    void reserve(qsizetype rows) { index_.reserve(rows); }

    void Append(const ScenarioRow &row) { index_.append(Intern(row)); }
    // Rows [at, at + count): the copy shares this list's pool.
    ScenarioRows Mid(qsizetype at, qsizetype count) const;
    // These rows (in range, in the given order), sharing the pool.
    ScenarioRows Pick(const QList<int> &rows) const;
    // An empty list sharing the pool: rows built from this list's rows cost no new pairs.
    ScenarioRows Sharing() const { return Mid(0, 0); }
    QList<ScenarioRow> ToList() const;

    // `rows` before row `at` (0..size()).
    void Insert(qsizetype at, const ScenarioRows &rows);
    void Remove(qsizetype at, qsizetype count);
    // Rows [at, at + rows.size()) become `rows`.
    void Overwrite(qsizetype at, const ScenarioRows &rows);
    void Set(qsizetype i, const ScenarioRow &row) { index_[i] = Intern(row); }
    // Row rows[k] becomes values[k]; the two lists are as long.
    void SetRows(const QList<int> &rows, const ScenarioRows &values);
    void Exchange(qsizetype i, qsizetype j);

    // Row i against row j of `other`; lists sharing a pool compare numbers, not texts.
    bool SameRow(qsizetype i, const ScenarioRows &other, qsizetype j) const;

    // The pool, for work done once per distinct pair instead of once per row. PairOf(i) < PairCount().
    qsizetype PairCount() const;
    Pair PairOf(qsizetype i) const { return index_[i]; }
    // The pair's number, added to the pool when it is new.
    Pair Intern(const ScenarioRow &row) { return Intern(row.motion, row.name); }
    Pair Intern(QStringView motion, QStringView name);
    // The pair's number, or kNoPair when the pool does not hold it; nothing is copied.
    Pair Find(QStringView motion, QStringView name) const;
    void AppendPair(Pair pair) { index_.append(pair); }

    friend bool operator==(const ScenarioRows &a, const ScenarioRows &b);
    friend bool operator==(const ScenarioRows &a, const QList<ScenarioRow> &b);

private:
    QStringView PairMotion(Pair pair) const;
    QStringView PairName(Pair pair) const;
    // `rows`' pair numbers as numbers of this pool.
    QList<Pair> Adopted(const ScenarioRows &rows);

    std::shared_ptr<Pool> pool_;
    QList<Pair> index_;
};

}  // namespace orvane
