#include "common/KSerrors.h"
