#include "spell/logging.h"

Q_LOGGING_CATEGORY(lcSpell, "tallowpen.spell")
