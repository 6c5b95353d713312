#include "Failure.h"

QString FailureMessage(const std::exception &e)
{
    if (const auto *own = dynamic_cast<const TavrelError *>(&e))
        return own->message();
    return QString::fromUtf8(e.what());
}
