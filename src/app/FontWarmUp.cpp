#include "app/FontWarmUp.h"

#ifdef TAVREL_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontConfigWarmUp::FontConfigWarmUp()
{
#ifdef TAVREL_HAVE_FONTCONFIG
    // The configuration is made once per process and published atomically, so Qt's font
    // database takes this one when it asks for it (or, asking too early, makes its own).
    thread = std::thread([] { FcInit(); });
#endif
}

FontConfigWarmUp::~FontConfigWarmUp()
{
    if (thread.joinable())
        thread.join();
}
