/* Mivlet's version: the one place it is set. The version resource, the
   About box, the version reply, the manifest and the installer all take it
   from here. Plain C macros, so that the resource compiler reads them too. */
#pragma once

#define MIVLET_VERSION_MAJOR 1
#define MIVLET_VERSION_MINOR 0
#define MIVLET_VERSION_PATCH 0

#define MIVLET_STRINGIZE_(x) #x
#define MIVLET_STRINGIZE(x) MIVLET_STRINGIZE_(x)

/* "1.0.0" */
#define MIVLET_VERSION_TEXT                                                        \
    MIVLET_STRINGIZE(MIVLET_VERSION_MAJOR) "." MIVLET_STRINGIZE(MIVLET_VERSION_MINOR) "." \
    MIVLET_STRINGIZE(MIVLET_VERSION_PATCH)

/* The day this version was released, set with the version: the About box
   tells it. In the compiler's __DATE__ form, as the build date is. */
#define MIVLET_RELEASE_DATE "Dec 11 2026"

#define MIVLET_COMPANY_NAME "Pellandor"
#define MIVLET_PRODUCT_NAME "Mivlet"
