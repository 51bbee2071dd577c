#pragma once

#include "core/ByteBuffer.h"
#include "core/ShareState.h"

#include <cstddef>

namespace download {

// What every client receives: a fixed HTTP/1.1 "200 OK" header block and the shared file.
//
// The body is a reference to the share state's fileData, not a copy, so any number of clients
// are served from the one copy in memory; a later load or clear replaces the share state's field
// and leaves this response's bytes alone.
struct DownloadResponse {
    core::ByteBuffer header; // ends with the empty line
    core::ByteBuffer body; // exactly fileData

    std::size_t size() const { return header.size() + body.size(); }
};

// Builds the response for the share state as it stands: Content-Length is the byte count of
// fileData, Content-Type "application/x-" + fileExtension + "-compressed". Control bytes (below
// 0x20, and 0x7F) of the extension are left out so that a strange file name cannot end the
// header line early; every other byte passes through unchanged.
DownloadResponse buildDownloadResponse(const core::ShareState& state);

} // namespace download
