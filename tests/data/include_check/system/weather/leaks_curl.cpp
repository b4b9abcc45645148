// A request builder that calls curl itself.
#include <curl/curl.h>

#include <string>
