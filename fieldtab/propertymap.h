#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// Custom drawing properties on their way between the property list, drawings and the
// field database: unique keys, compared as written, in no particular order.
using PropertyMap = std::unordered_map<std::wstring, std::wstring>;

// The property list's rows as (key, value), top to bottom.
using PropertyRows = std::vector<std::pair<std::wstring, std::wstring>>;
