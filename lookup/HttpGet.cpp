#include "lookup/HttpGet.h"

#include <curl/curl.h>

#include <algorithm>
#include <string>

namespace lookup {

namespace {

struct Body {
    std::string bytes;
    std::size_t limit;
};

std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* userData)
{
    auto* body = static_cast<Body*>(userData);
    std::size_t length = size * count;
    std::size_t room = body->limit - std::min(body->limit, body->bytes.size());
    body->bytes.append(data, std::min(room, length));
    // Returning less than was handed over ends the transfer: a page is small, and a broken or
    // hostile host must not fill our memory.
    return length <= room ? length : 0;
}

void initialiseCurlOnce()
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

} // namespace

core::ByteBuffer httpGetBody(const core::Text& url, const HttpGetLimits& limits)
{
    std::string address = url.str();
    if (auto fragment = address.find('#'); fragment != std::string::npos)
        address.resize(fragment);
    if (address.empty())
        return {};

    initialiseCurlOnce();
    CURL* curl = curl_easy_init();
    if (!curl)
        return {};
    Body body { {}, limits.maxBodyBytes };
    curl_slist* headers = curl_slist_append(nullptr, "Accept: */*");

    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    // An empty proxy switches proxies off, including those named by http_proxy and friends.
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // The lookup runs on the window's thread: a host that accepts and never answers must not
    // freeze the tool for good.
    curl_easy_setopt(
        curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);

    // Whatever the outcome, the bytes that arrived are the result; a failure before any byte
    // leaves it empty.
    curl_easy_perform(curl);

    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return core::ByteBuffer(std::move(body.bytes));
}

} // namespace lookup
