// Headers nearly every file of the win tree includes, compiled once per build tree.
#pragma once

#ifdef __cplusplus
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>
#endif
