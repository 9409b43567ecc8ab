#pragma once
// Heights and displayed-line counts of a sequence of paragraphs, with prefix sums in
// Fenwick trees: "y of paragraph", "paragraph at y", "first line of paragraph" and
// "paragraph holding line" in O(log n). Changing one paragraph is O(log n); inserting
// or removing paragraphs is O(n) memory moves, with the trees rebuilt on the next query
// from the first entry moved on (appending costs what is appended).
#include <QtGlobal>
#include <vector>

class HeightIndex {
public:
    int Count() const { return static_cast<int>(height_.size()); }

    // Replaces `removed` entries from `first` on by `inserted` entries of height 0 and
    // one line each.
    void Replace(int first, int removed, int inserted);
    void Set(int index, qint64 height, int lines);
    // Room for count entries, so that growing to them copies nothing.
    void Reserve(int count);

    qint64 Height(int index) const { return height_[static_cast<std::size_t>(index)]; }
    int Lines(int index) const { return lines_[static_cast<std::size_t>(index)]; }

    // Sum of the heights / lines of the entries before index (0 <= index <= Count()).
    qint64 Top(int index) const;
    int FirstLine(int index) const;
    qint64 TotalHeight() const { return Top(Count()); }

    // The entry that covers y; 0 above the first, Count() - 1 below the last (-1 when
    // empty). Entries of height 0 are skipped over.
    int IndexAtY(qint64 y) const;
    // The entry holding displayed line `line`; Count() when line lies past the last.
    int IndexAtLine(int line) const;

private:
    void Rebuild() const;
    // Index of the last entry whose prefix sum (exclusive) is <= value.
    template <typename T>
    static int Search(const std::vector<T>& tree, T value);
    template <typename T>
    static T Prefix(const std::vector<T>& tree, int count);
    template <typename T>
    static void Add(std::vector<T>& tree, int index, T delta);

    std::vector<qint64> height_;
    std::vector<int> lines_;
    mutable std::vector<qint64> heightTree_;
    mutable std::vector<int> lineTree_;
    mutable bool stale_ = false;
    mutable int staleFrom_ = 0;  // the first entry whose tree entries may be out of date
};
