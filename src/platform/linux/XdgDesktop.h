#pragma once

#include "platform/Desktop.h"

namespace ringtally {

/// Opens files through the desktop's default handlers (xdg-open, the portal) and starts
/// programs detached.
class XdgDesktop : public Desktop {
public:
    Status open(const QString& path) override;
};

} // namespace ringtally
