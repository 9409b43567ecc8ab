#include "platform/layout/HeightIndex.h"

#include <algorithm>
#include <limits>

// The trees are 1-based: tree[i] holds the sum of the (i & -i) entries ending at i.

template <typename T>
T HeightIndex::Prefix(const std::vector<T>& tree, int count)
{
    T sum = 0;
    for (int i = count; i > 0; i -= i & -i)
        sum += tree[static_cast<std::size_t>(i)];
    return sum;
}

template <typename T>
void HeightIndex::Add(std::vector<T>& tree, int index, T delta)
{
    const int size = static_cast<int>(tree.size());
    for (int i = index + 1; i < size; i += i & -i)
        tree[static_cast<std::size_t>(i)] += delta;
}

template <typename T>
int HeightIndex::Search(const std::vector<T>& tree, T value)
{
    // Descends the tree, keeping the largest count of leading entries whose sum stays
    // at or below value; all entries are non-negative.
    const int size = static_cast<int>(tree.size()) - 1;
    int position = 0;
    int step = 1;
    while (step * 2 <= size)
        step *= 2;
    for (; step > 0; step /= 2) {
        const int next = position + step;
        if (next <= size && tree[static_cast<std::size_t>(next)] <= value) {
            position = next;
            value -= tree[static_cast<std::size_t>(next)];
        }
    }
    return position;
}

void HeightIndex::Rebuild() const
{
    // Tree entries up to staleFrom_ sum entries before it, which no Replace moved; the
    // others are made again from prefix sums, so that appending k entries to n costs
    // O(k + log n), not O(n).
    const int n = Count();
    const int from = std::min(staleFrom_, n);
    heightTree_.resize(static_cast<std::size_t>(n) + 1);
    lineTree_.resize(static_cast<std::size_t>(n) + 1);
    std::vector<qint64> heightSums(static_cast<std::size_t>(n - from) + 1);
    std::vector<int> lineSums(static_cast<std::size_t>(n - from) + 1);
    heightSums[0] = Prefix(heightTree_, from);
    lineSums[0] = Prefix(lineTree_, from);
    for (int i = from + 1; i <= n; ++i) {
        const auto at = static_cast<std::size_t>(i - from);
        heightSums[at] = heightSums[at - 1] + height_[static_cast<std::size_t>(i - 1)];
        lineSums[at] = lineSums[at - 1] + lines_[static_cast<std::size_t>(i - 1)];
        const int low = i - (i & -i);
        const auto lowAt = static_cast<std::size_t>(low - from);
        heightTree_[static_cast<std::size_t>(i)] = heightSums[at] - (low >= from ? heightSums[lowAt] : Prefix(heightTree_, low));
        lineTree_[static_cast<std::size_t>(i)] = lineSums[at] - (low >= from ? lineSums[lowAt] : Prefix(lineTree_, low));
    }
    staleFrom_ = std::numeric_limits<int>::max();
    stale_ = false;
}

void HeightIndex::Replace(int first, int removed, int inserted)
{
    const auto at = static_cast<std::ptrdiff_t>(first);
    height_.erase(height_.begin() + at, height_.begin() + at + removed);
    lines_.erase(lines_.begin() + at, lines_.begin() + at + removed);
    height_.insert(height_.begin() + at, static_cast<std::size_t>(inserted), 0);
    lines_.insert(lines_.begin() + at, static_cast<std::size_t>(inserted), 1);
    staleFrom_ = std::min(staleFrom_, first);
    stale_ = true;
}

void HeightIndex::Reserve(int count)
{
    const auto size = static_cast<std::size_t>(std::max(count, 0));
    height_.reserve(size);
    lines_.reserve(size);
    heightTree_.reserve(size + 1);
    lineTree_.reserve(size + 1);
}

void HeightIndex::Set(int index, qint64 height, int lines)
{
    const auto i = static_cast<std::size_t>(index);
    const qint64 heightDelta = height - height_[i];
    const int lineDelta = lines - lines_[i];
    height_[i] = height;
    lines_[i] = lines;
    // Entries from staleFrom_ on are summed again from height_ and lines_ when needed.
    if ((stale_ && index >= staleFrom_) || (heightDelta == 0 && lineDelta == 0))
        return;
    Add(heightTree_, index, heightDelta);
    Add(lineTree_, index, lineDelta);
}

qint64 HeightIndex::Top(int index) const
{
    if (stale_)
        Rebuild();
    return Prefix(heightTree_, index);
}

int HeightIndex::FirstLine(int index) const
{
    if (stale_)
        Rebuild();
    return Prefix(lineTree_, index);
}

int HeightIndex::IndexAtY(qint64 y) const
{
    if (height_.empty())
        return -1;
    if (stale_)
        Rebuild();
    if (y < 0)
        return 0;
    return std::min(Search(heightTree_, y), Count() - 1);
}

int HeightIndex::IndexAtLine(int line) const
{
    if (stale_)
        Rebuild();
    if (line < 0)
        return 0;
    return Search(lineTree_, line);
}
