#pragma once

#include "core/ShareState.h"
#include "download/TcpServer.h"

namespace download {

// The tool's dataArrived handler: sends the current client the download response for the
// share state as it stands, then disconnects it. A failed send is ignored; the client simply
// gets less.
void serveDownload(TcpServer& server, const core::ShareState& state);

} // namespace download
