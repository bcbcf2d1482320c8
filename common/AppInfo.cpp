#include "common/AppInfo.h"
