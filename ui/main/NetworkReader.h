// The reader every front end gives the main window: a TRFIDReader on the
// computer's network that sends to the controllers' UDP port of the command
// line; the window itself chooses where broadcasts go.
#pragma once

#include "ui/main/URfidForm.h"

namespace velkor {

TRFIDMainForm::ReaderFactory NetworkReaderFactory(IMainThread& mainThread,
                                                  const VelkorOptions& options);

} // namespace velkor
