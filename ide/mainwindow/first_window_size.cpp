#include "first_window_size.h"

namespace {

// The share of the free area, in percent, in each direction.
constexpr int SharePercent = 85;

} // namespace

QSize firstWindowSize(const QSize &available, const QSize &designed)
{
    const QSize share(available.width() * SharePercent / 100, available.height() * SharePercent / 100);
    return share.expandedTo(designed).boundedTo(available);
}
