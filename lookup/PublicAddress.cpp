#include "lookup/PublicAddress.h"

#include "core/TextBytes.h"
#include "lookup/HttpGet.h"

#ifndef HEDU_LOOKUP_HOST
#error "HEDU_LOOKUP_HOST must name the lookup host (set LOOKUP_HOST in CMake)"
#endif

namespace lookup {

using namespace core;

const Text addressLeftMarker(
    "\xc4\xfa\xb5\xb1\xc7\xb0\xb5\xc4IP\xce\xaa\xa3\xba<span class=\"red\">");
const Text addressRightMarker("</span></p>");

Text lookupUrl()
{
    return concatText("http://", HEDU_LOOKUP_HOST, "/cgi-bin/myip");
}

Text textBetween(const Text& text, const Text& leftMarker, const Text& rightMarker)
{
    std::int32_t left = findText(text, leftMarker, 1, IgnoreCase::Yes);
    if (left < 0)
        return {};
    std::int32_t start = truncateToInteger(static_cast<double>(left) + textLength(leftMarker));
    Text rest = midText(text, start, textLength(text));
    // Only a right marker after the left one counts.
    std::int32_t right = findText(rest, rightMarker, 1, IgnoreCase::Yes);
    return midText(rest, 1, truncateToInteger(static_cast<double>(right) - 1));
}

Text fetchPublicAddressFrom(const Text& url)
{
    Text page = bytesToText(httpGetBody(url));
    return textBetween(page, addressLeftMarker, addressRightMarker);
}

Text fetchPublicAddress()
{
    return fetchPublicAddressFrom(lookupUrl());
}

} // namespace lookup
