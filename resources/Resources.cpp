#include "resources/Resources.h"
#include "resources/ResourceIds.h"

#include <QDir>

static void InitTidewellResources() {
    Q_INIT_RESOURCE(icons);
}

namespace tidewell::res {

QIcon LoadIcon(int id) {
    // The resource file lives in a static library, so it has to be pulled in.
    static const bool loaded = (InitTidewellResources(), true);
    (void)loaded;
    switch (id) {
    case IDI_APP:
        return QIcon(QStringLiteral(":/icons/app.svg"));
    case IDI_UP:
        return QIcon(QStringLiteral(":/icons/up.svg"));
    case IDI_FILE:
        return QIcon(QStringLiteral(":/icons/file.svg"));
    case IDI_FOLDER:
        return QIcon(QStringLiteral(":/icons/folder.svg"));
    case IDI_PADLOCK:
        return QIcon(QStringLiteral(":/icons/padlock.svg"));
    default:
        return {};
    }
}

} // namespace tidewell::res
