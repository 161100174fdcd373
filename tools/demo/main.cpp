#include "Demo.h"

#include <cstdio>
#include <filesystem>
#include <map>

namespace olm::demo {
namespace {
std::map<std::string, Page>& pages() {
    static std::map<std::string, Page> all;
    return all;
}
} // namespace

PageRegistration::PageRegistration(std::string name, Page page) { pages().emplace(std::move(name), std::move(page)); }

} // namespace olm::demo

int main(int argc, char** argv) {
    const std::string outDir = argc > 1 ? argv[1] : "out";
    std::filesystem::create_directories(outDir);
    int written = 0;
    for (const auto& [name, page] : olm::demo::pages()) {
        for (const std::string& path : page(outDir)) {
            std::printf("%s\n", path.c_str());
            ++written;
        }
    }
    if (written == 0) {
        std::fprintf(stderr, "olm_demo: no page rendered\n");
        return 1;
    }
    return 0;
}
