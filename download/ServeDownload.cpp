#include "download/ServeDownload.h"

#include "download/HttpResponse.h"

namespace download {

void serveDownload(TcpServer& server, const core::ShareState& state)
{
    core::Text client = server.currentClient();
    DownloadResponse response = buildDownloadResponse(state);
    const core::ByteBuffer pieces[] = { response.header, response.body };
    server.sendData(client, pieces);
    server.disconnectClient(client);
}

} // namespace download
