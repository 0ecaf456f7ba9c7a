// On Windows the installer sets the host up: the first start has nothing to do.
#include "app/FirstStart.h"

void SetUpHostOnFirstStart() {}
