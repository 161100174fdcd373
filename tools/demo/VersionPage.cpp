#include "Demo.h"

#include "OLMCalendar/OLMCalendarVersion.h"

#include <fstream>

namespace {
std::vector<std::string> writeVersion(const std::string& outDir) {
    const std::string path = outDir + "/version.txt";
    std::ofstream(path) << reinterpret_cast<const char*>(OLMCalendarVersionString);
    return {path};
}
} // namespace

OLM_DEMO_PAGE("00-version", writeVersion);
