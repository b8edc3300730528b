#include "db/zaprosy/obshee.h"

namespace zaprosy {

QString noviyKlyuch()
{
    return QStringLiteral("SELECT @@identity as id;");
}

}  // namespace zaprosy
