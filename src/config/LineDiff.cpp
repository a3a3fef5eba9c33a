#include "config/LineDiff.h"

#include <QHash>

#include <climits>
#include <vector>

namespace config {
namespace {

// One mark per line, with an unmarked line before the first and after the last, so that the
// run scans below stop at either end without a bounds test.
class Marks {
public:
    explicit Marks(int lines) : flags_(size_t(lines) + 2, 0) {}
    char& operator[](int line) { return flags_[size_t(line + 1)]; }
    char operator[](int line) const { return flags_[size_t(line + 1)]; }

private:
    std::vector<char> flags_;
};

// Myers' O((N+M)D) search with the middle snake, so memory stays linear in the line count. Lines
// are compared as numbers: equal texts share one.
class EditScript {
public:
    EditScript(const std::vector<int>& a, const std::vector<int>& b)
        : deleted(int(a.size())), inserted(int(b.size())), a_(a), b_(b),
          fd_(a.size() + b.size() + 3), bd_(a.size() + b.size() + 3), diagOffset_(int(b.size()) + 1)
    {
        compare(0, int(a.size()), 0, int(b.size()));
    }

    Marks deleted;   // lines of `a` not kept
    Marks inserted;  // lines of `b` not in `a`

private:
    int& fd(int diag) { return fd_[size_t(diag + diagOffset_)]; }
    int& bd(int diag) { return bd_[size_t(diag + diagOffset_)]; }

    void compare(int xoff, int xlim, int yoff, int ylim)
    {
        while (xoff < xlim && yoff < ylim && a_[size_t(xoff)] == b_[size_t(yoff)]) ++xoff, ++yoff;
        while (xoff < xlim && yoff < ylim && a_[size_t(xlim - 1)] == b_[size_t(ylim - 1)]) --xlim, --ylim;
        if (xoff == xlim) {
            while (yoff < ylim) inserted[yoff++] = 1;
        } else if (yoff == ylim) {
            while (xoff < xlim) deleted[xoff++] = 1;
        } else {
            int xmid = 0, ymid = 0;
            middleSnake(xoff, xlim, yoff, ylim, xmid, ymid);
            compare(xoff, xmid, yoff, ymid);
            compare(xmid, xlim, ymid, ylim);
        }
    }

    // A point on a shortest path through the box, found by searching from both corners at once:
    // diagonal d holds the furthest x reached on it (x - y == d).
    void middleSnake(int xoff, int xlim, int yoff, int ylim, int& xmid, int& ymid)
    {
        const int dmin = xoff - ylim, dmax = xlim - yoff;
        const int fmid = xoff - yoff, bmid = xlim - ylim;
        const bool odd = (fmid - bmid) & 1;
        int fmin = fmid, fmax = fmid, bmin = bmid, bmax = bmid;
        fd(fmid) = xoff;
        bd(bmid) = xlim;
        for (;;) {
            // The forward fronts widen by one diagonal each side while the box allows.
            if (fmin > dmin) fd(--fmin - 1) = -1; else ++fmin;
            if (fmax < dmax) fd(++fmax + 1) = -1; else --fmax;
            for (int d = fmax; d >= fmin; d -= 2) {
                const int lo = fd(d - 1), hi = fd(d + 1);
                int x = lo >= hi ? lo + 1 : hi;
                int y = x - d;
                while (x < xlim && y < ylim && a_[size_t(x)] == b_[size_t(y)]) ++x, ++y;
                fd(d) = x;
                if (odd && bmin <= d && d <= bmax && bd(d) <= x) { xmid = x; ymid = y; return; }
            }
            if (bmin > dmin) bd(--bmin - 1) = INT_MAX; else ++bmin;
            if (bmax < dmax) bd(++bmax + 1) = INT_MAX; else --bmax;
            for (int d = bmax; d >= bmin; d -= 2) {
                const int lo = bd(d - 1), hi = bd(d + 1);
                int x = lo < hi ? lo : hi - 1;
                int y = x - d;
                while (x > xoff && y > yoff && a_[size_t(x - 1)] == b_[size_t(y - 1)]) --x, --y;
                bd(d) = x;
                if (!odd && fmin <= d && d <= fmax && x <= fd(d)) { xmid = x; ymid = y; return; }
            }
        }
    }

    const std::vector<int>& a_;
    const std::vector<int>& b_;
    std::vector<int> fd_, bd_;  // furthest x per diagonal, forward and backward
    int diagOffset_;            // fd_[0] is diagonal -(lines of b) - 1
};

// Where a run of changed lines could sit as well one line earlier or later (the line before it
// equals its last, or the line after it its first), GNU diff moves it: as far down as it goes,
// merging with runs it meets, then back up to where it last lined up with a change in the other
// file. Doing the same gives the same hunks. Runs stay within [begin, end): GNU diff sets aside
// the common leading and trailing lines but `context` of each before it compares, so a run never
// moves further into them. `j` follows the other file's line paired with `i`.
void SlideRuns(const std::vector<int>& lines, int begin, int end, Marks& changed, const Marks& other)
{
    int i = begin, j = begin;
    for (;;) {
        while (i < end && !changed[i]) {
            while (other[j]) ++j;
            ++i, ++j;
        }
        if (i == end) return;
        int start = i;
        while (changed[++i]) {}
        while (other[j]) ++j;
        int corresponding = end;  // the run's lowest end next to a change in the other file
        int length = 0;
        do {
            length = i - start;
            while (start > begin && lines[size_t(start - 1)] == lines[size_t(i - 1)]) {
                changed[--start] = 1;
                changed[--i] = 0;
                while (changed[start - 1]) --start;
                while (other[--j]) {}
            }
            corresponding = other[j - 1] ? i : end;
            while (i < end && lines[size_t(start)] == lines[size_t(i)]) {
                changed[start++] = 0;
                changed[i++] = 1;
                while (changed[i]) ++i;
                while (other[++j]) corresponding = i;
            }
        } while (length != i - start);
        while (corresponding < i) {
            changed[--start] = 1;
            changed[--i] = 0;
            while (other[--j]) {}
        }
    }
}

// One change: `deleted` lines of from at `line0` give way to `inserted` lines of to at `line1`.
struct Change {
    int line0, line1, deleted, inserted;
};

std::vector<Change> Changes(const Marks& deleted, int fromLines, const Marks& inserted, int toLines)
{
    std::vector<Change> changes;
    int i = 0, j = 0;
    while (i < fromLines || j < toLines) {
        if (!deleted[i] && !inserted[j]) {
            ++i, ++j;
            continue;
        }
        Change c{i, j, 0, 0};
        while (deleted[i]) ++i, ++c.deleted;
        while (inserted[j]) ++j, ++c.inserted;
        changes.push_back(c);
    }
    return changes;
}

// "a,b" of a hunk header; an empty range names the line before it.
QString Range(int first, int count)
{
    if (count == 0) return QString::number(first) + QStringLiteral(",0");
    if (count == 1) return QString::number(first + 1);
    return QString::number(first + 1) + QLatin1Char(',') + QString::number(count);
}

}  // namespace

QStringList UnifiedDiff(const QStringList& from, const QStringList& to, const QString& fromLabel,
                        const QString& toLabel, int context)
{
    QHash<QString, int> numbers;
    const auto numbered = [&numbers](const QStringList& texts) {
        std::vector<int> lines;
        lines.reserve(size_t(texts.size()));
        for (const QString& t : texts) {
            auto it = numbers.constFind(t);
            if (it == numbers.cend()) it = numbers.insert(t, int(numbers.size()));
            lines.push_back(it.value());
        }
        return lines;
    };
    const std::vector<int> a = numbered(from), b = numbered(to);

    EditScript script(a, b);
    context = qMax(context, 0);
    // The lines a run may slide over: all but the common leading and trailing lines beyond
    // `context` of each.
    const int shorter = int(qMin(a.size(), b.size()));
    int same = 0;
    while (same < shorter && a[size_t(same)] == b[size_t(same)]) ++same;
    const int begin = qMax(0, same - context);
    same = 0;
    while (same < shorter - begin && a[a.size() - 1 - size_t(same)] == b[b.size() - 1 - size_t(same)]) ++same;
    const int trailing = qMax(0, same - context);
    SlideRuns(a, begin, int(a.size()) - trailing, script.deleted, script.inserted);
    SlideRuns(b, begin, int(b.size()) - trailing, script.inserted, script.deleted);
    const std::vector<Change> changes = Changes(script.deleted, int(a.size()), script.inserted, int(b.size()));
    if (changes.empty()) return {};

    QStringList out{QStringLiteral("--- ") + fromLabel, QStringLiteral("+++ ") + toLabel};
    for (size_t first = 0; first < changes.size();) {
        // A hunk takes the following changes while their context would overlap or touch.
        size_t last = first;
        while (last + 1 < changes.size()) {
            const Change& c = changes[last];
            if (changes[last + 1].line0 - (c.line0 + c.deleted) > 2 * context) break;
            ++last;
        }
        const Change& head = changes[first];
        const Change& tail = changes[last];
        const int lead = qMin(context, head.line0);
        const int start0 = head.line0 - lead, start1 = head.line1 - lead;
        const int end0 = qMin(int(a.size()), tail.line0 + tail.deleted + context);
        const int end1 = end0 - (tail.line0 + tail.deleted) + tail.line1 + tail.inserted;
        out << QStringLiteral("@@ -") + Range(start0, end0 - start0) + QStringLiteral(" +") +
                   Range(start1, end1 - start1) + QStringLiteral(" @@");
        int i = start0, j = start1;
        for (size_t k = first; k <= last; ++k) {
            const Change& c = changes[k];
            for (; i < c.line0; ++i, ++j) out << QLatin1Char(' ') + from[i];
            for (int n = 0; n < c.deleted; ++n) out << QLatin1Char('-') + from[i++];
            for (int n = 0; n < c.inserted; ++n) out << QLatin1Char('+') + to[j++];
        }
        for (; i < end0; ++i) out << QLatin1Char(' ') + from[i];
        first = last + 1;
    }
    return out;
}

}  // namespace config
