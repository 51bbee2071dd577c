#include "core/ByteBuffer.h"

#include <sys/mman.h>

namespace core {

struct ByteBuffer::Storage {
    std::string heap;
    UniqueFd memfd;
    void* mapping = nullptr;
    std::size_t mappedSize = 0;

    Storage() = default;
    Storage(const Storage&) = delete;
    Storage& operator=(const Storage&) = delete;
    ~Storage()
    {
        if (mapping)
            ::munmap(mapping, mappedSize);
    }

    std::string_view view() const
    {
        if (mapping)
            return { static_cast<const char*>(mapping), mappedSize };
        return heap;
    }
};

ByteBuffer::ByteBuffer(std::string bytes)
{
    if (bytes.empty())
        return;
    auto storage = std::make_shared<Storage>();
    storage->heap = std::move(bytes);
    m_storage = std::move(storage);
}

ByteBuffer ByteBuffer::fromSealedMemfd(UniqueFd memfd, std::size_t size)
{
    ByteBuffer buffer;
    if (size == 0)
        return buffer;
    void* mapping = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, memfd.get(), 0);
    if (mapping == MAP_FAILED)
        return buffer;
    auto storage = std::make_shared<Storage>();
    storage->memfd = std::move(memfd);
    storage->mapping = mapping;
    storage->mappedSize = size;
    buffer.m_storage = std::move(storage);
    return buffer;
}

std::string_view ByteBuffer::view() const
{
    return m_storage ? m_storage->view() : std::string_view();
}

int ByteBuffer::memfd() const
{
    return m_storage ? m_storage->memfd.get() : -1;
}

} // namespace core
