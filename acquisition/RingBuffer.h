#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// Fixed-capacity FIFO of rows, each row `width` elements of T in one flat block.
// Storage grows with the rows actually held and never beyond capacity × width, so a long
// live run keeps a flat memory footprint: once full, a new row reuses the oldest row's slot.
template <typename T>
class RingBuffer
{
public:
    RingBuffer() = default;
    RingBuffer(int capacity, int width) { reset(capacity, width); }

    // Drops every row and frees the storage; capacity and width below 1 are taken as 1.
    void reset(int capacity, int width)
    {
        m_capacity = std::max(1, capacity);
        m_width = std::max(1, width);
        m_head = 0;
        m_size = 0;
        m_slots = 0;
        std::vector<T>().swap(m_data);
    }

    void clear() { reset(m_capacity, m_width); }

    int size() const { return m_size; }
    int capacity() const { return m_capacity; }
    int width() const { return m_width; }
    bool isEmpty() const { return m_size == 0; }
    bool isFull() const { return m_size == m_capacity; }

    // Removes the oldest row; nothing when empty.
    void removeFirst()
    {
        if (m_size == 0)
            return;
        m_head = (m_head + 1) % m_capacity;
        --m_size;
    }

    // Appends a row after the newest one and returns its elements for the caller to fill.
    // When full, the oldest row is dropped first. The elements hold whatever the slot held.
    T *append()
    {
        if (m_size == m_capacity)
            removeFirst();
        const int slot = (m_head + m_size) % m_capacity;
        if (slot >= m_slots)
            grow();
        ++m_size;
        return m_data.data() + static_cast<std::size_t>(slot) * m_width;
    }

    // Row 0 is the oldest; row must lie in [0, size()).
    const T *row(int row) const
    {
        const int slot = (m_head + row) % m_capacity;
        return m_data.data() + static_cast<std::size_t>(slot) * m_width;
    }
    T *row(int row)
    {
        const int slot = (m_head + row) % m_capacity;
        return m_data.data() + static_cast<std::size_t>(slot) * m_width;
    }

    // Bytes reserved for the rows (for memory figures).
    std::size_t reservedBytes() const { return m_data.capacity() * sizeof(T); }

private:
    // Adds the slot m_slots (a new slot is only ever needed right after the allocated ones).
    // The block grows geometrically but is never reserved beyond capacity rows.
    void grow()
    {
        const std::size_t needed = static_cast<std::size_t>(m_slots + 1) * m_width;
        if (needed > m_data.capacity()) {
            const std::size_t full = static_cast<std::size_t>(m_capacity) * m_width;
            m_data.reserve(std::min(full, std::max(needed, m_data.capacity() * 2)));
        }
        m_data.resize(needed);
        ++m_slots;
    }

    std::vector<T> m_data;
    int m_capacity = 1;
    int m_width = 1;
    int m_head = 0;   // slot of row 0
    int m_size = 0;   // rows held
    int m_slots = 0;  // slots allocated so far
};
