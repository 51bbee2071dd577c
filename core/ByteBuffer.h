#pragma once

#include "core/UniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace core {

// A counted run of bytes of any value, immutable once made. Copies share the same bytes, so a
// whole file can be handed to any number of readers (downloads under way, the share state)
// without copying it; the bytes live as long as the last copy.
//
// A buffer is either heap-backed or backed by a sealed memfd that is mapped read-only. The
// memfd form lets the download side hand the bytes to a socket with sendfile() instead of
// copying them through user space.
class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::string bytes);

    // Takes a memfd of `size` bytes that is already sealed against writes, shrinking and
    // growing, and maps it read-only. Returns the empty buffer when size is 0 or the mapping
    // fails.
    static ByteBuffer fromSealedMemfd(UniqueFd memfd, std::size_t size);

    std::string_view view() const;
    const char* data() const { return view().data(); }
    std::size_t size() const { return view().size(); }
    bool isEmpty() const { return size() == 0; }

    // The sealed memfd holding the bytes, or -1 for a heap-backed buffer. Valid while this
    // buffer (or any copy of it) lives.
    int memfd() const;

    bool operator==(const ByteBuffer& other) const { return view() == other.view(); }

private:
    struct Storage;
    std::shared_ptr<const Storage> m_storage;
};

} // namespace core
