#include "links/logging.h"

Q_LOGGING_CATEGORY(lcLinks, "tallowpen.links")
