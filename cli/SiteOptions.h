// --metrics and --mqtt of a logging run: the outputs for sites with many instruments.
#pragma once

#include <memory>

#include "Session.h"
#include "SiteOutputs.h"

namespace tavolex::cli {

// The outputs the options ask for, started, or none when they ask for none. A bad address or
// an endpoint that cannot listen is told on the message stream and sets `status`.
std::unique_ptr<SiteOutputs> StartSiteOutputs(Session& session, int& status);

}  // namespace tavolex::cli
