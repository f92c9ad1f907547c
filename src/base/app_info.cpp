#include "base/app_info.h"
