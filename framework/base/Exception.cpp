#include "framework/base/Exception.h"
