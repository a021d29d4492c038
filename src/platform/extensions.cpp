#include "platform/platform.h"

#include <cstring>

bool namesExtension(const char *list, const char *name) {
    size_t length = strlen(name);
    if (!list || length == 0) return false;
    for (const char *at = list; (at = strstr(at, name)) != nullptr; at += length) {
        bool starts = at == list || at[-1] == ' ';
        bool ends = at[length] == ' ' || at[length] == '\0';
        if (starts && ends) return true;
    }
    return false;
}
