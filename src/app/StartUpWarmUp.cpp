#include "app/StartUpWarmUp.h"

#include <QBuffer>
#include <QImageReader>

#ifdef TAVREL_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

StartUpWarmUp::StartUpWarmUp()
{
#ifdef TAVREL_HAVE_FONTCONFIG
    // The configuration is made once per process and published atomically, so Qt's font
    // database takes this one when it asks for it (or, asking too early, makes its own).
    fonts = std::thread([] { FcInit(); });
#endif
}

StartUpWarmUp::~StartUpWarmUp()
{
    for (std::thread *thread : {&fonts, &imageFormats}) {
        if (thread->joinable())
            thread->join();
    }
}

void StartUpWarmUp::loadImageFormats()
{
    imageFormats = std::thread([] {
        // Telling the format of a picture by its first bytes asks every plugin; Qt keeps
        // the plugins it loaded for the rest of the run, whichever thread loaded them.
        QByteArray signature("\x89PNG\r\n\x1a\n", 8);
        QBuffer device(&signature);
        device.open(QIODevice::ReadOnly);
        QImageReader::imageFormat(&device);
    });
}
