#include "custom/ui/custom_pictures.h"

// Compiled into the static window library, where nothing refers to them: registered on use.
static void RegisterCustomPictures() { Q_INIT_RESOURCE(custom_pictures); }

namespace termdex {

QString CustomPicture(const char *name)
{
    static const bool registered = (RegisterCustomPictures(), true);
    (void)registered;
    return QStringLiteral(":/termdex/custom/pictures/") + QLatin1String(name) +
           QStringLiteral(".svg");
}

} // namespace termdex
