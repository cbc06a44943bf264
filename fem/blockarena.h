#ifndef FOLVANE_BLOCKARENA_H
#define FOLVANE_BLOCKARENA_H

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace Folvane {

// Objects of one type built in place, a block of 4096 at a time: an object
// never moves once built, a model of a million costs a few hundred
// allocations, and the whole lot goes back at once (the objects hold plain
// values, so nothing is destroyed one by one).
template <typename T>
class BlockArena
{
    static_assert(std::is_trivially_destructible_v<T>, "blocks are freed without destroying their objects");

public:
    static constexpr size_t BlockShift = 12;
    static constexpr size_t BlockSize = size_t(1) << BlockShift;

    BlockArena() = default;
    BlockArena(const BlockArena&) = delete;
    BlockArena& operator=(const BlockArena&) = delete;

    size_t size() const { return m_size; }

    template <typename... Args>
    T* emplace(Args&&... args)
    {
        if ((m_size >> BlockShift) == m_blocks.size())
            m_blocks.emplace_back(new Slot[BlockSize]);
        T* object = new (slot(m_size)) T(std::forward<Args>(args)...);
        ++m_size;
        return object;
    }

    T* at(size_t i) const { return std::launder(reinterpret_cast<T*>(slot(i))); }

    void clear()
    {
        m_blocks.clear();
        m_size = 0;
    }

    // Calls f(T&) for every object in order.
    template <typename F>
    void forEach(F&& f) const
    {
        size_t left = m_size;
        for (const auto& block : m_blocks) {
            const size_t n = left < BlockSize ? left : BlockSize;
            for (size_t i = 0; i < n; ++i)
                f(*std::launder(reinterpret_cast<T*>(&block[i])));
            left -= n;
        }
    }

private:
    // Raw room for one object: a block is not initialised before use.
    struct Slot
    {
        alignas(T) unsigned char bytes[sizeof(T)];
    };

    Slot* slot(size_t i) const { return &m_blocks[i >> BlockShift][i & (BlockSize - 1)]; }

    std::vector<std::unique_ptr<Slot[]>> m_blocks;
    size_t m_size = 0;
};

} // namespace Folvane

#endif
