#include "SystemMenu.h"

namespace tavolex {

bool AddAboutToSystemMenu(QWidget& /*window*/, const QString& /*caption*/) {
    return false;
}

bool IsSystemMenuAbout(const QByteArray& /*eventType*/, const void* /*message*/) {
    return false;
}

}  // namespace tavolex
