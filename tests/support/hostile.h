#ifndef FOLVANE_TEST_HOSTILE_H
#define FOLVANE_TEST_HOSTILE_H

#include <QByteArray>
#include <random>

// Damaged copies of a file's bytes. Every damage is drawn from the random
// engine the caller seeds, so a failing case repeats exactly.

// One to eight bytes changed: a bit flipped, a random byte, or a byte of
// 0x00 or 0xff.
QByteArray flipped(const QByteArray& bytes, std::mt19937& random);

// The four bytes at offset replaced by a big-endian count that no reader
// can honour: the largest signed and unsigned 32-bit values, the smallest
// signed one, one past the file's size, 2^16 or 2^24.
QByteArray inflated(const QByteArray& bytes, int offset, int variant);
constexpr int InflationVariants = 6;

#endif
