// A port that depends on a library: the ports are plain C++.
#include <nlohmann/json.hpp>
