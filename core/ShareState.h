#pragma once

#include "core/ByteBuffer.h"
#include "core/Text.h"

#include <cstdint>

namespace core {

// The one record of what is offered for download. Empty at start; the load and clear commands
// change it, and every download reads fileData and fileExtension afresh.
//
// fileData is immutable once read: a download that has started keeps its own reference to the
// bytes it started with, so replacing the field never disturbs a transfer under way.
struct ShareState {
    Text fileName; // the last "/"-separated piece of the chosen path
    Text fileExtension; // the last "."-separated piece of fileName
    ByteBuffer fileData; // the whole file, or empty
    std::int32_t fileLength = 0; // byte count of fileData as last loaded
    Text publicAddress; // as the lookup page saw us; set by the load command

    bool operator==(const ShareState&) const = default;
};

// Fills fileName, fileExtension, fileData and fileLength from the file at `path` (a non-empty
// path in GB18030). A file that cannot be read leaves fileData empty and fileLength 0; the
// name fields are still taken from the path. Blocks while the file is read.
void adoptFile(ShareState& state, const Text& path);

// Empties fileData only; the other fields keep the last load's values.
void clearFileData(ShareState& state);

// "http://" + publicAddress + ":8090/" + fileName, nothing escaped.
Text composeShareAddress(const ShareState& state);

// The whole content of the regular file at `path` (GB18030), or the empty buffer when the path
// is empty, the file cannot be opened or is not a regular file, its size is 0 or 2^31 bytes or
// more, memory cannot be had, or a read fails. A file that turns out shorter than its size
// gives the bytes that were there.
ByteBuffer readWholeFile(const Text& path);

} // namespace core
