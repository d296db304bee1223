#include "kolmpackagecopy.h"

#include "kolmpackageprogress.h"

#include <QIODevice>

#include <array>

KolmPackageCopy copyInPieces(QIODevice& from, QIODevice& to, KolmPackageProgress* progress)
{
    std::array<char, 64 * 1024> piece;
    for (;;) {
        if (progress && progress->cancelled())
            return KolmPackageCopy::Cancelled;
        const qint64 got = from.read(piece.data(), qint64(piece.size()));
        if (got < 0)
            return KolmPackageCopy::ReadFailed;
        if (got == 0)
            return KolmPackageCopy::Done;
        if (to.write(piece.data(), got) != got)
            return KolmPackageCopy::WriteFailed;
        if (progress)
            progress->add(got);
    }
}
