#include <OLMCalendar/OLMCalendarVersion.h>

#include <cstdio>
#include <cstring>

int main() {
    const char* stamp = reinterpret_cast<const char*>(OLMCalendarVersionString);
    if (std::strstr(stamp, "PROJECT:OLMCalendar-1") == nullptr || OLMCalendarVersionNumber != 1.0)
        return 1;
    std::printf("%s", stamp);
    return 0;
}
