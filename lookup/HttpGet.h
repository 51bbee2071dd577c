#pragma once

#include "core/ByteBuffer.h"
#include "core/Text.h"

#include <chrono>
#include <cstddef>

namespace lookup {

struct HttpGetLimits {
    std::chrono::milliseconds connectTimeout { 5000 };
    std::chrono::milliseconds totalTimeout { 10000 };
    std::size_t maxBodyBytes = 1024 * 1024;
};

// One HTTP/1.0 GET of `url` (anything from "#" on is dropped), sent directly whatever proxy the
// environment names, with the user agent "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"
// and "Accept: */*". The status code is not looked at: the result is the body of whatever
// response arrives, or the bytes of it that arrived before a failure or a limit, or the empty
// buffer when nothing could be fetched. Only the first maxBodyBytes of the body are kept.
//
// This blocks the calling thread for the whole exchange, at most about totalTimeout.
core::ByteBuffer httpGetBody(const core::Text& url, const HttpGetLimits& limits = {});

} // namespace lookup
