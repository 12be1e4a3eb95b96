// The pictures of the custom-entries menu and the entry editor, compiled in as SVG resources.
#pragma once

#include <QString>

namespace termdex {

// The resource path of custom/ui/pictures/<name>.svg, registering these resources first.
QString CustomPicture(const char *name);

} // namespace termdex
