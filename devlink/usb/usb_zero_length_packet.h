#pragma once

// Whether a bulk OUT transfer of `transferred` bytes must be followed by a
// zero-length packet so that the device sees where it ends: when it filled
// exactly one packet of the endpoint, or a whole number of 64-byte packets
// (none at all included).
inline bool needsZeroLengthPacket(int transferred, int maxPacketSize)
{
    return transferred == maxPacketSize || transferred % 64 == 0;
}
