// The backends of this platform, in the order their devices are listed.

#include "link/transport.h"
#include "link/transportset.h"

#if defined(_WIN32)
#include "link/wintransport.h"
#else
#include "link/libusbtransport.h"
#include "link/sockettransport.h"
#endif

namespace transport {

std::unique_ptr<Transport> createPlatformTransport(const std::string& socketFolder)
{
    auto set = std::make_unique<TransportSet>();
#if defined(_WIN32)
    (void)socketFolder;
    set->add(std::make_unique<WinTransport>());
#else
    set->add(std::make_unique<LibusbTransport>());
    if (!socketFolder.empty())
        set->add(std::make_unique<SocketTransport>(socketFolder));
#endif
    return set;
}

}  // namespace transport
