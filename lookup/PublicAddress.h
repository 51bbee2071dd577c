#pragma once

#include "core/Text.h"

namespace lookup {

// The fragment of the lookup page around the caller's address, in GBK:
// "您当前的IP为：<span class=\"red\">" (with the full-width colon) and "</span></p>".
extern const core::Text addressLeftMarker;
extern const core::Text addressRightMarker;

// "http://" + the lookup host this build was configured with + "/cgi-bin/myip".
core::Text lookupUrl();

// The text between the first `leftMarker` and the first `rightMarker` after it, nothing
// trimmed. ASCII letters of the markers match in any case; everything else byte for byte. The
// empty Text when either marker is missing.
core::Text textBetween(
    const core::Text& text, const core::Text& leftMarker, const core::Text& rightMarker);

// Asks the lookup page at `url` for our address as the internet sees it. The empty Text when
// anything fails; no check that the result looks like an address. Blocks for at most about
// ten seconds.
core::Text fetchPublicAddressFrom(const core::Text& url);
core::Text fetchPublicAddress();

} // namespace lookup
