#include "app/cli/DriveOption.h"
