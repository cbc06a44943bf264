#include "hostile.h"

QByteArray flipped(const QByteArray& bytes, std::mt19937& random)
{
    QByteArray copy = bytes;
    if (copy.isEmpty())
        return copy;
    std::uniform_int_distribution<int> where(0, copy.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    const int changes = std::uniform_int_distribution<int>(1, 8)(random);
    for (int i = 0; i < changes; ++i) {
        char& c = copy.data()[where(random)];
        switch (std::uniform_int_distribution<int>(0, 3)(random)) {
        case 0: c = char(c ^ (1 << (byte(random) % 8))); break;
        case 1: c = char(byte(random)); break;
        case 2: c = '\0'; break;
        default: c = char(0xff); break;
        }
    }
    return copy;
}

QByteArray inflated(const QByteArray& bytes, int offset, int variant)
{
    const quint32 counts[InflationVariants] = {0x7fffffffu, 0xffffffffu, 0x80000000u,
                                               quint32(bytes.size() + 1), 0x10000u, 0x1000000u};
    const quint32 count = counts[variant % InflationVariants];
    QByteArray copy = bytes;
    for (int i = 0; i < 4 && offset + i < copy.size(); ++i)
        copy[offset + i] = char(count >> (24 - 8 * i));
    return copy;
}
