#pragma once

class QIODevice;
class KolmPackageProgress;

// Copies everything from one open device to another in 64 KiB pieces, so a
// file or an archive entry of any size passes through little memory. With a
// progress, every piece is counted there and a cancel stops the copy between
// two pieces.
enum class KolmPackageCopy { Done, ReadFailed, WriteFailed, Cancelled };
KolmPackageCopy copyInPieces(QIODevice& from, QIODevice& to, KolmPackageProgress* progress = nullptr);
