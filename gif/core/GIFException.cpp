#include "gif/core/GIFException.h"
