#pragma once

#include "App/AppConfiguration.h"
#include "ViewModel/AppBootstrap.h"

class QNetworkAccessManager;

namespace quorvelle {

// Builds every live service of this desktop once, in start-up order, and hands them over as one
// container. Objects that several services share are single: the whisper runtime (model manager and
// local transcriber), the model manager (container and local transcriber), the user defaults
// (settings, diagnostics, the capture log switch, the routing transcriber's settings), the token
// store (the sign-in manager and the cloud transcriber, so that both see the credentials it keeps).
// The two backend clients are separate objects.
// `network` must outlive the services. Throws AppConfigurationError when the backend address is no
// usable address.
AppBootstrap makeLiveBootstrap(const AppConfiguration& configuration, QNetworkAccessManager* network);

}  // namespace quorvelle
