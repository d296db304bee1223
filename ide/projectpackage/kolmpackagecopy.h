#pragma once

class QIODevice;

// Copies everything from one open device to another in 64 KiB pieces, so a
// file or an archive entry of any size passes through little memory.
enum class KolmPackageCopy { Done, ReadFailed, WriteFailed };
KolmPackageCopy copyInPieces(QIODevice& from, QIODevice& to);
