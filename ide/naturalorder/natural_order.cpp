#include "natural_order.h"

#include <QStringView>

#include <algorithm>

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The run of digits starting at from, without its leading zeros (a run of
// zeros keeps its last one). *end is set behind the run.
QStringView digitRun(const QString& text, int from, int* end)
{
    int stop = from;
    while (stop < text.size() && isDigit(text[stop]))
        ++stop;
    while (from + 1 < stop && text[from] == QLatin1Char('0'))
        ++from;
    *end = stop;
    return QStringView(text).mid(from, stop - from);
}

} // namespace

int naturalCompare(const QString& a, const QString& b)
{
    int i = 0;
    int j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const QStringView left = digitRun(a, i, &i);
            const QStringView right = digitRun(b, j, &j);
            // Without leading zeros the longer run is the greater number;
            // runs of one length compare digit by digit.
            if (left.size() != right.size())
                return left.size() < right.size() ? -1 : 1;
            if (const int digits = left.compare(right))
                return digits < 0 ? -1 : 1;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    const int plain = a.compare(b);
    return plain < 0 ? -1 : (plain > 0 ? 1 : 0);
}

std::vector<std::string> naturallySorted(const std::vector<std::string>& names)
{
    // Decoded once, not at every comparison.
    std::vector<std::pair<QString, const std::string*>> keyed;
    keyed.reserve(names.size());
    for (const std::string& name : names)
        keyed.emplace_back(QString::fromStdString(name), &name);
    std::sort(keyed.begin(), keyed.end(),
              [](const auto& a, const auto& b) { return naturalLess(a.first, b.first); });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const auto& entry : keyed)
        sorted.push_back(*entry.second);
    return sorted;
}
