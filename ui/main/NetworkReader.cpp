#include "ui/main/NetworkReader.h"

#include "session/RFIDReader.h"

namespace velkor {

TRFIDMainForm::ReaderFactory NetworkReaderFactory(IMainThread& mainThread,
                                                  const VelkorOptions& options) {
    ReaderNetSettings net;
    net.ControllerUdpPort = options.ControllerUdpPort;
    return [&mainThread, net]() -> std::unique_ptr<IReaderLink> {
        auto reader = std::make_unique<TRFIDReader>(mainThread);
        reader->SetNetSettings(net);
        return reader;
    };
}

} // namespace velkor
